#include "framework/graphics/EFPaletteMgrRW.h"

#include "datatypes/base/DTByteOrder.h"
#include "framework/graphics/EFPaletteDictionary.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/gamecube/RwDlRaster.h"

namespace {

constexpr u32 PALETTE_RGB565	= 1;
constexpr u32 PALETTE_RGB5A3	= 2;
// Alpha from which RGB5A3 uses its opaque form.
constexpr u32 OPAQUE_ALPHA		= 224;

u32 Blend( const u32 source, const u32 target, const f32 ratio ) {
	const f32 value = static_cast<f32>( source ) + ratio * ( static_cast<f32>( target ) - static_cast<f32>( source ) );
	return static_cast<u32>( static_cast<s32>( value ) ) & 0xFF;
}

}

u16 EFPaletteMgr_SP::PackRGB565( const u32 red, const u32 green, const u32 blue ) {
	return static_cast<u16>( ( ( red >> 3 ) << 11 ) | ( ( green >> 2 ) << 5 ) | ( blue >> 3 ) );
}

u16 EFPaletteMgr_SP::PackRGB5A3( const u32 red, const u32 green, const u32 blue, const u32 alpha ) {
	if ( alpha >= OPAQUE_ALPHA ) {
		return static_cast<u16>( 0x8000 | ( ( red >> 3 ) << 10 ) | ( ( green >> 3 ) << 5 ) | ( blue >> 3 ) );
	}
	return static_cast<u16>( ( ( alpha >> 5 ) << 12 ) | ( ( red >> 4 ) << 8 ) | ( ( green >> 4 ) << 4 ) | ( blue >> 4 ) );
}

void EFPaletteMgr_SP::Update( const f32 dt ) {
	if ( mi32TargetState == EF_PALETTE_NO_TARGET ) {
		return;
	}
	const f32 ratio = mfDuration == 0.0f ? 1.0f : mfElapsed / mfDuration;
	EFPaletteTransitionPass pass = { ratio, mui32CurrentState, static_cast<u32>( mi32TargetState ), mpoDictionary };
	RwTexDictionary* const dictionary = RwTexDictionaryGetCurrent();
	if ( dictionary != nullptr && mpoDictionary != nullptr ) {
		RwTexDictionaryForAllTextures( dictionary, &EFPaletteMgr_SP::TransitionTextureCallBack, &pass );
	}
	if ( ratio >= 1.0f ) {
		mui32CurrentState = static_cast<u32>( mi32TargetState );
		mi32TargetState = EF_PALETTE_NO_TARGET;
	}
	mfElapsed += dt;
}

RwTexture* EFPaletteMgr_SP::TransitionTextureCallBack( RwTexture* texture, void* data ) {
	const EFPaletteTransitionPass* const pass = static_cast<const EFPaletteTransitionPass*>( data );
	RwRaster* const raster = texture->raster;
	if ( raster == nullptr || ( raster->depth != 4 && raster->depth != 8 ) ) {
		return texture;
	}
	const u32 entries = 1u << raster->depth;
	const u8* const source = pass->poDictionary->GetPalette( texture->name, pass->uiCurrentState, entries );
	const u8* const target = pass->poDictionary->GetPalette( texture->name, pass->uiTargetState, entries );
	if ( source == nullptr || target == nullptr ) {
		return texture;
	}
	const u32 format = _rwDlRasterExt( raster )->tlutFormat;
	if ( format != PALETTE_RGB565 && format != PALETTE_RGB5A3 ) {
		return texture;
	}
	u8* const palette = RwRasterLockPalette( raster, rwRASTERLOCKWRITE );
	if ( palette == nullptr ) {
		return texture;
	}
	for ( u32 i = 0; i < entries; i++ ) {
		const u32 to = DTReadBE32( target + 4 * i );
		u32 colour = to;
		if ( pass->fRatio < 1.0f ) {
			const u32 from = DTReadBE32( source + 4 * i );
			colour = 0;
			for ( u32 shift = 0; shift < 32; shift += 8 ) {
				colour |= Blend( ( from >> shift ) & 0xFF, ( to >> shift ) & 0xFF, pass->fRatio ) << shift;
			}
		}
		const u32 red = colour >> 24;
		const u32 green = ( colour >> 16 ) & 0xFF;
		const u32 blue = ( colour >> 8 ) & 0xFF;
		const u32 alpha = colour & 0xFF;
		const u16 packed = format == PALETTE_RGB565 ? PackRGB565( red, green, blue ) : PackRGB5A3( red, green, blue, alpha );
		// The driver keeps palette entries big-endian.
		palette[2 * i] = static_cast<u8>( packed >> 8 );
		palette[2 * i + 1] = static_cast<u8>( packed );
	}
	RwRasterUnlockPalette( raster );
	return texture;
}
