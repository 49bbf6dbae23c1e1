/*
===============================================================================

	A level's static collision geometry: convex polygons sorted into an
	octree. The physics manager owns the maps of a level, linked through
	mpoNextMap, and asks each for the polygons near a sphere and for the
	nearest polygon a ray hits.

	Only the frame of the class exists so far: a map holds no polygons,
	so both queries find nothing.

===============================================================================
*/
#ifndef EF_COLLISION_MAP_H
#define EF_COLLISION_MAP_H

#include "datatypes/streamable/DTStreamable.h"
#include "framework/physics/EFRayIntersectOut.h"
#include "framework/physics/RayIntersectIn.h"

struct EFGetPrimitivesInSphereData;

class EFCollisionMap : public DTStreamable {
public:
							EFCollisionMap();
							~EFCollisionMap() override;

	// Adds the polygons near the query's sphere to its output; how many.
	u32						GetPrimitivesInSphere( EFGetPrimitivesInSphereData * query );
	// The ray against the polygons: PS_RAY_ENV when t was lowered to a
	// hit, PS_RAY_MANY when a listener stopped the query, else PS_RAY_NONE.
	RayIntersectResult		RayIntersect( const RayIntersectIn & in, EFRayIntersectOut & out, f32 & t );

	EFCollisionMap *		mpoNextMap;
};

#endif
