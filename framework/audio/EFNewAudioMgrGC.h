/*
===============================================================================

	Platform half of the audio manager: start-up, sound banks and DSP
	effects on the console's audio hardware.

	Placeholder body: Initialize succeeds, no bank is loaded; LoadSoundBanks
	only moves the progress counter to the total, as a finished load does,
	and reports that progress to the loading screen when there is one.

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_GC_H
#define EF_NEW_AUDIO_MGR_GC_H

#include "framework/audio/EFNewAudioMgr_BC.h"

class EFLoadingScreen;

// Progress steps that sound-bank loading adds to a level load.
constexpr u32 EF_AUDIO_ELEMENT_COUNT = 16;

// Characters of a bank or environment name, terminator excluded.
constexpr u32 EF_AUDIO_NAME_MAX = 256;
// Banks 0 and 1 hold sound effects, bank 2 the streams.
constexpr u32 EF_AUDIO_BANK_COUNT = 3;

class EFNewAudioMgr_SP : public EFNewAudioMgr_BC {
public:
							EFNewAudioMgr_SP();

	// Non-zero on success.
	virtual u32				Initialize();
	u32						GetNumberOfAudioElements() const { return EF_AUDIO_ELEMENT_COUNT; }
	// Advances *progress toward total while loading; the screen may be null.
	void					LoadSoundBanks( EFLoadingScreen* screen, u32* progress, u32 total );
	// Clears the three bank names, then keeps each non-empty name
	// upper-cased: first names bank 2, second bank 1, third bank 0.
	void					SendSpecificData( char* first, char* second, char* third );
	// A bank's name; empty when none was given.
	const char*				GetBankName( u32 bank ) const;
	// Copies at most EF_AUDIO_NAME_MAX characters of name.
	void					SetEnvironmentName( const char* name );
	const char*				GetEnvironmentName() const { return mszEnvironmentName; }
	void					SetDSPEffectForGroup( u32 group, u32 effect );
	virtual void			SetDSPEffectMasterVolume( u32 effect, f32 volume );
	virtual void			SetGCDSPEffect( u32 effect, u32 value );

	// Completion callback of the low-level sound back end.
	static void				SoundCompletionCallback( u32 sound );

private:
	char					maszBankNames[EF_AUDIO_BANK_COUNT][EF_AUDIO_NAME_MAX + 1];
	char					mszEnvironmentName[EF_AUDIO_NAME_MAX + 1];
};

#endif
