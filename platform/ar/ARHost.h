/*
===============================================================================

	Host-only controls of the AR library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef AR_HOST_H
#define AR_HOST_H

#include "platform/ar/AR.h"

// Size of auxiliary memory and the start of its user part.
constexpr u32 AR_HOST_SIZE         = 0x1000000;
constexpr u32 AR_HOST_BASE_ADDRESS = 0x4000;

// Host access to the bytes, for the transfer queue, the voices and tests.
u8*		ARHostMemory();

// True when [address, address + length) lies inside user memory.
bool	ARHostIsUserRange( u32 address, u32 length );

// The lowest address virtual memory claimed (VMInit's auxiliary start), or
// ARGetSize() when it claimed none: sound data must stay below it.
u32		ARHostVirtualMemoryStart();

// Clears the memory and forgets ARInit (tests).
void	ARHostReset();

#endif
