// Raster standards of the console device driver: the extension, the
// choice of GX format, texel memory in the tiled layout, locks, palette
// locks, destruction, sub-rasters and the texture extension.

#include "graphics3d/gamecube/RwDlRaster.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstring>

namespace {

constexpr u32 ALIGNMENT				= 32;
constexpr u32 LOCK_WRITE			= 0x1;
constexpr u32 LOCK_READ				= 0x2;
constexpr u32 LOCK_RAW				= 0x8;
constexpr u32 LOCK_LEVEL_SHIFT		= 8;
constexpr u8  LOCKED_PIXELS			= rwRASTERPIXELLOCKEDREAD | rwRASTERPIXELLOCKEDWRITE;
constexpr u8  CLEARED_ON_UNLOCK		= LOCKED_PIXELS | RWDL_RASTER_LOCKED_RAW;
constexpr u8  LOCKED_PALETTE		= rwRASTERPALETTELOCKEDREAD | rwRASTERPALETTELOCKEDWRITE;
constexpr u32 TLUT_NONE				= 255;

u32 Round( const u32 value, const u32 multiple ) {
	return ( value + multiple - 1 ) / multiple * multiple;
}

u32 Max1( const s32 value ) {
	return value > 0 ? static_cast<u32>( value ) : 1;
}

bool IsSubRaster( const RwRaster* raster ) {
	return raster->parent != nullptr && raster->parent != raster;
}

bool IsTextureType( const u8 type ) {
	return type == rwRASTERTYPENORMAL || type == rwRASTERTYPETEXTURE || type == rwRASTERTYPECAMERATEXTURE;
}

bool IsPalettised( const RwRaster* raster ) {
	return ( raster->cFormat << 8 ) & ( rwRASTERFORMATPAL4 | rwRASTERFORMATPAL8 );
}

// Bytes of one level of a w x h raster in the tiled layout; 0 for an
// unknown depth.
u32 LevelBytes( const u32 w, const u32 h, const s32 depth ) {
	u32 bytes = 0;
	switch ( depth ) {
		case 4:		bytes = Round( w, 8 ) * Round( h, 8 ) / 2; break;
		case 8:		bytes = Round( w, 8 ) * Round( h, 4 ); break;
		case 16:	bytes = Round( w, 4 ) * Round( h, 4 ) * 2; break;
		case 32:	bytes = Round( w, 4 ) * Round( h, 4 ) * 4; break;
		default:	return 0;
	}
	return Round( bytes, ALIGNMENT );
}

u32 StrideOf( const u32 w, const s32 depth ) {
	switch ( depth ) {
		case 4:		return Round( w, 8 ) / 2;
		case 8:		return Round( w, 8 );
		case 16:	return ( ( w + 3 ) * 2 ) & ~7u;
		case 32:	return ( ( w + 3 ) * 4 ) & ~15u;
		default:	return 0;
	}
}

s32 NumLevels( const RwRaster* raster ) {
	const RwDlRasterExt* const ext = _rwDlRasterExt( raster );
	if ( ext->mipLevels < RWDL_NOT_SET ) {
		return ext->mipLevels + 1;
	}
	if ( ( raster->cFormat << 8 ) & rwRASTERFORMATMIPMAP ) {
		const s32 side = raster->width > raster->height ? raster->width : raster->height;
		return _rwDlFindMSB( static_cast<u32>( side > 0 ? side : 0 ) ) + 1;
	}
	return 1;
}

// Byte offset of a level from the texel base of a raster of size w x h.
u32 LevelOffset( const u32 w, const u32 h, const s32 depth, const s32 level ) {
	u32 offset = 0;
	for ( s32 i = 0; i < level; i++ ) {
		offset += LevelBytes( Max1( static_cast<s32>( w >> i ) ), Max1( static_cast<s32>( h >> i ) ), depth );
	}
	return offset;
}

struct FormatChoice {
	u32		gxFormat;
	u32		tlutFormat;
	s32		depth;
	u32		alpha;
	u32		addedFormat;
};

// A palettised choice of the colour-indexed formats, else the direct one.
FormatChoice ByPalette( const u32 flags, const u32 direct, const u32 tlut, const u32 alpha ) {
	if ( flags & rwRASTERFORMATPAL4 ) {
		return { GX_TF_C4, tlut, 4, alpha, 0 };
	}
	if ( flags & rwRASTERFORMATPAL8 ) {
		return { GX_TF_C8, tlut, 8, alpha, 0 };
	}
	return { direct, tlut, 16, alpha, 0 };
}

bool ChooseTextureFormat( const RwRaster* raster, const u32 flags, FormatChoice* choice ) {
	const bool palette = ( flags & ( rwRASTERFORMATPAL4 | rwRASTERFORMATPAL8 ) ) != 0;
	const u32 pixelFormat = flags & rwRASTERFORMATPIXELFORMATMASK;
	if ( raster->cType == rwRASTERTYPECAMERATEXTURE && palette ) {
		_rwDlSetMessage( "rwRASTERTYPECAMERATEXTURE can not be palletized" );
		return false;
	}
	switch ( pixelFormat ) {
		case RWDL_FORMAT_DEFAULT:
			switch ( raster->depth ) {
				case 0:
					if ( raster->cType == rwRASTERTYPECAMERATEXTURE ) {
						*choice = { GX_TF_RGB565, TLUT_NONE, 16, 0, RWDL_FORMAT_565 };
					} else {
						*choice = ByPalette( flags, GX_TF_RGB5A3, GX_TL_RGB5A3, 1 );
						choice->addedFormat = RWDL_FORMAT_1555;
					}
					return true;
				case 4:
					*choice = ( flags & rwRASTERFORMATPAL4 ) ? FormatChoice{ GX_TF_C4, GX_TL_RGB5A3, 4, 1, RWDL_FORMAT_1555 }
															 : FormatChoice{ GX_TF_I4, TLUT_NONE, 4, 0, 0 };
					return true;
				case 8:
					*choice = ( flags & rwRASTERFORMATPAL8 ) ? FormatChoice{ GX_TF_C8, GX_TL_RGB5A3, 8, 1, RWDL_FORMAT_1555 }
															 : FormatChoice{ GX_TF_I8, TLUT_NONE, 8, 0, 0 };
					return true;
				case 16:
					*choice = { GX_TF_RGB5A3, TLUT_NONE, 16, 1, RWDL_FORMAT_1555 };
					return true;
				case 32:
					*choice = { GX_TF_RGBA8, TLUT_NONE, 32, 1, RWDL_FORMAT_8888 };
					return true;
				default:
					_rwDlSetError( RWDL_ERR_BAD_DEPTH );
					return false;
			}
		case RWDL_FORMAT_1555:
		case RWDL_FORMAT_4444:
			*choice = ByPalette( flags, GX_TF_RGB5A3, GX_TL_RGB5A3, 1 );
			return true;
		case RWDL_FORMAT_565:
			*choice = ByPalette( flags, GX_TF_RGB565, GX_TL_RGB565, 0 );
			return true;
		case RWDL_FORMAT_555:
			*choice = ByPalette( flags, GX_TF_RGB5A3, GX_TL_RGB5A3, 0 );
			return true;
		case RWDL_FORMAT_8888:
			if ( palette ) {
				_rwDlSetMessage( "rwRASTERFORMAT8888 invalid format" );
				return false;
			}
			*choice = { GX_TF_RGBA8, TLUT_NONE, 32, 1, 0 };
			return true;
		case RWDL_FORMAT_888:
			if ( palette ) {
				_rwDlSetMessage( "rwRASTERFORMAT888 invalid format" );
				return false;
			}
			*choice = { GX_TF_RGBA8, TLUT_NONE, 32, 0, 0 };
			return true;
		case RWDL_FORMAT_LUM8:
			_rwDlSetMessage( "rwRASTERFORMATLUM8 invalid format" );
			return false;
		case RWDL_FORMAT_16:
			_rwDlSetMessage( "rwRASTERFORMAT16 invalid format" );
			return false;
		case RWDL_FORMAT_24:
			_rwDlSetMessage( "rwRASTERFORMAT24 invalid format" );
			return false;
		case RWDL_FORMAT_32:
			_rwDlSetMessage( "rwRASTERFORMAT32 invalid format" );
			return false;
		default:
			_rwDlSetError( RWDL_ERR_BAD_FORMAT );
			return false;
	}
}

// Z-buffer and camera rasters stand for the embedded frame buffer.
bool ChooseFrameBufferFormat( const u32 flags, FormatChoice* choice ) {
	const u32 pixelFormat = flags & rwRASTERFORMATPIXELFORMATMASK;
	const bool antialiased = _RwDlRenderMode != nullptr && _RwDlRenderMode->aa;
	if ( pixelFormat == RWDL_FORMAT_DEFAULT || ( pixelFormat == RWDL_FORMAT_16 && antialiased ) ) {
		*choice = antialiased ? FormatChoice{ GX_TF_RGB565, TLUT_NONE, 16, 0, RWDL_FORMAT_565 }
							  : FormatChoice{ GX_TF_RGBA8, TLUT_NONE, 32, 0, RWDL_FORMAT_888 };
		if ( pixelFormat != RWDL_FORMAT_DEFAULT ) {
			choice->addedFormat = 0;
		}
		return true;
	}
	_rwDlSetError( RWDL_ERR_BAD_FORMAT );
	return false;
}

void UnlockState( RwRaster* raster, RwDlRasterExt* ext ) {
	raster->privateFlags = static_cast<u8>( raster->privateFlags & ~CLEARED_ON_UNLOCK );
	if ( raster->parent != nullptr ) {
		raster->parent->privateFlags = static_cast<u8>( raster->parent->privateFlags & ~CLEARED_ON_UNLOCK );
	}
	ext->lockedLevel = RWDL_NOT_SET;
	ext->lockBuffer = nullptr;
	ext->lockedTexels = nullptr;
}

// Waits until the GPU is done with the raster's texels, issuing the
// current token first when the raster carries it (it was used since the
// last token went out).
void WaitForGpu( RwDlRasterExt* ext ) {
	if ( ext->token == _RwDlTokenCurrent ) {
		_rwDlTokenIssue();
	}
	_rwDlTokenWait( ext->token );
}

void* ExtensionConstructor( void* object, s32, s32 ) {
	return object;
}

void* ExtensionDestructor( void* object, s32, s32 ) {
	return object;
}

}	// namespace

s32 _RwGameCubeRasterExtOffset = -1;
s32 _RwGameCubeTextureExtOffset = -1;

RwDlRasterExt* _rwDlRasterExt( const RwRaster* raster ) {
	return RwPluginData<RwDlRasterExt>( const_cast<RwRaster*>( raster ), _RwGameCubeRasterExtOffset );
}

RwDlTextureExt* _rwDlTextureExt( const RwTexture* texture ) {
	return RwPluginData<RwDlTextureExt>( const_cast<RwTexture*>( texture ), _RwGameCubeTextureExtOffset );
}

void _rwDlSetError( const u32 code ) {
	RwError error = { ( code & RWERR_COMMON_BIT ) ? 0u : RWPLUGIN_CORE, code };
	RwErrorSet( &error );
}

void _rwDlSetMessage( const char* message ) {
	RwError error = { RWPLUGIN_CORE, _rwerror( 2, message ) };
	RwErrorSet( &error );
}

s32 _rwDlFindMSB( u32 value ) {
	s32 msb = -1;
	while ( value != 0 ) {
		value >>= 1;
		msb++;
	}
	return msb;
}

u32 DlRasterGetMipLevelSize( const RwRaster* raster, const s32 level ) {
	const RwRaster* const parent = raster->parent != nullptr ? raster->parent : raster;
	const bool locked = ( raster->privateFlags & LOCKED_PIXELS ) != 0;
	const u32 w = locked ? Max1( parent->width ) : Max1( parent->width >> level );
	const u32 h = locked ? Max1( parent->height ) : Max1( parent->height >> level );
	const u32 bytes = LevelBytes( w, h, raster->depth );
	if ( bytes == 0 ) {
		_rwDlSetError( RWDL_ERR_BAD_DEPTH );
	}
	return bytes;
}

u32 _rwDlRasterGetSize( const RwRaster* raster ) {
	u32 size = 0;
	const s32 levels = NumLevels( raster );
	for ( s32 level = 0; level < levels; level++ ) {
		size += DlRasterGetMipLevelSize( raster, level );
	}
	return size;
}

u32 _rwDlRasterGetStride( const RwRaster* raster, const s32 level ) {
	const u32 stride = StrideOf( Max1( raster->width >> level ), raster->depth );
	if ( stride == 0 ) {
		_rwDlSetError( RWDL_ERR_BAD_DEPTH );
	}
	return stride;
}

bool DlGetRasterFormat( RwRaster* raster, const u32 flags ) {
	const u8 type = raster->cType;
	if ( type == 3 || type > rwRASTERTYPECAMERATEXTURE ) {
		_rwDlSetError( RWDL_ERR_BAD_FORMAT );
		return false;
	}
	FormatChoice choice = {};
	const bool chosen = IsTextureType( type ) ? ChooseTextureFormat( raster, flags, &choice )
											  : ChooseFrameBufferFormat( flags, &choice );
	if ( !chosen ) {
		return false;
	}
	RwDlRasterExt* const ext = _rwDlRasterExt( raster );
	ext->gxFormat = choice.gxFormat;
	ext->tlutFormat = choice.tlutFormat;
	ext->flags = choice.alpha ? RWDL_RASTER_HAS_ALPHA : 0;
	raster->depth = choice.depth;
	raster->cFormat = static_cast<u8>( ( ( flags & rwRASTERFORMATMASK ) | choice.addedFormat ) >> 8 );
	return true;
}

bool _rwDlTextureRasterCreate( RwRaster* raster, s32 levels ) {
	RwDlRasterExt* const ext = _rwDlRasterExt( raster );
	if ( levels == 0 ) {
		ext->mipLevels = RWDL_NOT_SET;
		levels = NumLevels( raster );
	}
	ext->mipLevels = static_cast<u8>( levels - 1 );
	const u32 size = _rwDlRasterGetSize( raster );
	const bool palettised = IsPalettised( raster );
	const u32 paletteBytes = palettised ? 2u << raster->depth : 0;
	const u32 bytes = size + paletteBytes + ALIGNMENT - 1;
	void* const allocation = RwEngineInstance->memoryFunctions.rwmalloc( bytes );
	if ( allocation == nullptr ) {
		_rwDlSetError( _rwerror( RWDL_ERR_NO_MEMORY, bytes ) );
		return false;
	}
	ext->allocation = allocation;
	const uintptr_t aligned = ( reinterpret_cast<uintptr_t>( allocation ) + ALIGNMENT - 1 ) & ~uintptr_t( ALIGNMENT - 1 );
	ext->texels = reinterpret_cast<u8*>( aligned );
	if ( palettised ) {
		ext->palette = ext->texels + size;
		GXInitTlutObj( &ext->tlut, ext->palette, ext->tlutFormat, static_cast<u16>( 1u << raster->depth ) );
	} else if ( raster->cType == rwRASTERTYPECAMERATEXTURE ) {
		DCInvalidateRange( ext->texels, size );
	}
	return true;
}

bool _rwDlRasterCreate( void*, void* inOut, const s32 inInt ) {
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	const u32 flags = static_cast<u32>( inInt );
	raster->stride = 0;
	raster->cType = static_cast<u8>( flags & rwRASTERTYPEMASK );
	raster->cFlags = static_cast<u8>( flags & 0xF8 );
	RwDlRasterExt* const ext = _rwDlRasterExt( raster );
	std::memset( ext, 0, sizeof( *ext ) );
	ext->gxFormat = TLUT_NONE;
	ext->tlutFormat = TLUT_NONE;
	ext->token = _RwDlTokenLastSeen;
	ext->mipLevels = RWDL_NOT_SET;
	ext->lockedLevel = RWDL_NOT_SET;
	if ( !DlGetRasterFormat( raster, flags ) ) {
		return false;
	}
	if ( raster->width == 0 || raster->height == 0 || !IsTextureType( raster->cType ) ) {
		raster->cFlags |= rwRASTERDONTALLOCATE;
		return true;
	}
	if ( raster->cFlags & rwRASTERDONTALLOCATE ) {
		return true;
	}
	s32 levels = 1;
	if ( flags & rwRASTERFORMATMIPMAP ) {
		const s32 side = raster->width > raster->height ? raster->width : raster->height;
		levels = _rwDlFindMSB( static_cast<u32>( side ) ) + 1;
	}
	if ( !_rwDlTextureRasterCreate( raster, levels ) ) {
		_rwDlSetMessage( "Failed to create surface for texture" );
		return false;
	}
	return true;
}

bool _rwDlRasterLock( void* out, void* inOut, const s32 inInt ) {
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	const u32 flags = static_cast<u32>( inInt );
	if ( !IsTextureType( raster->cType ) ) {
		_rwDlSetError( RWDL_ERR_CANNOT_LOCK );
		return false;
	}
	const s32 level = static_cast<s32>( ( flags >> LOCK_LEVEL_SHIFT ) & 0xFF );
	const bool read = flags & LOCK_READ;
	const bool write = flags & LOCK_WRITE;
	const bool raw = flags & LOCK_RAW;
	const bool sub = IsSubRaster( raster );
	// A sub-raster has no memory of its own: its parent's level is locked
	// and its pixels are a window into it.
	RwRaster* const owner = sub ? raster->parent : raster;
	RwDlRasterExt* const ext = _rwDlRasterExt( owner );
	if ( ( sub && raw ) || ext->texels == nullptr || level >= NumLevels( owner ) ) {
		_rwDlSetError( RWDL_ERR_CANNOT_LOCK );
		return false;
	}
	const u32 levelWidth = Max1( owner->width >> level );
	const u32 levelHeight = Max1( owner->height >> level );
	u8* const levelTexels = ext->texels + LevelOffset( Max1( owner->width ), Max1( owner->height ), owner->depth, level );
	const u32 stride = _rwDlRasterGetStride( owner, level );
	u8* buffer = nullptr;
	if ( !raw ) {
		buffer = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( stride * levelHeight ) );
		if ( buffer == nullptr ) {
			return false;
		}
		std::memset( buffer, 0, stride * levelHeight );
	}
	u8* pixels = nullptr;
	if ( sub ) {
		const u32 x = static_cast<u32>( raster->nOffsetX );
		const u32 xBytes = owner->depth == 4 ? x / 2 : x * static_cast<u32>( owner->depth / 8 );
		pixels = buffer + stride * static_cast<u32>( raster->nOffsetY ) + xBytes;
	} else {
		raster->originalWidth = raster->width;
		raster->originalHeight = raster->height;
		raster->width = static_cast<s32>( levelWidth );
		raster->height = static_cast<s32>( levelHeight );
		pixels = raw ? levelTexels : buffer;
	}
	ext->lockedTexels = levelTexels;
	ext->lockBuffer = buffer;
	ext->lockedLevel = static_cast<u8>( level );
	raster->stride = static_cast<s32>( stride );

	// A sub-raster's window is written back with the whole level, so the
	// level is always fetched for it.
	if ( read || ( sub && write ) ) {
		if ( owner->cType == rwRASTERTYPECAMERATEXTURE ) {
			DCFlushRange( levelTexels, DlRasterGetMipLevelSize( owner, level ) );
		}
		raster->privateFlags |= read ? rwRASTERPIXELLOCKEDREAD : 0;
		owner->privateFlags |= read ? rwRASTERPIXELLOCKEDREAD : 0;
		if ( !raw ) {
			DlRasterUntile( buffer, levelTexels, static_cast<s32>( levelWidth ), static_cast<s32>( levelHeight ),
							owner->depth, static_cast<s32>( stride ) );
		}
	}
	if ( write ) {
		raster->privateFlags |= rwRASTERPIXELLOCKEDWRITE;
		owner->privateFlags |= rwRASTERPIXELLOCKEDWRITE;
		WaitForGpu( ext );
	}
	if ( raw ) {
		raster->privateFlags |= RWDL_RASTER_LOCKED_RAW;
	}
	raster->cpPixels = pixels;
	*static_cast<u8**>( out ) = pixels;
	return true;
}

bool _rwDlRasterUnlock( void*, void* inOut, s32 ) {
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	if ( !IsTextureType( raster->cType ) ) {
		_rwDlSetError( RWDL_ERR_CANNOT_UNLOCK );
		return false;
	}
	const bool sub = IsSubRaster( raster );
	RwRaster* const owner = sub ? raster->parent : raster;
	RwDlRasterExt* const ext = _rwDlRasterExt( owner );
	if ( ext->lockedLevel == RWDL_NOT_SET ) {
		return true;
	}
	const s32 level = ext->lockedLevel;
	const bool written = ( raster->privateFlags & rwRASTERPIXELLOCKEDWRITE ) != 0;
	const bool raw = ( raster->privateFlags & RWDL_RASTER_LOCKED_RAW ) != 0;
	if ( !sub ) {
		raster->width = raster->originalWidth;
		raster->height = raster->originalHeight;
	}
	if ( written ) {
		const u32 levelWidth = Max1( owner->width >> level );
		const u32 levelHeight = Max1( owner->height >> level );
		if ( !raw ) {
			DlRasterTile( ext->lockedTexels, ext->lockBuffer, static_cast<s32>( levelWidth ),
						  static_cast<s32>( levelHeight ), owner->depth, raster->stride );
		}
		DCFlushRange( ext->lockedTexels, LevelBytes( levelWidth, levelHeight, owner->depth ) );
		GXInvalidateTexAll();
	}
	if ( !raw && ext->lockBuffer != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( ext->lockBuffer );
	}
	raster->stride = 0;
	raster->cpPixels = nullptr;
	UnlockState( raster, ext );
	const bool automatic = ( raster->cFormat << 8 ) & rwRASTERFORMATAUTOMIPMAP;
	if ( written && automatic && level == 0 ) {
		RwTextureRasterGenerateMipmaps( raster, nullptr );
	}
	return true;
}

bool _rwDlRasterLockPalette( void* out, void* inOut, const s32 inInt ) {
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	if ( raster->cType != rwRASTERTYPENORMAL && raster->cType != rwRASTERTYPETEXTURE ) {
		_rwDlSetError( RWDL_ERR_CANNOT_LOCK );
		return false;
	}
	if ( IsSubRaster( raster ) || ( raster->privateFlags & LOCKED_PALETTE ) ) {
		return true;
	}
	if ( inInt & LOCK_READ ) {
		raster->privateFlags |= rwRASTERPALETTELOCKEDREAD;
	}
	if ( inInt & LOCK_WRITE ) {
		raster->privateFlags |= rwRASTERPALETTELOCKEDWRITE;
	}
	raster->palette = _rwDlRasterExt( raster )->palette;
	*static_cast<u8**>( out ) = raster->palette;
	return true;
}

bool _rwDlRasterUnlockPalette( void*, void* inOut, s32 ) {
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	if ( raster->cType != rwRASTERTYPENORMAL && raster->cType != rwRASTERTYPETEXTURE ) {
		_rwDlSetError( RWDL_ERR_CANNOT_UNLOCK );
		return false;
	}
	if ( IsSubRaster( raster ) ) {
		return true;
	}
	if ( ( raster->privateFlags & rwRASTERPALETTELOCKEDWRITE ) && raster->palette != nullptr ) {
		DCFlushRange( raster->palette, 2u << raster->depth );
	}
	raster->privateFlags = static_cast<u8>( raster->privateFlags & ~LOCKED_PALETTE );
	raster->palette = nullptr;
	return true;
}

bool _rwDlRasterDestroy( void*, void* inOut, s32 ) {
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	if ( IsSubRaster( raster ) || ( raster->cFlags & rwRASTERDONTALLOCATE ) ) {
		return true;
	}
	if ( raster->cType == rwRASTERTYPEZBUFFER || raster->cType == rwRASTERTYPECAMERA ) {
		return true;
	}
	if ( !IsTextureType( raster->cType ) ) {
		_rwDlSetError( RWDL_ERR_BAD_FORMAT );
		return false;
	}
	RwDlRasterExt* const ext = _rwDlRasterExt( raster );
	WaitForGpu( ext );
	_rwDlRenderStateForgetRaster( raster );
	if ( ext->allocation != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( ext->allocation );
	}
	ext->allocation = nullptr;
	ext->texels = nullptr;
	ext->palette = nullptr;
	return true;
}

bool _rwDlRasterSubRaster( void* out, void* inOut, s32 ) {
	RwRaster* const sub = static_cast<RwRaster*>( out );
	const RwRaster* const parent = static_cast<const RwRaster*>( inOut );
	sub->stride = parent->stride;
	sub->depth = parent->depth;
	sub->cType = parent->cType;
	sub->cFormat = parent->cFormat;
	sub->cpPixels = nullptr;
	return true;
}

bool _rwDlRasterGetNumMipLevels( void* out, void* inOut, s32 ) {
	*static_cast<s32*>( out ) = NumLevels( static_cast<const RwRaster*>( inOut ) );
	return true;
}

bool _rwDlTextureSetRaster( void* out, void* inOut, s32 ) {
	RwTexture* const texture = static_cast<RwTexture*>( out );
	texture->raster = static_cast<RwRaster*>( inOut );
	_rwDlTextureExt( texture )->state = RWDL_TEXTURE_LOD_NOT_SET;
	return true;
}

void* _rwDlTextureConst( void* object, const s32 offset, s32 ) {
	RwDlTextureExt* const ext = RwPluginData<RwDlTextureExt>( object, offset );
	std::memset( &ext->textureObject, 0, sizeof( ext->textureObject ) );
	ext->state = RWDL_TEXTURE_LOD_NOT_SET;
	return object;
}

bool _rwDlRasterPluginAttach() {
	_RwGameCubeRasterExtOffset = RwRasterRegisterPlugin( static_cast<s32>( sizeof( RwDlRasterExt ) ),
														 RWDL_RASTER_PLUGIN_ID, ExtensionConstructor,
														 ExtensionDestructor, nullptr );
	return _RwGameCubeRasterExtOffset >= 0;
}

bool _rwDlTexturePluginAttach() {
	_RwGameCubeTextureExtOffset = RwTextureRegisterPlugin( static_cast<s32>( sizeof( RwDlTextureExt ) ),
														   RWDL_RASTER_PLUGIN_ID, _rwDlTextureConst,
														   _rwDlTextureDest, nullptr );
	return _RwGameCubeTextureExtOffset >= 0;
}
