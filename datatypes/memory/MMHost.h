/*
===============================================================================

	Host-only controls of the memory manager.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef MM_HOST_H
#define MM_HOST_H

#include "datatypes/memory/MMMemory.h"

// Tests only: replaces the host arena by a fresh one of arenaBytes and puts
// the manager back in its uninitialised state, so that the next allocation
// sets it up over the new arena. Every earlier block, pool, work area and
// window is forgotten. False when the host refuses the size.
bool	MMHostReinitialise( u32 arenaBytes );

#endif
