#include "framework/logic/EFGBALinkMgr.h"

EFGBALinkMgr* gpoGBALinkMgr = nullptr;
EFGBALinkMgr goGBALinkMgr;

u32 EFGBALinkMgr::Initialize() {
	return 1;
}

u32 EFGBALinkMgr::Terminate() {
	return 1;
}

u32 EFGBALinkMgr::AddQuickDataToSend( u32 ) {
	return 1;
}

u32 EFGBALinkMgr::GetData( u32 *, u8 ) {
	return 0;
}
