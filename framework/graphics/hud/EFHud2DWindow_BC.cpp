#include "framework/graphics/hud/EFHud2DWindow_BC.h"

#include "framework/graphics/EFTextureDict.h"
#include "graphics3d/core/RwTexture.h"

EFHud2DWindow_BC::EFHud2DWindow_BC( const u32 flags, const u32 priority )
	: EFHudWindow( HUD_WIN_2D, flags, priority ), mfUTiling( 1.0f ), mfVTiling( 1.0f ), muiColorGroup2D( 0 ),
	  mpoTexture( nullptr ) {
}

void EFHud2DWindow_BC::SetTexture( const char * name ) {
	EFTextureDict * const dictionary = EFTextureDict::GetInstance();
	mpoTexture = name != nullptr && dictionary != nullptr ? dictionary->GetTexture( name ) : nullptr;
}

const char * EFHud2DWindow_BC::GetTexture() const {
	return mpoTexture != nullptr ? mpoTexture->name : nullptr;
}
