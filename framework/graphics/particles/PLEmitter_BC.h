/*
===============================================================================

	Portable part of a particle emitter: a positioned instance, so that the
	world's lookup by id can hand it out as one.

	Only the class exists so far; its fields and operations come with its
	own work.

===============================================================================
*/
#ifndef PL_EMITTER_BC_H
#define PL_EMITTER_BC_H

#include "framework/core/world/EFPosData.h"

class PLEmitter_BC : public EFPosData {
};

#endif
