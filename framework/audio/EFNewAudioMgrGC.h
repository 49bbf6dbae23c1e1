/*
===============================================================================

	Platform half of the audio manager: start-up, sound banks, voices and
	DSP effects on the console's audio hardware.

	LoadSoundBanks resets the voices and streams, copies banks 0 and 1
	into auxiliary memory, reads the three banks' records, builds their
	sound tables and makes one sound object per playback record, in
	sixteen progress steps.

	Once a frame Update checks the drive (the game waits in a disc error
	with all sound paused), starts and services the stream slots and
	polls the 64 voice records: a record that is broken (claimed but not
	started, or its DSP voice taken away) or whose voice has stopped
	reports its completion id to the portable queue and gives its DSP
	voice back. Completions reach the portable queue only there and at
	PreTerminate.

	While audio is disabled every operation does nothing (or answers 0).

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

class GC_Voice;
class GC_StreamingVoice;
struct GC_StreamInfo;

// The manager's views of the low-level voice and stream tables.
extern GC_Voice *			AudMgrpgoxVoices;
extern GC_StreamingVoice *	pgoxStreamingVoices;
extern GC_StreamInfo *		pStreamInfoBufferSoundGlobal;

class EFNewAudioMgr_SP : public EFNewAudioMgr_BC {
public:
							EFNewAudioMgr_SP();
	// Deletes the banks while this layer still knows their playback counts.
							~EFNewAudioMgr_SP() override;

	// The portable start; 1.
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
	// Global pause of the disc-error waits. 1 (not yet pushed): every
	// playing stream and sound-effect voice is paused and remembered. 0
	// (pushed): the remembered ones still paused resume. Others: nothing.
	void					SOUND_PushPause( u32 on );
	// Every running stream is asked to stop, every playing sound-effect
	// voice stops at once.
	void					SOUND_StopAllVoices();
	// Whether a claimed record can still play (see Update); a free record
	// is not valid.
	static bool				VoiceIsValide( const GC_Voice & record );
	u32						GetNumberOfPlaybacks( u32 bank ) override;
	u32						GetMaxNumberOfVoices() override { return EF_AUDIO_MAX_VOICES; }
	// Return level of the buses carrying effect and the matching voices'
	// sends: the mixer-table level of volume.
	void					SetDSPEffectMasterVolume( u32 effect, f32 volume ) override;
	// Nothing.
	void					SetGCDSPEffect( u32 effect, u32 value ) override;
	// The event tables' effect for the groups, then the voices'.
	void					SetDSPEffectForGroup( u32 groupMask, u32 effect );
	// The DSP effect code of the voices of the groups that hold a DSP
	// voice: 0, a bus's code or all bits; any other effect changes nothing.
	void					SetGCDSPEffectForGroup( u32 groupMask, u32 effect );
	// Nothing.
	void					InitDspEffect();
	// Stops everything, completes and frees every voice record and closes
	// every stream file.
	void					PreTerminate() override;
	// The portable end, the effects shut down, the loaders' blocks freed.
	void					PostTerminate() override;
	void					Update( f32 dt ) override;
	// Nothing.
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
	// The mixer-table level of the playback record's volume (0 when the
	// bank is not loaded) and its pan (0.0); the record is the sound's.
	u32						SOUND_GetVolumeOfSample( u32 bank, u32 sample, EFNewSound * sound );
	f32						SOUND_GetPanOfSample( u32 bank, u32 sample, EFNewSound * sound );
	// Prepares one voice of the sound: the first empty entry of its voice
	// list becomes current and gets a sound-effect record with a DSP voice,
	// filled from the bank's record. A non-zero deferred mode keeps the
	// mixer input silent until the first final volume. No empty entry: the
	// current index stays past the list. 1 (0 while audio is disabled).
	u32						SetParametersGCVoice( EFNewSound * sound, u32 bank, u32 record, u32 deferred,
												  u32 effect );
	// Pause (resume) the playing (paused) streams and sound-effect voices
	// of the groups.
	void					SOUND_Pause( u32 groupMask );
	void					SOUND_Resume( u32 groupMask );
	// The statistic of stream plays: up at a start, down at a stop, never
	// below 0.
	void					CountStreamPlayback( bool started );
	u32						GetStreamPlaybackCount() const { return mui32StreamPlaybacks; }
	// Whether SOUND_PushPause(1) is in force.
	bool					IsPausePushed() const { return mui8PausePushed != 0; }

	// Gives bank count sound objects (new[] array of new'd objects, owned
	// from now on); false when the bank does not exist.
	bool					InstallSoundObjects( u32 bank, EFNewSound ** sounds, u32 count );

	// Completion callback of the low-level sound back end: a finished
	// voice's completion id joins the manager's queue (0 is no id).
	static void				SoundCompletionCallback( u32 completionId );
	// The stream slots' start and service, and their ends: the stream part of
	// the frame step.
	static void				UpdateStreams();

private:
	// Disc check of the frame: waits out a drive error with all sound paused.
	void					CheckDisc();
	// Pause or resume one stream slot or one sound-effect record.
	static bool				PauseSlot( u32 slot, u32 groupMask );
	static bool				ResumeSlot( u32 slot, u32 groupMask );
	static bool				PauseRecord( GC_Voice & record, u32 groupMask );
	static bool				ResumeRecord( GC_Voice & record, u32 groupMask );
	// Reports the record's completion id, gives its DSP voice back and
	// frees it.
	static void				CompleteAndRelease( GC_Voice & record );
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
	u32						mui32StreamPlaybacks;
	// SOUND_PushPause: in force, and what it paused (streams at 0-5,
	// sound-effect records at 16-63).
	u8						mui8PausePushed;
	u8						maui8PushPaused[EF_AUDIO_MAX_VOICES];
};

#endif
