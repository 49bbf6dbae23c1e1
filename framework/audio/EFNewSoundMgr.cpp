#include "framework/audio/EFNewSoundMgr.h"

#include "framework/core/engine/EFCallTrace.h"

EFNewSoundMgr::EFNewSoundMgr( EFGameObject* owner ) : mpoOwner( owner ) {
}

void EFNewSoundMgr::DeleteAllSoundReferences() {
	EFCallTraceAdd( "EFNewSoundMgr::DeleteAllSoundReferences" );
}
