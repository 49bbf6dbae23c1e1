#include "framework/audio/EFNewAudioMgr_BC.h"

EFNewAudioMgr_BC::EFNewAudioMgr_BC() {
	mui32ListenerId = 0xFFFFFFFF;
	mfGlobalVolume = 1.0f;
	mfEffectsVolume = 1.0f;
	mfStreamVolume = 1.0f;
	mfVideoVolume = 1.0f;
	mui32EngineMode = 0;
}

void EFNewAudioMgr_BC::SetVolumeByGroup( u32, f32 ) {
}
