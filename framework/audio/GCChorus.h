/*
===============================================================================

	The chorus effect of an AUX bus; one instance per bus.

===============================================================================
*/
#ifndef GC_CHORUS_H
#define GC_CHORUS_H

#include "datatypes/base/DTTypes.h"

// The effect library's chorus parameter block.
struct GCChorusParameters {
	u32						ui32BaseDelay;
	u32						ui32Variation;
	u32						ui32Period;
};

class GCChorus {
public:
	// 5, 0, 500.
							GCChorus();
	virtual					~GCChorus();

	// AXFXChorusShutdown on the parameters, interrupts disabled.
	void					ShutDown();

	GCChorusParameters		moParameters;
};

extern GCChorus		g_Chorus[2];

#endif
