/*
===============================================================================

	The physics frame's record, handed to the stages and the collision
	systems: the frame step, the records of each of the two passes and
	the emitters that have live particles this frame.

===============================================================================
*/
#ifndef EF_UPDATE_PHYSIC_STRUCT_H
#define EF_UPDATE_PHYSIC_STRUCT_H

#include "datatypes/base/DTTypes.h"

struct EFDynamicPhysic;
class PLEmitter;

constexpr u32 EF_PHYSIC_PASS_COUNT = 2;

struct EFUpdatePhysicStruct {
	struct Pass {
		EFDynamicPhysic *	poFirst;
		u32					ui32Count;
	};

	f32						fDt;
	Pass					aoPass[EF_PHYSIC_PASS_COUNT];
	PLEmitter **			ppoEmitterList;
	u32						uiNbEmitters;
};

#endif
