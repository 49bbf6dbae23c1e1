/*
===============================================================================

	Surface attributes of environment polygons, shared by every polygon
	that names the record: surface flags (0x1 two-sided, 0x2 a mover
	along the normal passes through), the detect masks a query must meet
	to see the polygon, friction, rebound, a tag and surface type for
	logic, hardness and acoustic opacity.

===============================================================================
*/
#ifndef ENV_PRIM_ATTRIBS_H
#define ENV_PRIM_ATTRIBS_H

#include "datatypes/base/DTTypes.h"

struct EnvPrimAttribs {
	u32						ui32Flags;
	u32						ui32DetectedBy;
	u32						ui32UDDetectedBy;
	f32						fFriction;
	f32						fRebound;
	u16						ui16Tag;
	u16						ui16SurfaceType;
	f32						fHardness;
	f32						fAccousticOpacity;
};

static_assert( sizeof( EnvPrimAttribs ) == 32, "an attribute record is 32 bytes" );

#endif
