/*
===============================================================================

	Host-only controls of the AI library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef AI_HOST_H
#define AI_HOST_H

#include "platform/ai/AI.h"

// AIInit calls since the last reset and the last argument.
u32		AIHostInitCount();
u8*		AIHostInitStack();

void	AIHostReset();

#endif
