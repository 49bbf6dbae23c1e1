/*
===============================================================================

	The runtime library's random generator.

	Engine code draws its random numbers here rather than from the host C
	library, so that a seed gives the same sequence on every machine. The
	range is the console runtime's: 0 to 32767.

===============================================================================
*/
#ifndef RUNTIME_RAND_H
#define RUNTIME_RAND_H

#include "platform/types/PlatformTypes.h"

constexpr s32 RUNTIME_RAND_MAX = 32767;

// Next value of the sequence, 0 to RUNTIME_RAND_MAX.
s32 RuntimeRand();

// Restarts the sequence from a seed.
void RuntimeSrand( u32 seed );

// The value the next RuntimeRand gives, without drawing it.
s32 RuntimeRandPeek();

#endif
