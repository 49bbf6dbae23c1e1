/*
===============================================================================

	Bits of EFInstance::muiFlags.

	Active is read from cameras. Withdrawn makes the world's lookups and
	the retrievers treat a game object as absent; nothing in the instance
	or game-object code sets it. Moved is set by the physics when it moves
	the instance or an ancestor and cleared by the render pass.

===============================================================================
*/
#ifndef EF_INSTANCE_FLAGS_H
#define EF_INSTANCE_FLAGS_H

#include "datatypes/base/DTTypes.h"

constexpr u32 EF_INSTANCE_ACTIVE		= 0x1;
constexpr u32 EF_INSTANCE_WITHDRAWN		= 0x8;
constexpr u32 EF_INSTANCE_MOVED			= 0x20;

#endif
