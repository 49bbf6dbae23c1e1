// Texture objects and texture stages of the console device driver.

#include "graphics3d/gamecube/RwDlRenderState.h"

#include "graphics3d/core/RwRaster.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRaster.h"

namespace {

constexpr u32 WORD_MASK			= 0xFFFF;
constexpr u32 FILTER_MASK		= 0xFF;
constexpr u32 ADDRESS_U_SHIFT	= 8;
constexpr u32 ADDRESS_V_SHIFT	= 12;
constexpr u32 NIBBLE			= 0xF;
// Palettised textures cannot filter between mip levels linearly: the
// two mip-linear modes take the linear-mip-near pair.
constexpr u32 FILTER_LINEAR_MIP_NEAR	= 4;
constexpr u32 FILTER_NEAR_MIP_LINEAR	= 5;
constexpr u32 FILTER_LINEAR_MIP_LINEAR	= 6;

bool IsPalettised( const RwRaster* raster ) {
	return ( static_cast<u32>( raster->cFormat ) << 8 ) & ( rwRASTERFORMATPAL4 | rwRASTERFORMATPAL8 );
}

u32 Address( const u32 mode ) {
	return _RwDlAddressConvTable[mode < 5 ? mode : 0];
}

s32 Levels( const RwRaster* raster ) {
	s32 levels = 1;
	_rwDlRasterGetNumMipLevels( &levels, const_cast<RwRaster*>( raster ), 0 );
	return levels;
}

}	// namespace

void _rwGameCubeTextureSetLOD( RwTexture* texture, const GXBool biasClamp, const GXBool edgeLod, const u32 maxAniso,
							   const u32 tlut, const f32 lodBias ) {
	RwRaster* const raster = texture->raster;
	if ( raster == nullptr ) {
		return;
	}
	const RwRaster* const parent = raster->parent != nullptr ? raster->parent : raster;
	const RwDlRasterExt* const rext = _rwDlRasterExt( raster );
	RwDlTextureExt* const ext = _rwDlTextureExt( texture );
	const u32 word = texture->filterAddressing & WORD_MASK;
	u32 filter = word & FILTER_MASK;
	filter = filter < 7 ? filter : 0;
	const u32 wrapS = Address( ( word >> ADDRESS_U_SHIFT ) & NIBBLE );
	const u32 wrapT = Address( ( word >> ADDRESS_V_SHIFT ) & NIBBLE );
	const GXBool mipmap = ( ( static_cast<u32>( raster->cFormat ) << 8 ) & rwRASTERFORMATMIPMAP ) ? GX_TRUE : GX_FALSE;
	const u16 width = static_cast<u16>( parent->width );
	const u16 height = static_cast<u16>( parent->height );
	if ( IsPalettised( raster ) ) {
		if ( filter == FILTER_NEAR_MIP_LINEAR || filter == FILTER_LINEAR_MIP_LINEAR ) {
			filter = FILTER_LINEAR_MIP_NEAR;
		}
		const u32 name = ( ext->state & RWDL_TEXTURE_PRELOADED ) ? GXGetTexObjTlut( &ext->textureObject ) : tlut;
		GXInitTexObjCI( &ext->textureObject, rext->texels, width, height, rext->gxFormat, wrapS, wrapT, mipmap, name );
	} else {
		GXInitTexObj( &ext->textureObject, rext->texels, width, height, rext->gxFormat, wrapS, wrapT, mipmap );
	}
	const RwDlFilterPair pair = _RwDlFilterModeConvTable[filter];
	GXInitTexObjLOD( &ext->textureObject, pair.minFilter, pair.magFilter, 0.0f,
					 static_cast<f32>( Levels( raster ) - 1 ), lodBias, biasClamp, edgeLod, maxAniso );
	ext->state = ( ext->state & ~( WORD_MASK | RWDL_TEXTURE_LOD_NOT_SET ) ) | word;
}

void RwGameCubeTextureSetLOD( RwTexture* texture, const GXBool biasClamp, const GXBool edgeLod, const u32 maxAniso,
							  const f32 lodBias ) {
	_rwGameCubeTextureSetLOD( texture, biasClamp, edgeLod, maxAniso, 0, lodBias );
}

// Rebuilds the object with the LOD values it already has.
static void Rebuild( RwTexture* texture, const u32 tlut ) {
	const GXTexObj& object = _rwDlTextureExt( texture )->textureObject;
	_rwGameCubeTextureSetLOD( texture, GXGetTexObjBiasClamp( &object ), GXGetTexObjEdgeLOD( &object ),
							  GXGetTexObjMaxAniso( &object ), tlut, GXGetTexObjLODBias( &object ) );
}

void _rwDlTextureSet( RwTexture* texture, const u32 stage ) {
	if ( texture == nullptr ) {
		texture = _RwDlTexture;
		if ( texture == nullptr ) {
			return;
		}
		_rwDlTextureSetRaster( texture, _RwDlRasterWhite, 0 );
	}
	RwRaster* const raster = texture->raster;
	if ( raster == nullptr || stage >= RWDL_TEXTURE_STAGES ) {
		return;
	}
	RwDlRasterExt* const rext = _rwDlRasterExt( raster );
	RwDlTextureExt* const ext = _rwDlTextureExt( texture );
	rext->token = _RwDlTokenCurrent;
	const bool preloaded = ( ext->state & RWDL_TEXTURE_PRELOADED ) != 0;
	const bool lodNotSet = ( ext->state & RWDL_TEXTURE_LOD_NOT_SET ) != 0;
	const bool wordUnchanged = ( ext->state & WORD_MASK ) == ( texture->filterAddressing & WORD_MASK );
	const bool onStage = _RwDlTextureCache[stage] == texture;
	if ( IsPalettised( raster ) ) {
		if ( lodNotSet ) {
			_rwGameCubeTextureSetLOD( texture, GX_TRUE, GX_TRUE, GX_ANISO_1, stage, 0.0f );
		} else if ( wordUnchanged ) {
			if ( onStage ) {
				return;
			}
			if ( !preloaded && GXGetTexObjTlut( &ext->textureObject ) != stage ) {
				Rebuild( texture, stage );
			}
		} else {
			Rebuild( texture, stage );
		}
		if ( !preloaded ) {
			GXLoadTlut( &rext->tlut, stage );
		}
	} else if ( lodNotSet ) {
		_rwGameCubeTextureSetLOD( texture, GX_TRUE, GX_TRUE, GX_ANISO_1, 0, 0.0f );
	} else if ( !wordUnchanged ) {
		Rebuild( texture, 0 );
	} else if ( onStage ) {
		return;
	}
	if ( preloaded ) {
		GXLoadTexObjPreLoaded( &ext->textureObject, rext->texCacheRegion, stage );
	} else {
		GXLoadTexObj( &ext->textureObject, stage );
	}
	_RwDlTextureCache[stage] = texture;
}

void _rwDlTextureRasterFlush() {
	if ( _RwDlTexture == nullptr || _RwDlTexture->raster == nullptr ) {
		_rwDlRenderStateSetAlphaComp( 1 );
		return;
	}
	_rwDlTextureSet( _RwDlTexture, 0 );
	const bool alpha = _rwDlRasterExt( _RwDlTexture->raster )->flags & RWDL_RASTER_HAS_ALPHA;
	_rwDlRenderStateSetAlphaComp( alpha ? 3 : 1 );
}

void* _rwDlTextureDest( void* object, s32, s32 ) {
	for ( RwTexture*& entry : _RwDlTextureCache ) {
		if ( entry == object ) {
			entry = nullptr;
		}
	}
	return object;
}
