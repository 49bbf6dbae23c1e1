/*
===============================================================================

	Platform half of the audio manager: start-up, sound banks and DSP
	effects on the console's audio hardware.

	Placeholder body: Initialize succeeds, no bank is loaded; LoadSoundBanks
	only moves the progress counter to the total, as a finished load does.

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_GC_H
#define EF_NEW_AUDIO_MGR_GC_H

#include "framework/audio/EFNewAudioMgr_BC.h"

class EFLoadingScreen;

// Progress steps that sound-bank loading adds to a level load.
constexpr u32 EF_AUDIO_ELEMENT_COUNT = 16;

class EFNewAudioMgr_SP : public EFNewAudioMgr_BC {
public:
	// Non-zero on success.
	virtual u32				Initialize();
	u32						GetNumberOfAudioElements() const { return EF_AUDIO_ELEMENT_COUNT; }
	// Advances *progress toward total while loading; the screen may be null.
	void					LoadSoundBanks( EFLoadingScreen* screen, u32* progress, u32 total );
	// Three names of at most 256 characters describing the level's sound.
	void					SendSpecificData( char* first, char* second, char* third );
	void					SetDSPEffectForGroup( u32 group, u32 effect );
	virtual void			SetDSPEffectMasterVolume( u32 effect, f32 volume );
	virtual void			SetGCDSPEffect( u32 effect, u32 value );

	// Completion callback of the low-level sound back end.
	static void				SoundCompletionCallback( u32 sound );
};

#endif
