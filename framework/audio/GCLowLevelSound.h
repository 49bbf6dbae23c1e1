/*
===============================================================================

	Low-level sound back end: started once at power-on, before the audio
	manager, with the callback it calls when a sound completes.
	Placeholder body: it keeps the callback.

===============================================================================
*/
#ifndef GC_LOW_LEVEL_SOUND_H
#define GC_LOW_LEVEL_SOUND_H

#include "datatypes/base/DTTypes.h"

typedef void ( *GCSoundCompletionCallback )( u32 sound );

void	InitLowLevelSound( GCSoundCompletionCallback callback );

// The callback given to InitLowLevelSound, null before it ran.
GCSoundCompletionCallback	GCGetSoundCompletionCallback();

// Forgets the start-up (tests).
void	GCResetLowLevelSound();

#endif
