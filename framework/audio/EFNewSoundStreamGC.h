/*
===============================================================================

	Platform half of a streamed bank playback.

	Placeholder body: like EFNewSound_SP, no voice is ever started; every
	stream takes part in set exclusion.

===============================================================================
*/
#ifndef EF_NEW_SOUND_STREAM_GC_H
#define EF_NEW_SOUND_STREAM_GC_H

#include "framework/audio/EFNewSoundStream_BC.h"

class EFNewSoundStream_SP : public EFNewSoundStream_BC {
public:
	void					LoadFromStream( char * record ) override;
	void					ResetSound( u32 completionId, u32 voice ) override;
	u32						PlaySound( u32 playArg, u32 completionId, u32 groupMask, u32 dspEffect, u32 left,
									   u32 right ) override;
	void					StopSound( u32 completionId, u32 voice, bool looping ) override;
	void					SetPitch( u32 voice, f32 pitch ) override;
	void					SetFinalVolume( u32 voice, f32 pan, f32 volume ) override;
	// True.
	bool					CanCheckForSET() override;
};

#endif
