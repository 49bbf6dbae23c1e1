/*
===============================================================================

	The standard reverb of an AUX bus; one instance per bus.

===============================================================================
*/
#ifndef GC_REVERB_STD_H
#define GC_REVERB_STD_H

#include "framework/audio/GCReverb.h"

class GCReverb_STD : public GCReverb {
public:
	// AXFXReverbStdShutdown on the parameters, interrupts disabled.
	void					ShutDown() override;
};

extern GCReverb_STD		g_STDReverb[2];

#endif
