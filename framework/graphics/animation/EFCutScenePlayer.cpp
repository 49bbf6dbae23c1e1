#include "framework/graphics/animation/EFCutScenePlayer.h"

#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/engine/EFEngineController.h"

EFCutScenePlayer EFCutScenePlayer::mInstance;

EFCutScenePlayer::EFCutScenePlayer() {
	mfCSVolume = 1.0f;
	mui32State = 0;
}

void EFCutScenePlayer::Update( f32 ) {
	EFCallTraceAdd( "EFCutScenePlayer::Update" );
	if ( gpoEngineController != nullptr ) {
		gpoEngineController->ClearFlags( EF_CONTROLLER_CLOCK_SLAVING );
	}
}

void EFCutScenePlayer::Terminate() {
	EFCallTraceAdd( "EFCutScenePlayer::Terminate" );
	mui32State = 0;
}

u32 EFCutScenePlayer::IsInCutScene( u32, u32 ) {
	return 0;
}

void EFCutScenePlayer::Pause( u32 ) {
}

void EFCutScenePlayer::Play( u32, u32, u32 ) {
}

void EFCutScenePlayer::Skip() {
}

void EFCutScenePlayer::Stop() {
}
