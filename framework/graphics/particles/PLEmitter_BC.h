/*
===============================================================================

	Portable part of a particle emitter: a positioned instance (its frame
	gives its position, muiUID its id), as the physics reads it so far:
	the next emitter of its type, its flags (0x4: particles collide and
	the first hit is reported; 0x8: hits are counted), its type and its
	live particles.

===============================================================================
*/
#ifndef PL_EMITTER_BC_H
#define PL_EMITTER_BC_H

#include "framework/core/world/EFPosData.h"
#include "framework/graphics/particles/PLLinkList.h"
#include "framework/graphics/particles/PLParticle.h"

class PLEmitter;
class PLType;

// Emitter flags.
constexpr u32 PL_EMITTER_REPORT_FIRST_HIT	= 0x4;
constexpr u32 PL_EMITTER_COUNT_HITS			= 0x8;

class PLEmitter_BC : public EFPosData {
public:
	PLEmitter *				mpoNext = nullptr;
	u32						mui32Flags = 0xF0;
	PLType *				mpoType = nullptr;
	PLLinkList<PLParticle>	moParticles;
};

#endif
