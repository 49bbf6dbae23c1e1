/*
===============================================================================

	Portable part of a projected texture (projector): a positioned instance, so that the
	world's lookup by id can hand it out as one.

	Only the class exists so far; its fields and operations come with its
	own work.

===============================================================================
*/
#ifndef EF_PROJECTOR_BC_H
#define EF_PROJECTOR_BC_H

#include "framework/core/world/EFPosData.h"

class EFProjector_BC : public EFPosData {
};

#endif
