/*
===============================================================================

	The delay effect of an AUX bus; one instance per bus.

===============================================================================
*/
#ifndef GC_DELAY_H
#define GC_DELAY_H

#include "datatypes/base/DTTypes.h"

// The effect library's delay parameter block: per channel (left, right,
// surround) the delay in milliseconds, the feedback and the output level.
struct GCDelayParameters {
	u32						aui32Delay[3];
	u32						aui32Feedback[3];
	u32						aui32Output[3];
};

class GCDelay {
public:
	// Delays 10, 10, 10; feedbacks and outputs 0.
							GCDelay();
	virtual					~GCDelay();

	// AXFXDelayShutdown on the parameters, interrupts disabled.
	void					ShutDown();

	GCDelayParameters		moParameters;
};

extern GCDelay		g_Delay[2];

#endif
