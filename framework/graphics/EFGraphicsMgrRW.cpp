#include "framework/graphics/EFGraphicsMgrRW.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFIniFile.h"

#include <cstring>

namespace {

constexpr f32 DEFAULT_BRIGHTNESS = 0.5f;
constexpr u32 DEFAULT_STENCIL    = 1;
constexpr s32 DEFAULT_MAX_FPS    = 30;

}

EFGraphicsMgr_SP::EFGraphicsMgr_SP( const EFAppContext& context ) : EFGraphicsMgr_BC( context ) {
	EFIniFile* const ini = EFIniFile::GetInstance();
	mfBrightnessLevel = DEFAULT_BRIGHTNESS;
	ini->GetIniFloat( "BrightnessLevel", &mfBrightnessLevel );
	mui32Stencil = DEFAULT_STENCIL;
	ini->GetIniBool( "Stencil", &mui32Stencil );
	mi32MaxFPS = DEFAULT_MAX_FPS;
	ini->GetIniInteger( "MaxFPS", &mi32MaxFPS );
	SetVideoSettings( static_cast<s32>( context.bShowVideoDialog ) );
}

s32 EFGraphicsMgr_SP::SetVideoSettings( s32 ) {
	char mode[INI_TOKEN_BUFFER] = "ntsc";
	EFIniFile::GetInstance()->GetIniString( "DisplayMode", mode );
	if ( std::strcmp( mode, "NTSC" ) == 0 ) {
		mui32TVMode = EF_TV_MODE_NTSC;
	} else if ( std::strcmp( mode, "PAL" ) == 0 ) {
		mui32TVMode = EF_TV_MODE_PAL;
	}
	return 1;
}

void EFGraphicsMgr_SP::EnableStencilWrite( u32 ) {
}

void EFGraphicsMgr_SP::EnableStencilRead( u32 ) {
}
