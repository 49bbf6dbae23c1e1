/*
===============================================================================

	The ledge search that the ledge snap and the edge down share, over
	the environment polygons a stage gathered.

	A polygon takes part when its detect masks meet the primitive's
	attribute words 5 / 6 (the shared bits are the matched bits), it is
	floor enough and its plane lies within r of the centre. Its edge
	planes, walked in order, pick the edge the centre lies furthest
	beyond (from -10000, strictly greater replaces); an edge the
	primitive cannot reach (beyond by e with s^2 + e^2 > r^2) drops the
	polygon. The point of that edge nearest the foot (clamped to the
	edge) is a ledge unless a probe just past it, toward the foot, finds
	floor: some polygon whose plane meets the probe (t in [0, 1]) at a
	point inside all its edges. The nearest ledge to the foot wins, the
	later one on a tie.

===============================================================================
*/
#ifndef EF_DM_LEDGE_H
#define EF_DM_LEDGE_H

#include "datatypes/maths/DTVector3d.h"

class EFCollisionStage;
class EFObjCollisionPrim;

struct DMLedgeQuery {
	DTVector3d		moCentre;
	DTVector3d		moFoot;
	f32				mfRadius;
	// Floor: normal y of at least mfMinUp, or above it when strict.
	f32				mfMinUp;
	bool			mbStrictUp;
	// The probe: past the ledge point toward the foot by 0.01, then moved
	// by the offset; its ray is the direction.
	DTVector3d		moProbeOffset;
	DTVector3d		moProbeDirection;
};

struct DMLedge {
	bool			mbFound;
	DTVector3d		moPoint;
	// The edge's vector and its outward edge-plane normal.
	DTVector3d		moEdge;
	DTVector3d		moOutward;
	// Detect bits of the last polygon that passed the mask test.
	u32				mui32Matched;
};

DMLedge		DMFindLedge( const EFCollisionStage & stage, const EFObjCollisionPrim & prim, const DMLedgeQuery & query );

// Whether the ray from p along d (t in [0, 1], t = (n . p + d) / (n . d))
// meets some polygon of the stage inside all its edges.
bool		DMFloorAlong( const EFCollisionStage & stage, const DTVector3d & p, const DTVector3d & d );

#endif
