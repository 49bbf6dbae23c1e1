#include "framework/logic/EFGBALinkMgr.h"

#include "framework/core/engine/EFCallTrace.h"

EFGBALinkMgr* gpoGBALinkMgr = nullptr;
EFGBALinkMgr goGBALinkMgr;

u32 EFGBALinkMgr::Initialize() {
	EFCallTraceAdd( "EFGBALinkMgr::Initialize" );
	return 1;
}

void EFGBALinkMgr::Terminate() {
	EFCallTraceAdd( "EFGBALinkMgr::Terminate" );
}
