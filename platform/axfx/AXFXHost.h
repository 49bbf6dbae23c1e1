/*
===============================================================================

	Host-only controls of the AXFX library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef AXFX_HOST_H
#define AXFX_HOST_H

#include "platform/axfx/AXFX.h"

// Effect kinds whose shutdowns are recorded.
enum AXFXHostKind {
	AXFX_HOST_REVERB_STD = 0,
	AXFX_HOST_REVERB_HI,
	AXFX_HOST_DELAY,
	AXFX_HOST_CHORUS,
	AXFX_HOST_KIND_COUNT
};

// Shutdowns of one kind since the last reset, and the last argument.
u32		AXFXHostShutdownCount( AXFXHostKind kind );
void*	AXFXHostLastShutdown( AXFXHostKind kind );

void	AXFXHostReset();

#endif
