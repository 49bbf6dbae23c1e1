/*
===============================================================================

	The audio manager, created and destroyed by the engine controller and
	held in gpoNewAudioMgr, which its constructor sets.

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_H
#define EF_NEW_AUDIO_MGR_H

#include "framework/audio/EFNewAudioMgr_Main.h"

class EFNewAudioMgr : public EFNewAudioMgr_Main {
public:
							EFNewAudioMgr();
							~EFNewAudioMgr() override;
};

extern EFNewAudioMgr*	gpoNewAudioMgr;

#endif
