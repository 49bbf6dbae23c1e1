#include "framework/logic/EFGameLogicMgr.h"

#include "datatypes/DTGlo.h"
#include "framework/core/EFCallTrace.h"
#include "framework/core/EFGameObject.h"

EFGameLogicMgr* gpoGameLogicMgr = nullptr;

EFGameLogicMgr::EFGameLogicMgr() {
	mbFailInitialize = 0;
	mpfnMessageHook = nullptr;
}

EFGameLogicMgr::~EFGameLogicMgr() {
}

u32 EFGameLogicMgr::Initialize() {
	EFCallTraceAdd( "EFGameLogicMgr::Initialize" );
	if ( mbFailInitialize ) {
		mbFailInitialize = 0;
		return 0;
	}
	return 1;
}

void EFGameLogicMgr::Update( f32 ) {
	EFCallTraceAdd( "EFGameLogicMgr::Update" );
}

void EFGameLogicMgr::Terminate() {
	EFCallTraceAdd( "EFGameLogicMgr::Terminate" );
	// The level's templates and logic modules go with the level.
	for ( DTMap<u32, _EFLatant>::Node* node = moLatentMap.GetFirst(); node != nullptr;
		  node = moLatentMap.GetNext( node ) ) {
		delete node->mValue.mpoGlo;
		delete node->mValue.mpoGameObject;
	}
	moLatentMap.RemoveAll();
	moCodeMap.DeleteAll();
}

s32 EFGameLogicMgr::SendLogicMessageTo( const u32 target, const u32 message, const u32 parameter, void* data,
										ObjectRetrieverParams* ) {
	if ( mpfnMessageHook != nullptr ) {
		mpfnMessageHook( target, message, parameter, data );
	}
	return 0;
}

void EFGameLogicMgr::AddLatent( const u32 id, EFGameObject* object, DTGlo* record ) {
	moLatentMap.Set( id, _EFLatant{ object, record } );
}
