#include "framework/audio/EFNewAudioMgr_Main.h"

#include "framework/core/engine/EFCallTrace.h"

void EFNewAudioMgr_Main::PauseSoundEvents( u32 ) {
}

void EFNewAudioMgr_Main::ResumeSoundEvents( u32 ) {
}

void EFNewAudioMgr_Main::Update( f32 ) {
	EFCallTraceAdd( "EFNewAudioMgr_Main::Update" );
}

void EFNewAudioMgr_Main::Terminate() {
	EFCallTraceAdd( "EFNewAudioMgr_Main::Terminate" );
}
