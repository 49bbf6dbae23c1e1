/*
===============================================================================

	Platform half of a streamed bank playback.

	The object keeps a copy of the sample record its playback names (the
	stream file's name first) and whether that file is an ".int" one. A
	play takes the first idle stream slot, opens the file, reads its first
	chunk and leaves the slot for the manager's next frame to start; the
	event addresses the play by its slot afterwards, and slots past the
	sixth (the -1 of a failed start among them) do nothing.

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
	// Nothing.
	void					ResetSound( u32 completionId, u32 voice ) override;
	// The slot the stream starts on, or EF_NO_VOICE (audio disabled, no
	// idle slot: a message).
	u32						PlaySound( u32 playArg, u32 completionId, u32 groupMask, u32 dspEffect, u32 left,
									   u32 right ) override;
	void					StopSound( u32 completionId, u32 slot, bool looping ) override;
	// Nothing.
	void					SetPitch( u32 voice, f32 pitch ) override;
	// A playing slot's mixer input and pan: volume x stream volume, not
	// clamped (the mixer plays anything above 0 dB at 0 dB).
	void					SetFinalVolume( u32 slot, f32 pan, f32 volume ) override;
	// False while the stream on the object's slot is the global silence
	// stream, which never stops the other sounds of its set.
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
