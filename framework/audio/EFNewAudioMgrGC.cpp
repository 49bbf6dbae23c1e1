#include "framework/audio/EFNewAudioMgrGC.h"

#include "framework/core/EFCallTrace.h"

u32 EFNewAudioMgr_SP::Initialize() {
	EFCallTraceAdd( "EFNewAudioMgr_SP::Initialize" );
	return 1;
}

void EFNewAudioMgr_SP::LoadSoundBanks( EFLoadingScreen*, u32* progress, const u32 total ) {
	if ( progress != nullptr ) {
		*progress = total;
	}
}

void EFNewAudioMgr_SP::SendSpecificData( char*, char*, char* ) {
}

void EFNewAudioMgr_SP::SetDSPEffectForGroup( u32, u32 ) {
}

void EFNewAudioMgr_SP::SetDSPEffectMasterVolume( u32, f32 ) {
}

void EFNewAudioMgr_SP::SetGCDSPEffect( u32, u32 ) {
}

void EFNewAudioMgr_SP::SoundCompletionCallback( u32 ) {
}
