/*
===============================================================================

	Platform half of a bank playback's sound object: starting, stopping,
	re-pitching and re-levelling its voices.

	The object keeps a list of 64 voice records. The manager's
	SetParametersGCVoice makes the list's first empty entry current and
	claims a record into it; PlaySound starts the current entry's record.
	The event addresses its voice by that entry index afterwards; indexes
	past the list (the -1 of a failed start among them) do nothing. When
	the voice has finished, the event's ResetSound empties the entry.

	Slots added after those of EFNewSound_BC, in order: PlaySound,
	StopSound, SetPitch, SetFinalVolume, ComputeDelay (bank, record).

===============================================================================
*/
#ifndef EF_NEW_SOUND_GC_H
#define EF_NEW_SOUND_GC_H

#include "framework/audio/EFNewSound_BC.h"

class GC_Voice;

// A voice not started.
constexpr u32 EF_NO_VOICE = 0xFFFFFFFF;
// Entries of a sound object's voice list.
constexpr u32 EF_SOUND_VOICE_SLOTS = 64;

class EFNewSound_SP : public EFNewSound_BC {
public:
	using EFNewSound_BC::ComputeDelay;

							EFNewSound_SP();

	// Sample index from the record's word at offset 4 (nothing for null).
	void					LoadFromStream( char * record ) override;
	// Empties the voice's entry; one voice fewer in use.
	void					ResetSound( u32 completionId, u32 voice ) override;
	void					Terminate( u32 completionId, u32 voice ) override;
	// True when the delay (milliseconds) exceeds the seconds given.
	bool					MustSoftDelay( f32 seconds ) override;

	// Starts the current entry's record with the completion id and group
	// mask at the manager's effects volume; returns the entry index, or
	// EF_NO_VOICE when audio is disabled or the entry holds no record.
	virtual u32				PlaySound( u32 playArg, u32 completionId, u32 groupMask, u32 dspEffect, u32 left,
									   u32 right );
	virtual void			StopSound( u32 completionId, u32 voice, bool looping );
	virtual void			SetPitch( u32 voice, f32 pitch );
	// A playing voice's mixer input and pan: volume clamped to 0..1 and
	// scaled by the effects volume (clamped again), pan -1..1.
	virtual void			SetFinalVolume( u32 voice, f32 pan, f32 volume );
	// The delay of the bank's playback record.
	virtual void			ComputeDelay( u8 bank, u8 record );

	// The record's index in its bank.
	u32						GetSamplePlaybackID() const { return mui32PlaybackIndex; }
	// The record in a list entry; null for an empty entry or past the list.
	GC_Voice *				GetVoice( u32 voice ) const;

	u8						mui8VoiceCount;
	u8						mui8CurrentVoice;
	GC_Voice *				mapoVoices[EF_SOUND_VOICE_SLOTS];
	// The sample record the playback record names.
	u32						mui32SampleIndex;
	u32						mui32PlaybackIndex;
};

#endif
