/*
===============================================================================

	Argument and result of a sphere query over the collision maps: the
	sphere, the plain and user-defined detect masks a polygon must meet,
	and the caller's output array as a cursor to its next free entry and
	the room left. The query advances the cursor and lowers the room.

===============================================================================
*/
#ifndef EF_GET_PRIMITIVES_IN_SPHERE_DATA_H
#define EF_GET_PRIMITIVES_IN_SPHERE_DATA_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTSphere.h"

class EFEnvCollisionPrim;

struct EFGetPrimitivesInSphereData {
	DTSphere				oSphere;
	u32						ui32DetectType;
	u32						ui32UDDetectType;
	EFEnvCollisionPrim **	ppoOutput;
	u32						ui32Capacity;
};

#endif
