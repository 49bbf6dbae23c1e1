#include "framework/graphics/hud/EFHudMgr.h"

EFHudMgr* gpoHudMgr = nullptr;

u8 EFHudMgr::Load( const char * ) {
	return 0;
}

u8 EFHudMgr::Save( const char * ) {
	return 0;
}
