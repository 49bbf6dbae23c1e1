/*
===============================================================================

	Platform half of a bank playback's sound object: starting, stopping,
	re-pitching and re-levelling its voices.

	The object keeps the sample index its playback record names and its
	own index in the bank. Still to come: no voice is ever started
	(PlaySound answers 0xFFFFFFFF), and the voice operations do nothing.

	Slots added after those of EFNewSound_BC, in order: PlaySound,
	StopSound, SetPitch, SetFinalVolume, ComputeDelay (bank, sample).

===============================================================================
*/
#ifndef EF_NEW_SOUND_GC_H
#define EF_NEW_SOUND_GC_H

#include "framework/audio/EFNewSound_BC.h"

// A voice not started.
constexpr u32 EF_NO_VOICE = 0xFFFFFFFF;

class EFNewSound_SP : public EFNewSound_BC {
public:
	using EFNewSound_BC::ComputeDelay;

	void					LoadFromStream( char * record ) override;
	void					ResetSound( u32 completionId, u32 voice ) override;
	void					Terminate( u32 completionId, u32 voice ) override;
	bool					MustSoftDelay( f32 seconds ) override;

	// The voice started with the levels given, or EF_NO_VOICE.
	virtual u32				PlaySound( u32 playArg, u32 completionId, u32 groupMask, u32 dspEffect, u32 left,
									   u32 right );
	virtual void			StopSound( u32 completionId, u32 voice, bool looping );
	virtual void			SetPitch( u32 voice, f32 pitch );
	virtual void			SetFinalVolume( u32 voice, f32 pan, f32 volume );
	virtual void			ComputeDelay( u8 bank, u8 sample );

	// The record's index in its bank.
	u32						GetSamplePlaybackID() const { return mui32PlaybackIndex; }

	// The sample record the playback record names.
	u32						mui32SampleIndex = 0;
	u32						mui32PlaybackIndex = 0;
};

#endif
