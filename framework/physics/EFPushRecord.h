/*
===============================================================================

	One push on a collision system's member: the direction in which it
	must move, by how much, and the priority and weight of the pusher
	(the environment pushes with priority 100 and weight 1).

	Push records come from the physics manager's second pool; mpoNext
	links a stage's pushes and is the pool's free link.

===============================================================================
*/
#ifndef EF_PUSH_RECORD_H
#define EF_PUSH_RECORD_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

// The environment as a pusher.
constexpr u32 EF_ENV_PUSH_PRIORITY	= 100;
constexpr f32 EF_ENV_PUSH_WEIGHT	= 1.0f;

struct EFPushRecord {
	DTVector3d				moNormal;
	f32						mfPushSize;
	u32						mui32Priority;
	f32						mfWeight;
	EFPushRecord *			mpoNext;
};

#endif
