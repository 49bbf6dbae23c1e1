/*
===============================================================================

	Auxiliary-memory manager (AM), host version.

	Of the manager the engine uses only the zero buffer: the first 256
	bytes of the block given to AMInit, cleared there, where voices that
	have ended are parked. The host keeps those bytes zero: the transfer
	queue refuses and reports any transfer that would write into them.

===============================================================================
*/
#ifndef AM_H
#define AM_H

#include "platform/types/PlatformTypes.h"

constexpr u32 AM_ZERO_BUFFER_BYTES = 256;

// Takes over the block [base, base + size) and clears its first 256 bytes.
void	AMInit( u32 base, u32 size );

// Address of the zero buffer (the block's base); 0 before AMInit.
u32		AMGetZeroBuffer();

#endif
