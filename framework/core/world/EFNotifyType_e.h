/*
===============================================================================

	Notify types: the kinds of engine event that code can register for.

	The values are part of the interface with logic modules, which register
	for and send any of them through the API tables. NO_MAX is the count,
	not a type.

===============================================================================
*/
#ifndef EF_NOTIFY_TYPE_E_H
#define EF_NOTIFY_TYPE_E_H

#include "datatypes/base/DTTypes.h"

enum EFNotifyType_e : u32 {
	NO_ANIMATION_STOP				= 0,
	NO_ANIMATION_LAST_FRAME			= 1,
	NO_ANIMATION_CHANGE				= 2,
	NO_PHYSIC_OBJECTCOLLISION		= 3,
	NO_PHYSIC_ENVCOLLISION			= 4,
	NO_PHYSIC_STATECHANGE			= 5,
	NO_PHYSIC_DMSTATECHANGE			= 6,
	NO_TIMER						= 7,
	NO_PHYSIC_PARTICLECOLLISION		= 8,
	NO_CLIPCHANGE					= 9,
	NO_PROXIMITYCLIPCHANGE			= 10,
	NO_ANIM_CB						= 11,
	NO_WATER						= 12,
	NO_SLIDE						= 13,
	NO_INPUT_ERROR					= 14,
	NO_SOUND_COMPLETE				= 15,
	NO_TEX_FADER					= 16,
	NO_POST_ANIMATION				= 17,
	NO_PHYSIC_PREUPDATE				= 18,
	NO_PHYSIC_POSTUPDATE			= 19,
	NO_PRELOGIC						= 20,
	NO_POSTLOGIC					= 21,
	NO_CUTSCENE						= 22,
	NO_DM_OBJCOL					= 23,
	NO_DM_EDGEDETECT				= 24,
	NO_DM_ENVDETECT					= 25,
	NO_EMITTER_CLIPPED				= 26,
	NO_MAX							= 27
};

#endif
