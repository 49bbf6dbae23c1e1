/*
===============================================================================

	Host-only controls of the AM library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef AM_HOST_H
#define AM_HOST_H

#include "platform/am/AM.h"

// True when [address, address + length) overlaps the zero buffer.
bool	AMHostTouchesZeroBuffer( u32 address, u32 length );

// Forgets AMInit (tests).
void	AMHostReset();

#endif
