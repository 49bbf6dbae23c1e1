/*
===============================================================================

	Host-only controls of the MIX library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef MIX_HOST_H
#define MIX_HOST_H

#include "platform/mix/MIX.h"

// One channel's settings as the mixer keeps them.
struct MIXHostChannel {
	bool	active;
	bool	changed;	// set through the mixer since the last update
	u32		mode;
	s32		input;
	s32		auxA;
	s32		auxB;
	s32		pan;		// clamped
	s32		span;
	s32		fader;
};

// The channel of a voice index; null past 63.
const MIXHostChannel*	MIXHostGetChannel( u32 index );

void	MIXHostReset();

#endif
