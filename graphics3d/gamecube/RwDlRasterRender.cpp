// Raster quads of the console device driver: rasters rendered onto the
// camera raster, the Z/colour clear quad and raster clears.

#include "graphics3d/gamecube/RwDlIm2D.h"

#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr s32 CLEAR_COLOUR		= 0x1;
constexpr s32 CLEAR_Z			= 0x2;
constexpr u32 TEXTURE_FRAME_W	= 640;
constexpr u32 TEXTURE_FRAME_H	= 528;
constexpr s32 LOCK_READ_WRITE	= 0x3;
constexpr s32 LOCK_RAW_WRITE	= 0x9;
constexpr u32 FILTER_NEAREST	= 1;
constexpr u32 FILTER_LINEAR		= 2;
constexpr u32 ADDRESS_CLAMP		= 3;

void* Value( const u32 v ) {
	return reinterpret_cast<void*>( static_cast<uintptr_t>( v ) );
}

u32 GetState( const s32 state ) {
	s32 value = 0;
	_rwDlGetRenderState( state, &value );
	return static_cast<u32>( value );
}

bool IsTextureType( const u8 type ) {
	return type == rwRASTERTYPENORMAL || type == rwRASTERTYPETEXTURE || type == rwRASTERTYPECAMERATEXTURE;
}

// The GX state the cache says should be in force.
void RestoreFromCache() {
	const RwDlStateCache& c = _RwDlStateCache;
	GXSetZMode( GX_TRUE, c.zCompare, static_cast<GXBool>( c.zWrite ) );
	GXSetBlendMode( GX_BM_BLEND, c.srcBlendGX, c.dstBlendGX, GX_LO_CLEAR );
	GXSetCullMode( c.cullMode - 1 );
	GXSetColorUpdate( GX_TRUE );
}

// Clears the rectangle of a linear level of the given depth.
bool FillLinear( u8* pixels, const s32 stride, const s32 depth, const RwRect& r, const u32 value ) {
	for ( s32 y = r.y; y < r.y + r.h; y++ ) {
		u8* const row = pixels + y * stride;
		switch ( depth ) {
			case 4:
				std::memset( row + r.x / 2, static_cast<u8>( ( value & 0xF ) << 4 | ( value & 0xF ) ), static_cast<size_t>( r.w / 2 ) );
				break;
			case 8:
				std::memset( row + r.x, static_cast<u8>( value ), static_cast<size_t>( r.w ) );
				break;
			case 16:
				for ( s32 x = r.x; x < r.x + r.w; x++ ) {
					const u16 v = static_cast<u16>( value );
					std::memcpy( row + x * 2, &v, 2 );
				}
				break;
			case 32:
				for ( s32 x = r.x; x < r.x + r.w; x++ ) {
					std::memcpy( row + x * 4, &value, 4 );
				}
				break;
			default:
				_rwDlSetError( RWDL_ERR_BAD_DEPTH );
				return false;
		}
	}
	return true;
}

// The rectangle cut to the raster.
RwRect Clip( const RwRect& r, const s32 width, const s32 height ) {
	RwRect c = r;
	if ( c.x < 0 ) { c.w += c.x; c.x = 0; }
	if ( c.y < 0 ) { c.h += c.y; c.y = 0; }
	if ( c.x + c.w > width ) { c.w = width - c.x; }
	if ( c.y + c.h > height ) { c.h = height - c.y; }
	if ( c.w < 0 ) { c.w = 0; }
	if ( c.h < 0 ) { c.h = 0; }
	return c;
}

bool ClearTexels( RwRaster* target, const RwRect& rect, const u32 pixel ) {
	const bool whole = target->parent == target && rect.x == 0 && rect.y == 0 && rect.w == target->width &&
					   rect.h == target->height;
	if ( whole && ( pixel == 0 || pixel == 0xFFFFFFFF ) && ( target->privateFlags & rwRASTERPIXELLOCKEDWRITE ) == 0 ) {
		// Uniform bytes look the same tiled or not.
		u8* texels = nullptr;
		if ( !_rwDlRasterLock( &texels, target, LOCK_RAW_WRITE ) ) {
			return false;
		}
		std::memset( texels, static_cast<u8>( pixel ), DlRasterGetMipLevelSize( target, 0 ) );
		_rwDlRasterUnlock( nullptr, target, 0 );
		return true;
	}
	const bool held = ( target->privateFlags & rwRASTERPIXELLOCKEDWRITE ) != 0;
	u8* pixels = target->cpPixels;
	if ( !held && !_rwDlRasterLock( &pixels, target, LOCK_READ_WRITE ) ) {
		return false;
	}
	const bool filled = FillLinear( pixels, target->stride, target->depth, Clip( rect, target->width, target->height ), pixel );
	if ( !held ) {
		_rwDlRasterUnlock( nullptr, target, 0 );
	}
	return filled;
}

}	// namespace

RwRaster* _RwDlRasterTarget = nullptr;

bool _rwDlRasterCamera_ZClearRect( RwRaster* raster, const RwRect* rect, const RwRGBA* colour, const s32 flags ) {
	if ( ( flags & ( CLEAR_COLOUR | CLEAR_Z ) ) == 0 || raster == nullptr || rect == nullptr ) {
		return true;
	}
	const bool clearColour = ( flags & CLEAR_COLOUR ) != 0;
	const GXBool writeZ = ( !clearColour || ( flags & CLEAR_Z ) ) ? GX_TRUE : GX_FALSE;
	const GXColor c = clearColour && colour != nullptr ? GXColor{ colour->red, colour->green, colour->blue, colour->alpha }
													   : GXColor{ 0, 0, 0, 0 };
	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, GX_DIRECT );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_POS, GX_POS_XYZ, GX_F32, 0 );
	GXSetNumTexGens( 0 );
	GXSetNumTevStages( 1 );
	GXSetTevOp( GX_TEVSTAGE0, GX_PASSCLR );
	GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD_NULL, GX_TEXMAP_NULL, GX_COLOR0A0 );
	GXSetNumChans( 1 );
	GXSetChanCtrl( GX_COLOR0A0, GX_FALSE, GX_SRC_REG, GX_SRC_REG, GX_LIGHT_NULL, GX_DF_NONE, GX_AF_NONE );
	f32 saved[7];
	GXGetProjectionv( saved );
	if ( raster->cType == rwRASTERTYPECAMERA || raster->cType == rwRASTERTYPEZBUFFER ) {
		if ( _RwDlCurPixelFormat != _RwDlPixelFormat ) {
			GXSetPixelFmt( _RwDlPixelFormat, GX_ZC_LINEAR );
			_RwDlCurPixelFormat = _RwDlPixelFormat;
		}
		_rwDlSetFrameViewport();
		_rwDlSetScreenProjection( _RwDlRenderMode->fbWidth, _RwDlRenderMode->xfbHeight );
	} else {
		const u32 format = ( _rwDlRasterExt( raster )->flags & RWDL_RASTER_HAS_ALPHA ) ? GX_PF_RGBA6_Z24 : GX_PF_RGB8_Z24;
		if ( _RwDlCurPixelFormat != format ) {
			GXSetPixelFmt( format, GX_ZC_LINEAR );
			_RwDlCurPixelFormat = format;
		}
		GXSetViewport( 0.0f, 0.0f, TEXTURE_FRAME_W, TEXTURE_FRAME_H, 0.0f, 1.0f );
		GXSetScissor( 0, 0, TEXTURE_FRAME_W, TEXTURE_FRAME_H );
		_rwDlSetScreenProjection( TEXTURE_FRAME_W, TEXTURE_FRAME_H );
	}
	GXSetZMode( GX_TRUE, GX_ALWAYS, writeZ );
	GXSetChanMatColor( GX_COLOR0A0, c );
	GXSetBlendMode( GX_BM_BLEND, GX_BL_ONE, GX_BL_ZERO, GX_LO_CLEAR );
	GXSetCullMode( GX_CULL_NONE );
	_rwDlRenderStateSetAlphaComp( 1 );
	GXSetZCompLoc( GX_TRUE );
	if ( !clearColour ) {
		GXSetColorUpdate( GX_FALSE );
	}
	const bool fog = _RwDlStateCache.fogOn != 0;
	if ( fog ) {
		_rwDlRenderStateFogEnable( false );
	}
	const f32 z = rwDlDriverDevice.zBufferFar;
	const f32 x0 = static_cast<f32>( rect->x );
	const f32 y0 = static_cast<f32>( rect->y );
	const f32 x1 = static_cast<f32>( rect->x + rect->w );
	const f32 y1 = static_cast<f32>( rect->y + rect->h );
	GXBegin( GX_QUADS, GX_VTXFMT0, 4 );
	GXPosition3f32( x0, y0, z );
	GXPosition3f32( x1, y0, z );
	GXPosition3f32( x1, y1, z );
	GXPosition3f32( x0, y1, z );
	GXEnd();
	if ( fog ) {
		_rwDlRenderStateFogEnable( true );
	}
	RestoreFromCache();
	GXSetProjectionv( saved );
	return true;
}

bool _rwDlRasterRenderGeneric( RwRaster* source, const RwRect* rect, const bool scaled, const bool blended ) {
	RwRaster* const target = _RwDlRasterTarget;
	if ( source == nullptr || rect == nullptr ) {
		return false;
	}
	if ( source->cType == 3 || source->cType > rwRASTERTYPECAMERATEXTURE ) {
		return true;
	}
	if ( target == nullptr || target->cType != rwRASTERTYPECAMERA || !IsTextureType( source->cType ) ) {
		_rwDlSetMessage( "SRC, DST Raster render combination not supported" );
		return false;
	}
	const RwRect r = scaled ? *rect : RwRect{ rect->x, rect->y, source->width, source->height };

	const u32 fog = GetState( RWDL_STATE_FOG );
	const u32 filter = GetState( RWDL_STATE_TEXTURE_FILTER );
	const u32 addressU = GetState( RWDL_STATE_TEXTURE_ADDRESS_U );
	const u32 addressV = GetState( RWDL_STATE_TEXTURE_ADDRESS_V );
	const u32 cull = GetState( RWDL_STATE_CULL_MODE );
	const u32 srcBlend = GetState( RWDL_STATE_SRC_BLEND );
	const u32 dstBlend = GetState( RWDL_STATE_DST_BLEND );
	RwRaster* raster = nullptr;
	_rwDlGetRenderState( RWDL_STATE_TEXTURE_RASTER, &raster );

	_rwDlSetRenderState( RWDL_STATE_CULL_MODE, Value( 1 ) );
	_rwDlRenderStateSetAlphaComp( 1 );
	_rwDlSetRenderState( RWDL_STATE_SRC_BLEND, Value( blended ? 5 : 2 ) );
	_rwDlSetRenderState( RWDL_STATE_DST_BLEND, Value( blended ? 6 : 1 ) );
	_rwDlSetRenderState( RWDL_STATE_FOG, Value( 0 ) );
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_FILTER, Value( scaled ? FILTER_LINEAR : FILTER_NEAREST ) );
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_ADDRESS, Value( ADDRESS_CLAMP ) );
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_RASTER, source );
	_rwDlTextureRasterFlush();

	GXClearVtxDesc();
	GXSetVtxDesc( GX_VA_POS, GX_DIRECT );
	GXSetVtxDesc( GX_VA_TEX0, GX_DIRECT );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_POS, GX_POS_XY, GX_S16, 0 );
	GXSetVtxAttrFmt( GX_VTXFMT0, GX_VA_TEX0, GX_TEX_ST, GX_F32, 0 );
	GXSetNumChans( 0 );
	GXSetNumTexGens( 1 );
	GXSetTexCoordGen2( GX_TEXCOORD0, GX_TG_MTX2x4, GX_TG_TEX0, GX_IDENTITY, GX_FALSE, GX_PTIDENTITY );
	GXSetNumTevStages( 1 );
	GXSetTevOp( GX_TEVSTAGE0, GX_REPLACE );
	GXSetTevOrder( GX_TEVSTAGE0, GX_TEXCOORD0, GX_TEXMAP0, GX_COLOR_NULL );
	_rwDlSetTargetViewport( target );
	const f32 width = static_cast<f32>( _RwDlRenderMode->fbWidth );
	const f32 height = static_cast<f32>( _RwDlRenderMode->xfbHeight );
	const f32 projection[7] = { 1.0f, 2.0f / ( width - 1.0f ), -1.0f, -2.0f / ( height - 1.0f ), 1.0f, -1.0f, -1.0f };
	GXSetProjectionv( projection );
	const Mtx flipZ = { { 1, 0, 0, 0 }, { 0, 1, 0, 0 }, { 0, 0, -1, 0 } };
	GXLoadPosMtxImm( flipZ, GX_PNMTX0 );
	GXSetCurrentMtx( GX_PNMTX0 );

	// Texture coordinates cover the source within its parent.
	const RwRaster* const parent = source->parent != nullptr ? source->parent : source;
	const f32 pw = static_cast<f32>( parent->width > 0 ? parent->width : 1 );
	const f32 ph = static_cast<f32>( parent->height > 0 ? parent->height : 1 );
	const f32 u0 = source->nOffsetX / pw;
	const f32 v0 = source->nOffsetY / ph;
	const f32 u1 = ( source->nOffsetX + source->width ) / pw;
	const f32 v1 = ( source->nOffsetY + source->height ) / ph;
	const s16 x0 = static_cast<s16>( r.x );
	const s16 y0 = static_cast<s16>( r.y );
	const s16 x1 = static_cast<s16>( r.x + r.w );
	const s16 y1 = static_cast<s16>( r.y + r.h );
	GXBegin( GX_QUADS, GX_VTXFMT0, 4 );
	GXPosition2s16( x0, y0 );
	GXTexCoord2f32( u0, v0 );
	GXPosition2s16( x1, y0 );
	GXTexCoord2f32( u1, v0 );
	GXPosition2s16( x1, y1 );
	GXTexCoord2f32( u1, v1 );
	GXPosition2s16( x0, y1 );
	GXTexCoord2f32( u0, v1 );
	GXEnd();

	_rwDlSetRenderState( RWDL_STATE_SRC_BLEND, Value( srcBlend ) );
	_rwDlSetRenderState( RWDL_STATE_DST_BLEND, Value( dstBlend ) );
	GXSetBlendMode( GX_BM_BLEND, _RwDlStateCache.srcBlendGX, _RwDlStateCache.dstBlendGX, GX_LO_CLEAR );
	_rwDlSetRenderState( RWDL_STATE_CULL_MODE, Value( cull ) );
	_rwDlSetRenderState( RWDL_STATE_FOG, Value( fog ) );
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_FILTER, Value( filter ) );
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_ADDRESS_U, Value( addressU ) );
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_ADDRESS_V, Value( addressV ) );
	_rwDlSetRenderState( RWDL_STATE_TEXTURE_RASTER, raster );
	return true;
}

bool _rwDlRasterClearGeneric( RwRaster* target, const RwRect* rect, const u32 pixel ) {
	if ( target == nullptr || rect == nullptr ) {
		return false;
	}
	RwRect moved = { rect->x + target->nOffsetX, rect->y + target->nOffsetY, rect->w, rect->h };
	switch ( target->cType ) {
		case rwRASTERTYPECAMERA: {
			RwRGBA colour = {};
			u32 value = pixel;
			_rwDlPixelToRGB( &colour, &value, static_cast<s32>( static_cast<u32>( target->cFormat ) << 8 ) );
			return _rwDlRasterCamera_ZClearRect( target, &moved, &colour, CLEAR_COLOUR );
		}
		case rwRASTERTYPEZBUFFER:
			return _rwDlRasterCamera_ZClearRect( target, &moved, nullptr, CLEAR_Z );
		case rwRASTERTYPENORMAL:
		case rwRASTERTYPETEXTURE:
		case rwRASTERTYPECAMERATEXTURE:
			return ClearTexels( target, *rect, pixel );
		default:
			_rwDlSetError( RWDL_ERR_BAD_FORMAT );
			return false;
	}
}

bool _rwDlSetRasterContext( void*, void* inOut, s32 ) {
	_RwDlRasterTarget = static_cast<RwRaster*>( inOut );
	return true;
}

bool _rwDlRasterClearRect( void*, void* inOut, const s32 inInt ) {
	return _rwDlRasterClearGeneric( _RwDlRasterTarget, static_cast<const RwRect*>( inOut ), static_cast<u32>( inInt ) );
}

bool _rwDlRasterClear( void*, void*, const s32 inInt ) {
	RwRaster* const target = _RwDlRasterTarget;
	if ( target == nullptr ) {
		return false;
	}
	const RwRect whole = { 0, 0, target->width, target->height };
	return _rwDlRasterClearGeneric( target, &whole, static_cast<u32>( inInt ) );
}

bool _rwDlRasterRender( void* out, void* inOut, s32 ) {
	return _rwDlRasterRenderGeneric( static_cast<RwRaster*>( out ), static_cast<const RwRect*>( inOut ), false, true );
}

bool _rwDlRasterRenderScaled( void* out, void* inOut, s32 ) {
	return _rwDlRasterRenderGeneric( static_cast<RwRaster*>( out ), static_cast<const RwRect*>( inOut ), true, true );
}

bool _rwDlRasterRenderFast( void* out, void* inOut, s32 ) {
	return _rwDlRasterRenderGeneric( static_cast<RwRaster*>( out ), static_cast<const RwRect*>( inOut ), false, false );
}
