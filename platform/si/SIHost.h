/*
===============================================================================

	Host-only controls of the SI library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef SI_HOST_H
#define SI_HOST_H

#include "platform/si/SI.h"

// Host: the interval last set (0 before any call).
u32		SIHostSamplingRate();

// Host: forgets the interval.
void	SIHostReset();

#endif
