/*
===============================================================================

	Host-only controls of the ARQ library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef ARQ_HOST_H
#define ARQ_HOST_H

#include "platform/arq/ARQ.h"

// Host controls: latency = fixedTicks + length * ticksPerKilobyte / 1024.
void	ARQHostSetLatency( s64 fixedTicks, s64 ticksPerKilobyte );

// Requests posted and not yet completed, the one in flight included.
u32		ARQHostPendingCount();

// Requests completed since the last reset.
u32		ARQHostCompletedCount();

// Drops everything pending without callbacks and reads ENGINE_ARQ_LATENCY
// again (tests).
void	ARQHostReset();

#endif
