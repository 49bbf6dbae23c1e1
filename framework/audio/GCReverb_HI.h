/*
===============================================================================

	The high-quality reverb of an AUX bus; one instance per bus.

===============================================================================
*/
#ifndef GC_REVERB_HI_H
#define GC_REVERB_HI_H

#include "framework/audio/GCReverb.h"

class GCReverb_HI : public GCReverb {
public:
	// AXFXReverbHiShutdown on the parameters, interrupts disabled.
	void					ShutDown() override;
};

extern GCReverb_HI		g_HIReverb[2];

#endif
