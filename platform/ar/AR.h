/*
===============================================================================

	Auxiliary memory (AR), host version.

	The console's 16 MB of auxiliary memory is one byte array here,
	addressed by u32 offsets; no engine pointer ever points into it. The
	first ARGetBaseAddress bytes belong to the system, so a zero address
	is never a valid user address and address-0 faults show. ARAlloc hands
	out user memory from a stack whose records live in the caller's array
	given to ARInit.

===============================================================================
*/
#ifndef AR_H
#define AR_H

#include "platform/types/PlatformTypes.h"

// Transfers and allocations work on 32-byte units.
constexpr u32 AR_ALIGNMENT = 32;

// Starts the allocator: stack holds up to entries allocation records.
void	ARInit( u32* stack, u32 entries );

// Allocates size bytes (raised to a multiple of 32) on top of the stack.
// Returns the address, or 0 when the records or the memory run out.
u32		ARAlloc( u32 size );

// Start of user memory (non-zero) and the size of the whole memory.
u32		ARGetBaseAddress();
u32		ARGetSize();

#endif
