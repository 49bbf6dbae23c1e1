#include "framework/logic/EFGameLogicMgr.h"

#include "framework/core/EFCallTrace.h"

EFGameLogicMgr* gpoGameLogicMgr = nullptr;

EFGameLogicMgr::EFGameLogicMgr() {
	mbFailInitialize = 0;
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
	// The level's logic modules go with the level.
	moCodeMap.DeleteAll();
}
