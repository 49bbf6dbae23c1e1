#include "framework/graphics/hud/EFHud2DWindowRW.h"

#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/hud/EFHudRender.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"

namespace {

constexpr u32 TEXTURE_SIZE_FLAGS	= 0x30000;
constexpr u32 TEXTURE_PIXEL_SCALE	= 0x10000;
constexpr u32 ADDRESS_WRAP			= 1;

}

EFHud2DWindow_SP::EFHud2DWindow_SP( const u32 flags, const u32 priority ) : EFHud2DWindow_BC( flags, priority ) {
}

u32 EFHud2DWindow_SP::SpecificUpdate( f32, void *&, unsigned long & ) {
	const RwRaster * const raster = mpoTexture != nullptr ? mpoTexture->raster : nullptr;
	if ( raster == nullptr || ( muiFlags & TEXTURE_SIZE_FLAGS ) != TEXTURE_SIZE_FLAGS ) {
		return 0;
	}
	moScreenRect.w = static_cast<f32>( raster->width ) * mfUTiling;
	moScreenRect.h = static_cast<f32>( raster->height ) * mfVTiling;
	return EF_HUD_PLACE_AGAIN;
}

void EFHud2DWindow_SP::SpecificRender( EFCamera *, unsigned long & ) {
	const EFHudMgr_BC * const manager = EFHudMgr_BC::GetCurrent();
	const EFHudColorGroup * const group =
		manager != nullptr ? manager->GetColorGroup( EF_HUD_GLOBAL_PALETTE, muiColorGroup2D ) : nullptr;
	if ( group == nullptr ) {
		return;
	}
	RwRaster * const raster = mpoTexture != nullptr ? mpoTexture->raster : nullptr;
	f32 u = mfUTiling;
	f32 v = mfVTiling;
	const CRect & r = moPosRect;
	if ( raster != nullptr && ( muiFlags & TEXTURE_PIXEL_SCALE ) != 0 && raster->width > 0 && raster->height > 0 ) {
		u = r.w * mfUTiling / static_cast<f32>( raster->width );
		v = r.h * mfVTiling / static_cast<f32>( raster->height );
	}
	EFHudSetState( EF_HUD_STATE_TEXTURE_ADDRESS, ADDRESS_WRAP );
	EFHudSetRaster( raster );
	const f32 depth = GetDepth();
	const RwRGBA * const c = group->aColors;
	RwIm2DVertex strip[4] = {
		{ r.x, r.y, depth, c[0].red, c[0].green, c[0].blue, c[0].alpha, 0.0f, 0.0f },
		{ r.x, r.y + r.h, depth, c[1].red, c[1].green, c[1].blue, c[1].alpha, 0.0f, v },
		{ r.x + r.w, r.y, depth, c[2].red, c[2].green, c[2].blue, c[2].alpha, u, 0.0f },
		{ r.x + r.w, r.y + r.h, depth, c[3].red, c[3].green, c[3].blue, c[3].alpha, u, v },
	};
	RwIm2DRenderPrimitive( EF_HUD_TRIANGLE_STRIP, strip, 4 );
}
