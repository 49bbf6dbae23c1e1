/*
===============================================================================

	Platform half of the audio manager: start-up, sound banks, voices and
	DSP effects on the console's audio hardware.

	LoadSoundBanks resets the voices and streams, copies banks 0 and 1
	into auxiliary memory, reads the three banks' records, builds their
	sound tables and makes one sound object per playback record, in
	sixteen progress steps. Still to come: Initialize succeeds (recorded
	in the call trace); sample volumes and pans are the ones
	SetSampleLevels gave (127 and 0.0 otherwise); the voice, pause, resume
	and frame operations only count their calls, SOUND_PushPause records
	its pushes. Tests may give a bank its sound objects directly
	(InstallSoundObjects).

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_GC_H
#define EF_NEW_AUDIO_MGR_GC_H

#include "framework/audio/EFNewAudioMgr_BC.h"

class EFLoadingScreen;

// Progress steps that sound-bank loading adds to a level load.
constexpr u32 EF_AUDIO_ELEMENT_COUNT = 16;
// Banks 0 and 1 hold sound effects, bank 2 the streams.
constexpr u32 EF_AUDIO_BANK_COUNT = 3;
// Voices of the console's mixer.
constexpr u32 EF_AUDIO_MAX_VOICES = 64;
// Sample levels SetSampleLevels can hold.
constexpr u32 EF_AUDIO_SAMPLE_LEVELS = 64;

// Calls of the platform operations that have no body yet.
struct EFAudioPlatformCalls {
	u32						ui32Update;
	u32						ui32SpecificUpdate;
	u32						ui32PreTerminate;
	u32						ui32Pause;
	u32						ui32Resume;
	u32						ui32LastPauseMask;
	u32						ui32LastResumeMask;
	u32						ui32SetParameters;
	u32						ui32LastParametersBank;
	u32						ui32LastParametersSample;
	u32						ui32LastParametersSpatialMode;
	u32						ui32LastParametersDSPEffect;
	u32						ui32PushPauseOn;
	u32						ui32PushPauseOff;
};

class GC_Voice;

class EFNewAudioMgr_SP : public EFNewAudioMgr_BC {
public:
							EFNewAudioMgr_SP();
	// Deletes the banks while this layer still knows their playback counts.
							~EFNewAudioMgr_SP() override;

	u32						Initialize() override;
	u32						GetNumberOfAudioElements() const override { return EF_AUDIO_ELEMENT_COUNT; }
	// Loads every bank, advancing *progress by one per step (sixteen in
	// all) and showing it on the screen when there is one.
	void					LoadSoundBanks( EFLoadingScreen * screen, u32 * progress, u32 total ) override;
	// Makes the sound objects of every bank from its .SBH; stops at the
	// first bank whose file is missing or invalid.
	void					LoadRawData( EFLoadingScreen * screen, u32 * progress, u32 total );
	// Claims the first free sound-effect record (16-63); null when none is
	// free or audio is disabled.
	GC_Voice *				GCVoice_FindFree( u8 type );
	// Global pause of the disc-error waits: 1 pushes, 0 pops.
	void					SOUND_PushPause( u32 on );
	u32						GetNumberOfPlaybacks( u32 bank ) override;
	u32						GetMaxNumberOfVoices() override { return EF_AUDIO_MAX_VOICES; }
	void					SetDSPEffectMasterVolume( u32 effect, f32 volume ) override;
	void					SetGCDSPEffect( u32 effect, u32 value ) override;
	void					PreTerminate() override;
	void					PostTerminate() override;
	void					Update( f32 dt ) override;
	virtual void			SpecificUpdate( f32 dt );

	// Clears the three bank names, then keeps each non-empty name
	// upper-cased: first names bank 2, second bank 1, third bank 0.
	void					SendSpecificData( char * first, char * second, char * third );
	// A bank's name; empty when none was given.
	const char *			GetBankName( u32 bank ) const;

	// The bank's playback count: the size of its sound-object array, made
	// from the same records the loader holds. Events bound their indices
	// with it, so it is the array's own size even when the loader found
	// no copy of the bank (GEN fallback).
	u32						SOUND_GetNumberOfPlaybacks( u32 bank );
	// The index of a playback's sound object in its bank's array.
	virtual u32				GetGCSoundBodyId( u32 bank, u32 id ) final;
	u32						SOUND_GetVolumeOfSample( u32 bank, u32 sample, EFNewSound * sound );
	f32						SOUND_GetPanOfSample( u32 bank, u32 sample, EFNewSound * sound );
	// 1.
	u32						SetParametersGCVoice( EFNewSound * sound, u32 bank, u32 sample, u32 spatialMode,
												  u32 dspEffect );
	void					SOUND_Pause( u32 groupMask );
	void					SOUND_Resume( u32 groupMask );

	// Gives bank count sound objects (new[] array of new'd objects, owned
	// from now on); false when the bank does not exist.
	bool					InstallSoundObjects( u32 bank, EFNewSound ** sounds, u32 count );
	// The volume and pan the bank's sample answers with.
	void					SetSampleLevels( u32 bank, u32 sample, u32 volume, f32 pan );
	const EFAudioPlatformCalls &	GetPlatformCalls() const { return moCalls; }

	// Completion callback of the low-level sound back end: a finished
	// voice's completion id joins the manager's queue (0 is no id).
	static void				SoundCompletionCallback( u32 completionId );

private:
	struct SampleLevel {
		u32					ui32Bank;
		u32					ui32Sample;
		u32					ui32Volume;
		f32					fPan;
	};
	const SampleLevel *		FindSampleLevel( u32 bank, u32 sample ) const;
	// Steps 2-9 of LoadSoundBanks.
	void					LoadAllBanks( EFLoadingScreen * screen, u32 * progress, u32 total );
	// One progress step: the counter moves on, the screen shows it.
	static void				ProgressStep( EFLoadingScreen * screen, u32 * progress, u32 total );
	// Reads and checks one bank's .SBH and makes its sound objects; false
	// when the load of sound objects must stop.
	bool					LoadBankObjects( u32 bank );

	char					maszBankNames[EF_AUDIO_BANK_COUNT][EF_AUDIO_NAME_MAX + 1];
	// Size of each bank's sound-object array.
	u32						maui32Playbacks[EF_AUDIO_BANK_COUNT];
	SampleLevel				maoSampleLevels[EF_AUDIO_SAMPLE_LEVELS];
	u32						mui32NbSampleLevels;
	EFAudioPlatformCalls	moCalls;
};

#endif
