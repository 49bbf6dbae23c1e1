/*
===============================================================================

	Frame record of one simulated body, made in work memory by the
	physics frame and gone with it: the body, the acceleration and target
	velocity that modules apply this frame, the frame's start position,
	the record's flags, the contact state the frame began with, the
	body's bounding sphere for the frame (world space once the pre stage
	has run, grown by the body's speed) and the emitters whose particles
	it may meet.

===============================================================================
*/
#ifndef EF_DYNAMIC_PHYSIC_H
#define EF_DYNAMIC_PHYSIC_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

class EFPhysic;
class PLEmitter;

// uiFlags: a member of the collision system being run; done for this pass.
constexpr u32 EF_RECORD_MEMBER	= 0x1;
constexpr u32 EF_RECORD_DONE	= 0x2;

struct EFDynamicPhysic {
	EFPhysic *				poPhysic;
	DTVector3d				oAppliedAccel;
	DTVector3d				oInitPos;
	DTVector3d				oTargetVelocity;
	u32						uiFlags;
	u32						ui32InitPhysicState;
	DTVector3d				oFrameBSpherePos;
	f32						fFrameBSphereRadius;
	PLEmitter **			ppoEmitterList;
	u32						uiNbEmitters;
};

#endif
