/*
===============================================================================

	Collision plug-in of the 3D library (id 0x11D): which triangles of one
	atomic or of a whole static world a line, sphere or box touches. Each
	triangle found is handed to a callback with its normal, first vertex,
	index and vertices and a distance: along a line the parameter of the
	hit (0 at the start, 1 at the end), for a sphere the signed distance of
	its centre from the triangle's plane over the radius, for a box 0.

	Geometries and world sectors may carry a collision tree (RpCollBSPTree.h)
	read from their extension chunk; nothing builds one. A geometry
	without a tree is tested triangle by triangle in index order, a world
	sector without one reports nothing. Morphing atomics are tested on
	interpolated copies of their vertices, never through a tree.

	Lines report only triangles they meet from the front (against the
	normal (B - A) x (C - A)); lines parallel to a triangle report nothing;
	hits on an edge are reported. A callback returning null stops the
	query, which still returns its atomic or world. Queries allocate
	nothing.

	The plug-in is attached before the library opens, ahead of the world
	plug-ins. A stored record is N and M, the N - 1 branches, the N leaves
	and the M map entries; N must be at least 1, the payload exactly its
	size, every node and map entry inside its array and the tree a tree no
	deeper than the walks' stacks, else the owner's read fails with
	0x8000001A and nothing stays allocated.

===============================================================================
*/
#ifndef RP_COLLISION_H
#define RP_COLLISION_H

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwPlugin.h"
#include "graphics3d/world/RpCollBSPTree.h"

struct RpAtomic;
struct RpGeometry;
struct RpWorld;
struct RpWorldSector;

// Plug-in id of the collision plug-in and of its stream entries.
constexpr u32 rwID_COLLISPLUGIN = 0x11D;
// Record flag: the tree lives in the record's own allocation.
constexpr u32 rpCOLLISIONDATA_TREE_INSIDE = 0x01;

enum RpIntersectType : u32 {
	rpINTERSECTNONE		= 0,
	rpINTERSECTLINE		= 1,
	rpINTERSECTPOINT	= 2,
	rpINTERSECTSPHERE	= 3,
	rpINTERSECTBOX		= 4,
	rpINTERSECTATOMIC	= 5,
};

union RpIntersectData {
	RwLine		line;
	RwV3d		point;
	RwSphere	sphere;
	RwBBox		box;
	RpAtomic*	object;
};

struct RpIntersection {
	RpIntersectData		t;
	RpIntersectType		type;
};

struct RpCollisionTriangle {
	RwV3d		normal;
	RwV3d		point;			// vertex A
	s32			index;
	RwV3d*		vertices[3];
};

struct RpCollisionData {
	u32				flags;
	RpCollBSPTree*	tree;
	u32				numTriangles;		// of the triangle map
	u16*			triangleMap;
};

typedef RpCollisionTriangle* ( *RpIntersectionCallBackGeometryTriangle )( RpIntersection* intersection,
																		   RpCollisionTriangle* triangle,
																		   f32 distance, void* data );
typedef RpCollisionTriangle* ( *RpIntersectionCallBackWorldTriangle )( RpIntersection* intersection,
																		RpWorldSector* sector,
																		RpCollisionTriangle* triangle, f32 distance,
																		void* data );

// Open engine instances of the plug-in.
extern s32	_rpCollisionNumInstances;
// Offsets of the plug-in's slots; -1 once the registries have closed until
// the plug-in attaches again.
extern RwPluginOffset	_rpCollisionGlobalsOffset;
extern RwPluginOffset	_rpCollisionWorldSectorDataOffset;
extern RwPluginOffset	_rpCollisionAtomicDataOffset;
extern RwPluginOffset	_rpCollisionGeometryDataOffset;

// Registers the engine, sector, atomic and geometry slots and the
// streams, stopping at the first failure; true on success.
bool				RpCollisionPluginAttach();
// The atomic, or null for a refused query: a type other than line,
// sphere or atomic ({0x11D, 0}), a null atomic in an atomic query
// (0x80000016).
RpAtomic*			RpAtomicForAllIntersections( RpAtomic* atomic, RpIntersection* intersection,
												 RpIntersectionCallBackGeometryTriangle callBack, void* data );
// The world, or null for a refused query: a type other than line,
// sphere, box or atomic, or a null atomic.
RpWorld*			RpCollisionWorldForAllIntersections( RpWorld* world, RpIntersection* intersection,
														 RpIntersectionCallBackWorldTriangle callBack, void* data );
// The collision record of a geometry or sector, or null.
RpCollisionData*	_rpCollisionGeometryData( const RpGeometry* geometry );
RpCollisionData*	_rpCollisionWorldSectorData( const RpWorldSector* sector );
// The line-triangle test: true with the parameter along start + t (end -
// start) when the line meets the triangle from its front.
bool				_rpCollisionLineTriangle( const RwV3d* start, const RwV3d* delta, const RwV3d* a, const RwV3d* b,
											  const RwV3d* c, f32* distance );

#endif
