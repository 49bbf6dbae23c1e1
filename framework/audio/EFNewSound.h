/*
===============================================================================

	The sound object of one bank playback, as the platform makes it.

===============================================================================
*/
#ifndef EF_NEW_SOUND_H
#define EF_NEW_SOUND_H

#include "framework/audio/EFNewSoundGC.h"

class EFNewSound : public EFNewSound_SP {
public:
	// Nothing: voices are driven by their events.
	virtual void			Update( f32 dt );
};

#endif
