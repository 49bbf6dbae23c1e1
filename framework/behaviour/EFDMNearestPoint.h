/*
===============================================================================

	What the surface modules share about environment polygons.

	The nearest point of a polygon to a point c: the polygon's outward
	edge planes give the signed distance of c beyond each edge; the
	greatest one, starting from 0.0, and the first edge reaching it
	(strictly greater replaces) decide. A greatest distance of exactly
	0.0 means c lies over the polygon: the nearest point is c's
	projection on the plane. Otherwise the nearest point lies on that
	edge: its first vertex, its second vertex or the projection on the
	segment. w goes from c to the nearest point; a squared length above
	the limit is too far (w is then not meaningful).

	Polygon access: the vertex count without its bit 15, edge i from
	vertex i to i + 1 (the last to vertex 0), grabbable when bit i of the
	16-bit grab word is set (edges 16 and beyond never are).

	Frames turn in place: the rotation is combined after the modelling
	matrix and its position is put back. Small vector helpers: a matrix
	row as a vector, the cross product, normalisation that leaves a zero
	vector zero, and acos clamped to [0, pi].

===============================================================================
*/
#ifndef EF_DM_NEAREST_POINT_H
#define EF_DM_NEAREST_POINT_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFEnvCollisionPrim;
struct RwFrame;
struct RwV3d;

enum EFFindNearestPointResult_e : u32 {
	CS_FINDNEARESTPOINT_TOOFAR	= 0,
	CS_FINDNEARESTPOINT_INPOLY	= 1,
	CS_FINDNEARESTPOINT_ONPOINT	= 2,
	CS_FINDNEARESTPOINT_ONEDGE	= 3,
};

// The nearest point of polygon to centre as w (centre + w), limit being
// the largest squared distance accepted.
EFFindNearestPointResult_e	EFCollisionStage_FindNearestPoint( const EFEnvCollisionPrim & polygon,
															   const DTVector3d & centre, f32 limit,
															   DTVector3d * w );

// The polygon's vertex count.
u32							DMPolygonVertexCount( const EFEnvCollisionPrim & polygon );
// Whether edge i carries the grab flag.
bool						DMEdgeGrabbable( const EFEnvCollisionPrim & polygon, u32 i );
// The two ends of edge i.
void						DMPolygonEdge( const EFEnvCollisionPrim & polygon, u32 i, DTVector3d * a,
										   DTVector3d * b );

// Turns frame by radians about axis (world-side), keeping its position;
// nothing for a null frame.
void						DMRotateInPlace( RwFrame * frame, const DTVector3d & axis, f32 radians );

// A world direction in the axes of frame's parent (unchanged for a root
// frame).
DTVector3d					DMIntoParentAxes( const RwFrame * frame, const DTVector3d & direction );

// A matrix row as a vector.
DTVector3d					DMRow( const RwV3d & row );
DTVector3d					DMCross( const DTVector3d & a, const DTVector3d & b );
// v normalised; a zero vector stays zero.
DTVector3d					DMUnit( const DTVector3d & v );
// v within [-limit, limit].
f32							DMClampSymmetric( f32 v, f32 limit );
// acos, pi at or below -1 and 0 at or above 1.
f32							DMClampedAcos( f32 cosine );
// asin with its argument clamped to [-1, 1]: a unit row's component may
// exceed 1 by rounding.
f32							DMClampedAsin( f32 sine );

#endif
