/*
===============================================================================

	Portable base of the sound object the platform makes for each playback
	of a bank: the playback id it was loaded with and the delay its voice
	waits before starting. The defaults here play nothing and never delay.

	Slot order: destructor, LoadFromStream, ResetSound, Terminate,
	ComputeDelay, MustSoftDelay, HasSoundReallyStarted, CanCheckForSET.

===============================================================================
*/
#ifndef EF_NEW_SOUND_BC_H
#define EF_NEW_SOUND_BC_H

#include "datatypes/base/DTTypes.h"

// Bytes of a stored playback record.
constexpr u32 EF_PLAYBACK_RECORD_BYTES = 208;

class EFNewSound_BC {
public:
							EFNewSound_BC();
	virtual					~EFNewSound_BC();

	// Takes the playback id from the big-endian word at offset 4 of a
	// playback record; nothing for null.
	virtual void			LoadFromStream( char * record );
	virtual void			ResetSound( u32 completionId, u32 voice );
	virtual void			Terminate( u32 completionId, u32 voice );
	// Delay 0.0.
	virtual void			ComputeDelay();
	// False: the voice never waits.
	virtual bool			MustSoftDelay( f32 seconds );
	// True.
	virtual bool			HasSoundReallyStarted( u32 voice );
	// True: the sound takes part in set exclusion.
	virtual bool			CanCheckForSET();

	u32						mui32PlaybackId;
	f32						mfDelay;
};

#endif
