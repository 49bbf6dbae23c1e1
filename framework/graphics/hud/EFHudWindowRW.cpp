#include "framework/graphics/hud/EFHudWindowRW.h"

#include "framework/graphics/hud/EFHudRender.h"
#include "graphics3d/core/RwIm2D.h"

EFHudWindow_SP::EFHudWindow_SP( const HudWinType_e type, const u32 flags, const u32 priority )
	: EFHudWindow_BC( type, flags, priority ) {
}

void EFHudWindow_SP::FillPoly( const CVector2d * corners, const RwRGBA * colors ) {
	EFHudSetState( EF_HUD_STATE_TEXTURE_RASTER, 0 );
	EFHudSetState( EF_HUD_STATE_TEXTURE_ADDRESS, 0 );
	const f32 depth = GetDepth();
	RwIm2DVertex strip[4];
	for ( u32 i = 0; i < 4; i++ ) {
		strip[i] = { corners[i].x, corners[i].y, depth, colors[i].red, colors[i].green, colors[i].blue, colors[i].alpha,
					 0.0f, 0.0f };
	}
	RwIm2DRenderPrimitive( EF_HUD_TRIANGLE_STRIP, strip, 4 );
	EFHudSetState( EF_HUD_STATE_TEXTURE_ADDRESS, 1 );
}
