#include "framework/graphics/hud/EFHudRender.h"

#include "graphics3d/core/RwRenderState.h"

#include <cstdint>

void EFHudSetState( const s32 state, const u32 value ) {
	RwRenderStateSet( state, reinterpret_cast<void *>( static_cast<uintptr_t>( value ) ) );
}

void EFHudSetRaster( RwRaster * raster ) {
	RwRenderStateSet( EF_HUD_STATE_TEXTURE_RASTER, raster );
}

void * EFHudGetState( const s32 state ) {
	void * value = nullptr;
	RwRenderStateGet( state, &value );
	return value;
}

void EFHudRestoreState( const s32 state, void * value ) {
	RwRenderStateSet( state, value );
}
