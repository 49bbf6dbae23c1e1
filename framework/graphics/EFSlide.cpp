#include "framework/graphics/EFSlide.h"

#include "framework/graphics/EFGraphicsMgr.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "framework/graphics/EFRenderStateValue.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstring>

namespace {

constexpr u32 FILTER_NEAREST	= 1;
constexpr u32 ADDRESS_CLAMP		= 3;
constexpr f32 SLIDE_DEPTH		= 1.0f;

}

void EFSlide::LoadSlide( const void * record, RwTexture * const * pictures ) {
	std::memcpy( macRecord, record, EF_SLIDE_RECORD_BYTES );
	// The last byte is reserved: terminating there keeps the last name
	// inside the record whatever the file holds.
	macRecord[EF_SLIDE_RECORD_BYTES - 1] = 0;
	for ( u32 i = 0; i < EF_SLIDE_PICTURES; i++ ) {
		mapcName[i] = reinterpret_cast<char *>( macRecord + i * EF_SLIDE_NAME_STRIDE );
		mapoTexture[i] = nullptr;
		for ( u32 j = 0; j < EF_SLIDE_PICTURES && mapoTexture[i] == nullptr; j++ ) {
			if ( pictures[j] != nullptr && _rwTextureNamesEqual( pictures[j]->name, mapcName[i] ) ) {
				mapoTexture[i] = pictures[j];
			}
		}
	}
}

void EFSlide::Reset() {
	for ( u32 i = 0; i < EF_SLIDE_PICTURES; i++ ) {
		RwTexture * const texture = mapoTexture[i];
		if ( texture == nullptr ) {
			continue;
		}
		// Two strips may name the same picture: it goes once.
		for ( u32 j = i; j < EF_SLIDE_PICTURES; j++ ) {
			if ( mapoTexture[j] == texture ) {
				mapoTexture[j] = nullptr;
			}
		}
		RwTextureDestroy( texture );
	}
}

void EFSlide::Render() {
	if ( gpoGraphicsMgr == nullptr ) {
		return;
	}
	void * const zWrite = EFGetState( RWDL_STATE_Z_WRITE );
	void * const zTest = EFGetState( RWDL_STATE_Z_TEST );
	RwRenderStateSet( RWDL_STATE_Z_WRITE, EFStateValue( 0 ) );
	RwRenderStateSet( RWDL_STATE_Z_TEST, EFStateValue( 0 ) );
	RwRenderStateSet( RWDL_STATE_TEXTURE_FILTER, EFStateValue( FILTER_NEAREST ) );
	RwRenderStateSet( RWDL_STATE_TEXTURE_ADDRESS, EFStateValue( ADDRESS_CLAMP ) );
	const f32 width = static_cast<f32>( gpoGraphicsMgr->GetScreenWidth() );
	const f32 height = static_cast<f32>( gpoGraphicsMgr->GetScreenHeight() );
	u32 left = 0;
	for ( u32 k = 0; k < EF_SLIDE_PICTURES; k++ ) {
		const u32 right = static_cast<u32>( 0.5f + static_cast<f32>( k + 1 ) * width / 5.0f );
		RwTexture * const texture = mapoTexture[k];
		RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, texture != nullptr ? texture->raster : nullptr );
		const f32 x0 = static_cast<f32>( left );
		const f32 x1 = static_cast<f32>( right );
		RwIm2DVertex strip[4] = {
			{ x0, 0.0f, SLIDE_DEPTH, 255, 255, 255, 255, 0.0f, 0.0f },
			{ x0, height, SLIDE_DEPTH, 255, 255, 255, 255, 0.0f, 1.0f },
			{ x1, 0.0f, SLIDE_DEPTH, 255, 255, 255, 255, 1.0f, 0.0f },
			{ x1, height, SLIDE_DEPTH, 255, 255, 255, 255, 1.0f, 1.0f },
		};
		RwIm2DRenderPrimitive( rwPRIMTYPETRISTRIP, strip, 4 );
		left = right;
	}
	RwRenderStateSet( RWDL_STATE_Z_WRITE, zWrite );
	RwRenderStateSet( RWDL_STATE_Z_TEST, zTest );
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, nullptr );
}
