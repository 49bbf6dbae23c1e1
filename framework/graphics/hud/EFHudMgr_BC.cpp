#include "framework/graphics/hud/EFHudMgr_BC.h"

#include "datatypes/file/DTFile.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFText.h"

EFHudMgr_BC::EFHudMgr_BC() : mapoFonts(), mpoTextTable( nullptr ), mafScreenScale() {
}

EFHudMgr_BC::~EFHudMgr_BC() {
	Terminate();
}

void EFHudMgr_BC::Terminate() {
	for ( EFFont*& font : mapoFonts ) {
		delete font;
		font = nullptr;
	}
	delete mpoTextTable;
	mpoTextTable = nullptr;
}

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

void EFHudMgr_BC::AddFont( EFFont* font, const u32 id ) {
	if ( id >= EF_HUD_FONT_SLOTS ) {
		DTPrintf( "FONT %u NOT INSTALLED: NO SUCH SLOT!!!\n", id );
		return;
	}
	if ( mapoFonts[id] != font ) {
		delete mapoFonts[id];
	}
	mapoFonts[id] = font;
	if ( font != nullptr && mafScreenScale[0] > 0.0f && mafScreenScale[1] > 0.0f ) {
		font->ComputeScreenDims( mafScreenScale[0], mafScreenScale[1] );
	}
}

EFFont* EFHudMgr_BC::GetFont( const u32 id ) const {
	return id < EF_HUD_FONT_SLOTS ? mapoFonts[id] : nullptr;
}

void EFHudMgr_BC::SetTextTable( EFText* table ) {
	if ( mpoTextTable != table ) {
		delete mpoTextTable;
	}
	mpoTextTable = table;
}

void EFHudMgr_BC::SetScreenScale( const f32 width, const f32 height ) {
	mafScreenScale[0] = width;
	mafScreenScale[1] = height;
}
