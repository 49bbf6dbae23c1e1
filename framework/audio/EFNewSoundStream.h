/*
===============================================================================

	A streamed bank playback, as the platform makes it.

===============================================================================
*/
#ifndef EF_NEW_SOUND_STREAM_H
#define EF_NEW_SOUND_STREAM_H

#include "framework/audio/EFNewSoundStreamGC.h"

class EFNewSoundStream : public EFNewSoundStream_SP {
public:
	using EFNewSoundStream_SP::Terminate;

	// Both nothing.
	void					Update( f32 dt ) override;
	virtual void			Terminate();
};

#endif
