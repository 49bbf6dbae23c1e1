/*
===============================================================================

	Collision-map scenes for tests and benchmarks: random convex polygons,
	and levels built of rooms (large floor and ceiling quads spanning many
	leaves, walls, stairs of thin steps, ramps) filled up with random
	polygons. Both use the same four attribute records: one-sided
	(detected by 0x1), two-sided (0x3), motion filter (0x2) and a
	user-defined detect mask (0x4 only).

===============================================================================
*/
#ifndef TOOL_COLLISION_SCENES_H
#define TOOL_COLLISION_SCENES_H

#include "tools/lib/level/ToolCollisionMapWriter.h"

// Random convex polygons of 3 to maxVertices (at most 32) vertices on circles of random planes
// in a cube of side 2 x extent, with four attribute records: one-sided,
// two-sided, motion filter, and a user-defined detect mask.
ToolColMap				ToolRandomCollisionScene( u32 seed, u32 count, f32 extent = 50.0f, u32 maxVertices = 32 );

// Storeys of rooms (16 x 16, 6 high) in a cube of side 2 x extent: each
// room a floor facing up, a ceiling facing down, four inward walls, a
// flight of ten steps (0.25 up, 0.4 deep) and a ramp; then random convex
// polygons of 3 to maxVertices vertices up to count polygons. Rooms stop
// when count is reached.
ToolColMap				ToolLevelCollisionScene( u32 seed, u32 count, f32 extent = 50.0f, u32 maxVertices = 32 );

#endif
