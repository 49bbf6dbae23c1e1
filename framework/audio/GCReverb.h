/*
===============================================================================

	Base of the two reverb effects: the five parameters both share.

===============================================================================
*/
#ifndef GC_REVERB_H
#define GC_REVERB_H

#include "datatypes/base/DTTypes.h"

// The effect library's reverb parameter block; the high-quality reverb
// reads the sixth value too.
struct GCReverbParameters {
	f32						fColoration;
	f32						fMix;
	f32						fTime;
	f32						fDamping;
	f32						fPreDelay;
	f32						fCrosstalk;
};

class GCReverb {
public:
	// 0, 0, 0.01, 0, 0 (and 0).
							GCReverb();
	virtual					~GCReverb();

	// Shuts the effect down in the effect library.
	virtual void			ShutDown() = 0;

	GCReverbParameters		moParameters;
};

#endif
