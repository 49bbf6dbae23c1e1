#include "framework/graphics/EFHudMgr_BC.h"

u32 EFHudMgr_BC::Init() {
	return 1;
}

u32 EFHudMgr_BC::WindowAdd( HudWinType_e, u32, u32, u32 ) {
	return 0;
}

void EFHudMgr_BC::WindowDelete( u32 ) {
}

EFHudWindow* EFHudMgr_BC::FindHudWindow( u32 ) {
	return nullptr;
}

void EFHudMgr_BC::AddFont( EFFont*, u32 ) {
}
