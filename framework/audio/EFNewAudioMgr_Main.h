/*
===============================================================================

	Audio manager layer that runs the level's sounds: per-frame update,
	pause and resume of the sound events, and release at level end.
	Placeholder body: there are no sounds yet.

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_MAIN_H
#define EF_NEW_AUDIO_MGR_MAIN_H

#include "framework/audio/EFNewAudioMgrGC.h"

class EFNewAudioMgr_Main : public EFNewAudioMgr_SP {
public:
	void					PauseSoundEvents( u32 value );
	void					ResumeSoundEvents( u32 value );
	virtual void			Update( f32 dt );
	virtual void			Terminate();
};

#endif
