/*
===============================================================================

	Portable half of the audio manager: the listener and the volumes the
	sound table writes, each kept within 0.0 to 1.0 by its writer.

===============================================================================
*/
#ifndef EF_NEW_AUDIO_MGR_BC_H
#define EF_NEW_AUDIO_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFNewAudioMgr_BC {
public:
							EFNewAudioMgr_BC();
	virtual					~EFNewAudioMgr_BC() {}

	void					SetVolumeByGroup( u32 group, f32 volume );

	u32						mui32ListenerId;
	f32						mfGlobalVolume;
	f32						mfEffectsVolume;
	f32						mfStreamVolume;
	f32						mfVideoVolume;
	u32						mui32EngineMode;
};

#endif
