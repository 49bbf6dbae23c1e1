/*
===============================================================================

	Platform half of a streamed bank playback.

	The object keeps a copy of the sample record its playback names (the
	stream file's name first) and whether that file is an ".int" one.
	Still to come: like EFNewSound_SP, no voice is ever started; every
	stream takes part in set exclusion.

===============================================================================
*/
#ifndef EF_NEW_SOUND_STREAM_GC_H
#define EF_NEW_SOUND_STREAM_GC_H

#include "framework/audio/EFNewSoundStream_BC.h"
#include "framework/audio/GC_SoundLoader.h"

class GC_StreamingVoice;

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

	// Copies the sample record at the sample index from the bank's
	// sampleCount records; nothing when the index is not among them.
	void					LoadBodyFileInformationFromStream( char * samples, u32 sampleCount );

	u8						mui8Slot = 0;
	GC_StreamingVoice *		mpoSlot = nullptr;
	// 1 when the stream file's name ends in ".int" or ".INT".
	u32						mui32InfoFile = 0;
	u8						maui8Sample[GC_SAMPLE_RECORD_BYTES] = {};
};

#endif
