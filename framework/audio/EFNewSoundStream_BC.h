/*
===============================================================================

	Portable base of a streamed bank playback: a sound object whose samples
	come from the disc while it plays. It adds nothing to EFNewSound.

===============================================================================
*/
#ifndef EF_NEW_SOUND_STREAM_BC_H
#define EF_NEW_SOUND_STREAM_BC_H

#include "framework/audio/EFNewSound.h"

class EFNewSoundStream_BC : public EFNewSound {
};

#endif
