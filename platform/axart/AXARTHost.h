/*
===============================================================================

	Host-only controls of the AXART library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef AXART_HOST_H
#define AXART_HOST_H

#include "platform/axart/AXART.h"

// AXARTInit calls since the last reset.
u32		AXARTHostInitCount();

void	AXARTHostReset();

#endif
