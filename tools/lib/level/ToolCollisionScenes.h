/*
===============================================================================

	Collision-map scenes for tests and benchmarks.

===============================================================================
*/
#ifndef TOOL_COLLISION_SCENES_H
#define TOOL_COLLISION_SCENES_H

#include "tools/lib/level/ToolCollisionMapWriter.h"

// Random convex polygons of 3 to maxVertices (at most 32) vertices on circles of random planes
// in a cube of side 2 x extent, with four attribute records: one-sided,
// two-sided, motion filter, and a user-defined detect mask.
ToolColMap				ToolRandomCollisionScene( u32 seed, u32 count, f32 extent = 50.0f, u32 maxVertices = 32 );

#endif
