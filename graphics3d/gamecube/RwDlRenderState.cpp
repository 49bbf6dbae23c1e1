// Render states of the console device driver, filtered through the state
// cache, and the fog and alpha-compare helpers the drawing code uses.

#include "graphics3d/gamecube/RwDlRenderState.h"

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRaster.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr u32 ADDRESS_BORDER		= 4;
constexpr u32 ADDRESS_U_SHIFT		= 8;
constexpr u32 ADDRESS_V_SHIFT		= 12;
constexpr u32 NIBBLE				= 0xF;
constexpr u32 FILTER_MASK			= 0xFF;
constexpr u32 SHADE_GOURAUD			= 2;
constexpr u32 FOG_LINEAR			= 1;
constexpr u32 WHITE_RASTER_FLAGS	= 0x204;		// texture, "565"
constexpr s32 WHITE_RASTER_SIDE		= 4;
constexpr s32 WHITE_RASTER_BYTES	= 32;
constexpr s32 LOCK_RAW_WRITE		= 0x9;
constexpr u32 CURRENT_TEXTURE_WORD	= 0x1102;		// linear, repeat in U and V
constexpr u32 COPY_CLEAR_Z			= 0xFFFFFF;
constexpr GXColor WHITE				= { 255, 255, 255, 255 };

// The planes fog uses until a camera gives its own.
constexpr f32 FOG_START		= 5.0f;
constexpr f32 FOG_END		= 10.0f;
constexpr f32 FOG_NEAR		= 0.05f;
constexpr f32 FOG_FAR		= 10.0f;

s32 Number( void* value ) {
	return static_cast<s32>( reinterpret_cast<intptr_t>( value ) );
}

void Put( void* out, const u32 value ) {
	*static_cast<s32*>( out ) = static_cast<s32>( value );
}

GXColor ColourOf( const u32 argb ) {
	return { static_cast<u8>( argb >> 16 ), static_cast<u8>( argb >> 8 ), static_cast<u8>( argb ),
			 static_cast<u8>( argb >> 24 ) };
}

void CacheDefaults() {
	RwDlStateCache& c = _RwDlStateCache;
	c = RwDlStateCache();
	c.zWrite = 1;
	c.zTest = 1;
	c.zCompare = GX_LEQUAL;
	c.cullMode = 2;
	c.fogOn = 0;
	c.fogType = FOG_LINEAR;
	c.fogColour = 0xFFFFFFFF;
	c.fogColourBytes = WHITE;
	c.fogEndFixed = 0;
	c.fogStart = FOG_START;
	c.fogEnd = FOG_END;
	c.fogNear = FOG_NEAR;
	c.fogFar = FOG_FAR;
	c.srcBlend = 5;
	c.dstBlend = 6;
	c.srcBlendGX = GX_BL_SRCALPHA;
	c.dstBlendGX = GX_BL_INVSRCALPHA;
	c.alphaMode = 1;
}

// Fog with the cached type and colour over the current camera's planes;
// without a camera the cached planes stand.
void SetFog() {
	RwDlStateCache& c = _RwDlStateCache;
	const RwCamera* const camera = dgGGlobals.curCamera;
	f32 start = c.fogStart;
	f32 end = c.fogEnd;
	f32 nearZ = c.fogNear;
	f32 farZ = c.fogFar;
	if ( camera != nullptr ) {
		start = camera->fogPlane;
		end = camera->farPlane;
		nearZ = camera->nearPlane;
		farZ = camera->farPlane;
	}
	GXSetFog( _RwDlFogConvTable[c.fogType & 3], start, end, nearZ, farZ, c.fogColourBytes );
}

bool SetAddress( const u32 value, const bool u, const bool v ) {
	if ( value == ADDRESS_BORDER || value > ADDRESS_BORDER || _RwDlTexture == nullptr ) {
		return false;
	}
	u32 word = _RwDlTexture->filterAddressing;
	if ( u ) {
		word = ( word & ~( NIBBLE << ADDRESS_U_SHIFT ) ) | value << ADDRESS_U_SHIFT;
	}
	if ( v ) {
		word = ( word & ~( NIBBLE << ADDRESS_V_SHIFT ) ) | value << ADDRESS_V_SHIFT;
	}
	_RwDlTexture->filterAddressing = word;
	return true;
}

bool SetZTest( const u32 on ) {
	RwDlStateCache& c = _RwDlStateCache;
	if ( c.zTest == on ) {
		return true;
	}
	c.zTest = on;
	c.zCompare = on ? GX_LEQUAL : GX_ALWAYS;
	GXSetZMode( GX_TRUE, c.zCompare, static_cast<GXBool>( c.zWrite ) );
	return true;
}

bool SetZWrite( const u32 on ) {
	RwDlStateCache& c = _RwDlStateCache;
	if ( c.zWrite == on ) {
		return true;
	}
	c.zWrite = on;
	GXSetZMode( GX_TRUE, c.zCompare, static_cast<GXBool>( on ) );
	return true;
}

bool SetBlend( const u32 value, const bool source ) {
	RwDlStateCache& c = _RwDlStateCache;
	const bool accepted = source ? ( value == 1 || value == 2 || ( value >= 5 && value <= 10 ) )
								 : ( value >= 1 && value <= 8 );
	if ( !accepted ) {
		return false;
	}
	if ( ( source ? c.srcBlend : c.dstBlend ) == value ) {
		return true;
	}
	if ( source ) {
		c.srcBlend = value;
		c.srcBlendGX = _RwDlBlendConvTable[value];
	} else {
		c.dstBlend = value;
		c.dstBlendGX = _RwDlBlendConvTable[value];
	}
	GXSetBlendMode( GX_BM_BLEND, c.srcBlendGX, c.dstBlendGX, GX_LO_CLEAR );
	return true;
}

bool SetFogColour( const u32 argb ) {
	RwDlStateCache& c = _RwDlStateCache;
	if ( c.fogColour == argb ) {
		return true;
	}
	c.fogColour = argb;
	c.fogColourBytes = ColourOf( argb );
	SetFog();
	return true;
}

bool SetFogType( const u32 type ) {
	RwDlStateCache& c = _RwDlStateCache;
	if ( type != FOG_LINEAR ) {
		return false;
	}
	if ( c.fogType == type ) {
		return true;
	}
	c.fogType = type;
	SetFog();
	return true;
}

bool SetCull( const u32 mode ) {
	RwDlStateCache& c = _RwDlStateCache;
	if ( mode < 1 || mode > 3 ) {
		return false;
	}
	if ( c.cullMode == mode ) {
		return true;
	}
	c.cullMode = mode;
	GXSetCullMode( mode - 1 );
	return true;
}

// The alpha compare and Z-compare place of an alpha mode; other modes
// change nothing.
void WriteAlphaCompare( const u32 mode ) {
	const RwDlStateCache& c = _RwDlStateCache;
	switch ( mode ) {
		case 1:
			GXSetAlphaCompare( GX_ALWAYS, c.alphaRef[0], GX_AOP_AND, GX_ALWAYS, c.alphaRef[1] );
			GXSetZCompLoc( GX_TRUE );
			break;
		case 2:
			GXSetAlphaCompare( GX_GREATER, c.alphaRef[0], GX_AOP_AND, GX_GREATER, c.alphaRef[1] );
			GXSetZCompLoc( GX_TRUE );
			break;
		case 3:
			// Alpha-tested texels must not write Z: compare after texturing.
			GXSetAlphaCompare( GX_GREATER, c.alphaRef[0], GX_AOP_AND, GX_GREATER, c.alphaRef[1] );
			GXSetZCompLoc( GX_FALSE );
			break;
		default:
			break;
	}
}

}	// namespace

RwDlStateCache		_RwDlStateCache;
RwTexture*			_RwDlTexture = nullptr;
RwRaster*			_RwDlRasterWhite = nullptr;
RwTexture*			_RwDlTextureCache[RWDL_TEXTURE_STAGES];

const u32 _RwDlBlendConvTable[12] = { 0, 0, 1, 2, 3, 4, 5, 6, 7, 2, 3, 0 };
const u32 _RwDlFogConvTable[4] = { GX_FOG_NONE, GX_FOG_PERSP_LIN, GX_FOG_PERSP_EXP, GX_FOG_PERSP_EXP2 };
const RwDlFilterPair _RwDlFilterModeConvTable[7] = {
	{ GX_NEAR, GX_NEAR }, { GX_NEAR, GX_NEAR }, { GX_LINEAR, GX_LINEAR }, { GX_NEAR_MIP_NEAR, GX_NEAR },
	{ GX_LIN_MIP_NEAR, GX_LINEAR }, { GX_NEAR_MIP_LIN, GX_NEAR }, { GX_LIN_MIP_LIN, GX_LINEAR },
};
const u32 _RwDlAddressConvTable[5] = { GX_CLAMP, GX_REPEAT, GX_MIRROR, GX_CLAMP, GX_CLAMP };

bool _rwDlSetRenderState( const RwRenderState state, void* value ) {
	const u32 number = static_cast<u32>( Number( value ) );
	switch ( state ) {
		case RWDL_STATE_TEXTURE_RASTER:
			if ( _RwDlTexture == nullptr ) {
				return false;
			}
			return _rwDlTextureSetRaster( _RwDlTexture, value, 0 );
		case RWDL_STATE_TEXTURE_ADDRESS:
			return SetAddress( number, true, true );
		case RWDL_STATE_TEXTURE_ADDRESS_U:
			return SetAddress( number, true, false );
		case RWDL_STATE_TEXTURE_ADDRESS_V:
			return SetAddress( number, false, true );
		case RWDL_STATE_PERSPECTIVE:
			return number != 0;
		case RWDL_STATE_Z_TEST:
			return SetZTest( number != 0 );
		case RWDL_STATE_SHADE_MODE:
			return number == SHADE_GOURAUD;
		case RWDL_STATE_Z_WRITE:
			return SetZWrite( number != 0 );
		case RWDL_STATE_TEXTURE_FILTER:
			if ( _RwDlTexture == nullptr ) {
				return false;
			}
			_RwDlTexture->filterAddressing = ( _RwDlTexture->filterAddressing & ~FILTER_MASK ) | ( number & FILTER_MASK );
			return true;
		case RWDL_STATE_SRC_BLEND:
			return SetBlend( number, true );
		case RWDL_STATE_DST_BLEND:
			return SetBlend( number, false );
		case RWDL_STATE_FOG:
			return _rwDlRenderStateFogEnable( number != 0 );
		case RWDL_STATE_FOG_COLOUR:
			return SetFogColour( number );
		case RWDL_STATE_FOG_TYPE:
			return SetFogType( number );
		case RWDL_STATE_CULL_MODE:
			return SetCull( number );
		default:
			return false;
	}
}

bool _rwDlGetRenderState( const RwRenderState state, void* value ) {
	const RwDlStateCache& c = _RwDlStateCache;
	const u32 word = _RwDlTexture != nullptr ? _RwDlTexture->filterAddressing : 0;
	const u32 u = ( word >> ADDRESS_U_SHIFT ) & NIBBLE;
	const u32 v = ( word >> ADDRESS_V_SHIFT ) & NIBBLE;
	switch ( state ) {
		case RWDL_STATE_TEXTURE_RASTER:
			*static_cast<RwRaster**>( value ) = _RwDlTexture != nullptr ? _RwDlTexture->raster : nullptr;
			return true;
		case RWDL_STATE_TEXTURE_ADDRESS:
			if ( u != v ) {
				return false;
			}
			Put( value, u );
			return true;
		case RWDL_STATE_TEXTURE_ADDRESS_U:		Put( value, u ); return true;
		case RWDL_STATE_TEXTURE_ADDRESS_V:		Put( value, v ); return true;
		case RWDL_STATE_PERSPECTIVE:			Put( value, 1 ); return true;
		case RWDL_STATE_Z_TEST:					Put( value, c.zTest ); return true;
		case RWDL_STATE_SHADE_MODE:				Put( value, SHADE_GOURAUD ); return true;
		case RWDL_STATE_Z_WRITE:				Put( value, c.zWrite ); return true;
		case RWDL_STATE_TEXTURE_FILTER:			Put( value, word & FILTER_MASK ); return true;
		case RWDL_STATE_SRC_BLEND:				Put( value, c.srcBlend ); return true;
		case RWDL_STATE_DST_BLEND:				Put( value, c.dstBlend ); return true;
		case RWDL_STATE_FOG:					Put( value, c.fogOn ); return true;
		case RWDL_STATE_FOG_COLOUR:				Put( value, c.fogColour ); return true;
		case RWDL_STATE_FOG_TYPE:				Put( value, c.fogType ); return true;
		case RWDL_STATE_CULL_MODE:				Put( value, c.cullMode ); return true;
		default:								return false;
	}
}

bool _rwDlRenderStateOpen() {
	CacheDefaults();
	GXSetZMode( GX_TRUE, GX_LEQUAL, GX_TRUE );
	GXSetZCompLoc( GX_TRUE );
	GXSetBlendMode( GX_BM_BLEND, GX_BL_SRCALPHA, GX_BL_INVSRCALPHA, GX_LO_CLEAR );
	GXSetCullMode( GX_CULL_FRONT );
	GXSetAlphaCompare( GX_ALWAYS, 0, GX_AOP_AND, GX_ALWAYS, 0 );
	for ( u32 channel = 0; channel < 4; channel++ ) {
		GXSetChanCtrl( channel, GX_FALSE, GX_SRC_REG, GX_SRC_REG, GX_LIGHT_NULL, GX_DF_NONE, GX_AF_NONE );
		GXSetChanMatColor( channel, WHITE );
	}
	GXSetColorUpdate( GX_TRUE );
	GXSetAlphaUpdate( GX_TRUE );
	GXSetCopyClear( WHITE, COPY_CLEAR_Z );
	GXSetCurrentMtx( GX_PNMTX0 );

	std::memset( _RwDlTextureCache, 0, sizeof( _RwDlTextureCache ) );
	_RwDlTexture = RwTextureCreate( nullptr );
	if ( _RwDlTexture != nullptr ) {
		_RwDlTexture->filterAddressing = CURRENT_TEXTURE_WORD;
	}
	_RwDlRasterWhite = RwRasterCreate( WHITE_RASTER_SIDE, WHITE_RASTER_SIDE, 16, WHITE_RASTER_FLAGS );
	if ( _RwDlRasterWhite != nullptr ) {
		u8* const texels = RwRasterLock( _RwDlRasterWhite, 0, LOCK_RAW_WRITE );
		if ( texels != nullptr ) {
			std::memset( texels, 0xFF, WHITE_RASTER_BYTES );
		}
		RwRasterUnlock( _RwDlRasterWhite );
	}
	return _RwDlTexture != nullptr && _RwDlRasterWhite != nullptr;
}

bool _rwDlRenderStateClose() {
	if ( _RwDlRasterWhite != nullptr ) {
		RwRasterDestroy( _RwDlRasterWhite );
		_RwDlRasterWhite = nullptr;
	}
	if ( _RwDlTexture != nullptr ) {
		_rwDlTextureSetRaster( _RwDlTexture, nullptr, 0 );
		RwTextureDestroy( _RwDlTexture );
		_RwDlTexture = nullptr;
	}
	std::memset( _RwDlTextureCache, 0, sizeof( _RwDlTextureCache ) );
	return true;
}

bool _rwDlRenderStateFogEnable( const bool on ) {
	RwDlStateCache& c = _RwDlStateCache;
	if ( !on ) {
		if ( c.fogOn ) {
			GXSetFog( GX_FOG_NONE, FOG_START, FOG_END, FOG_NEAR, FOG_FAR, c.fogColourBytes );
			c.fogOn = 0;
		}
		return true;
	}
	if ( c.fogOn ) {
		return true;
	}
	const RwCamera* const camera = dgGGlobals.curCamera;
	if ( camera != nullptr ) {
		if ( !c.fogEndFixed ) {
			c.fogEnd = camera->farPlane;
		}
		c.fogStart = camera->fogPlane;
		c.fogNear = camera->nearPlane;
		c.fogFar = camera->farPlane;
	}
	GXSetFog( _RwDlFogConvTable[c.fogType & 3], c.fogStart, c.fogEnd, c.fogNear, c.fogFar, c.fogColourBytes );
	c.fogOn = 1;
	return true;
}

void _rwDlRenderStateSetAlphaComp( const u32 mode ) {
	RwDlStateCache& c = _RwDlStateCache;
	if ( mode == c.alphaMode ) {
		return;
	}
	WriteAlphaCompare( mode );
	c.alphaMode = mode;
}

void RwGameCubeRenderStateRestore() {
	const RwDlStateCache& c = _RwDlStateCache;
	GXSetZMode( GX_TRUE, c.zCompare, static_cast<GXBool>( c.zWrite ) );
	GXSetBlendMode( GX_BM_BLEND, c.srcBlendGX, c.dstBlendGX, GX_LO_CLEAR );
	GXSetCullMode( c.cullMode - 1 );
	WriteAlphaCompare( c.alphaMode );
	if ( c.fogOn ) {
		GXSetFog( _RwDlFogConvTable[c.fogType & 3], c.fogStart, c.fogEnd, c.fogNear, c.fogFar, c.fogColourBytes );
	} else {
		GXSetFog( GX_FOG_NONE, FOG_START, FOG_END, FOG_NEAR, FOG_FAR, c.fogColourBytes );
	}
	std::memset( _RwDlTextureCache, 0, sizeof( _RwDlTextureCache ) );
}

void _rwDlRenderStateForgetRaster( const RwRaster* raster ) {
	if ( _RwDlTexture != nullptr && raster != nullptr && _RwDlTexture->raster == raster ) {
		_rwDlTextureSetRaster( _RwDlTexture, nullptr, 0 );
	}
}
