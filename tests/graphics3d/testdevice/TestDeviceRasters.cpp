#include "graphics3d/testdevice/TestDeviceRasters.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/testdevice/TestDeviceTextures.h"
#include "platform/vi/VI.h"

#include <bit>
#include <cstring>

namespace {

constexpr s32 NUM_STANDARDS = RWSTANDARD_COUNT;

struct RasterDeviceState {
	bool								refused[NUM_STANDARDS] = {};
	u32									counts[NUM_STANDARDS] = {};
	// Kept in malloc'd memory: programs that route operator new to the
	// engine's heaps must not find the harness's record there.
	GXHostVector<TestDeviceStandardCall>	calls;
	RwRaster*							context = nullptr;
	s32									imageFormat = -1;
	u32									textureGrants = TEST_DEVICE_GRANT_ALL;
	bool								roundTextureSizes = false;
	s32									extensionOffset = -1;
};

RasterDeviceState state;

// Lock and create bits as the console driver reads them.
constexpr s32 LOCK_WRITE				= 0x1;
constexpr s32 LOCK_READ					= 0x2;
constexpr u8 PRIVATE_LOCKED				= rwRASTERPIXELLOCKEDREAD | rwRASTERPIXELLOCKEDWRITE;
constexpr u8 FORMAT_PAL8				= rwRASTERFORMATPAL8 >> 8;
constexpr u8 FORMAT_PAL4				= rwRASTERFORMATPAL4 >> 8;
constexpr u8 FORMAT_MIPMAP				= rwRASTERFORMATMIPMAP >> 8;
constexpr u8 FORMAT_AUTOMIPMAP			= rwRASTERFORMATAUTOMIPMAP >> 8;
constexpr u32 FORMAT_8888				= rwRASTERFORMAT8888;
constexpr u32 FORMAT_565				= rwRASTERFORMAT565;
constexpr u32 FORMAT_888				= 0x0600;

bool Enter( const s32 standard, void* out, void* inOut, const s32 inInt ) {
	state.counts[standard]++;
	state.calls.push_back( { standard, out, inOut, inInt } );
	return !state.refused[standard];
}

TestDeviceRasterExtension* Extension( RwRaster* raster ) {
	return RwPluginData<TestDeviceRasterExtension>( raster, state.extensionOffset );
}

s32 HighestBit( const u32 value ) {
	return value == 0 ? -1 : 31 - std::countl_zero( value );
}

s32 LevelSide( const s32 side, const s32 level ) {
	const s32 shifted = side >> level;
	return shifted > 0 ? shifted : 1;
}

u32 RowBytes( const s32 width, const s32 depth ) {
	return ( static_cast<u32>( width ) * static_cast<u32>( depth ) + 7 ) / 8;
}

// Where a raster's pixels lie at the level its root is locked at (or
// level 0): base of its rectangle, row stride and size.
struct Region {
	u8*		base;
	u32		stride;
	s32		width;
	s32		height;
	s32		depth;
	s32		level;
};

bool RegionOf( RwRaster* raster, Region* region ) {
	RwRaster* const root = raster->parent != nullptr ? raster->parent : raster;
	TestDeviceRasterExtension* const ext = Extension( root );
	if ( ext->memory == nullptr ) {
		return false;
	}
	const bool locked = ( root->privateFlags & PRIVATE_LOCKED ) != 0;
	const s32 ownWidth = locked ? root->originalWidth : root->width;
	const s32 ownHeight = locked ? root->originalHeight : root->height;
	const s32 level = ext->lockedLevel >= 0 ? ext->lockedLevel : 0;
	u8* base = ext->memory;
	for ( s32 l = 0; l < level; l++ ) {
		base += RowBytes( LevelSide( ownWidth, l ), root->depth ) * static_cast<u32>( LevelSide( ownHeight, l ) );
	}
	region->stride = RowBytes( LevelSide( ownWidth, level ), root->depth );
	region->width = LevelSide( ownWidth, level );
	region->height = LevelSide( ownHeight, level );
	region->depth = root->depth;
	region->level = level;
	if ( raster != root ) {
		base += region->stride * static_cast<u32>( raster->nOffsetY ) + RowBytes( raster->nOffsetX, root->depth );
		region->width = raster->width;
		region->height = raster->height;
	}
	region->base = base;
	return true;
}

u8 ReadIndex( const Region& region, const s32 x, const s32 y ) {
	const u8* const row = region.base + region.stride * static_cast<u32>( y );
	if ( region.depth == 4 ) {
		const u8 byte = row[x / 2];
		return ( x & 1 ) ? ( byte & 0x0F ) : static_cast<u8>( byte >> 4 );
	}
	return row[x];
}

void WriteIndex( const Region& region, const s32 x, const s32 y, const u8 index ) {
	u8* const row = region.base + region.stride * static_cast<u32>( y );
	if ( region.depth == 4 ) {
		u8& byte = row[x / 2];
		byte = ( x & 1 ) ? static_cast<u8>( ( byte & 0xF0 ) | ( index & 0x0F ) )
						 : static_cast<u8>( ( byte & 0x0F ) | ( ( index & 0x0F ) << 4 ) );
		return;
	}
	row[x] = index;
}

RwRGBA* Texel( const Region& region, const s32 x, const s32 y ) {
	return reinterpret_cast<RwRGBA*>( region.base + region.stride * static_cast<u32>( y ) ) + x;
}

const RwRGBA* RasterPalette( RwRaster* raster ) {
	RwRaster* const root = raster->parent != nullptr ? raster->parent : raster;
	return reinterpret_cast<const RwRGBA*>( Extension( root )->palette );
}

// Standards ------------------------------------------------------------------

bool CameraBeginUpdate( void* out, void* inOut, const s32 inInt ) {
	return Enter( 1, out, inOut, inInt ) && inOut != nullptr;
}

bool CameraEndUpdate( void* out, void* inOut, const s32 inInt ) {
	return Enter( 10, out, inOut, inInt ) && inOut != nullptr;
}

bool CameraClear( void* out, void* inOut, const s32 inInt ) {
	return Enter( 21, out, inOut, inInt ) && out != nullptr;
}

// A shown frame waits for the next retrace, as the console's driver paces
// frames.
bool ShowRaster( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 20, out, inOut, inInt ) || out == nullptr ) {
		return false;
	}
	VIWaitForRetrace();
	return true;
}

bool PixelToRGB( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 3, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwRGBA* const rgba = static_cast<RwRGBA*>( out );
	const u32 pixel = *static_cast<const u32*>( inOut );
	switch ( static_cast<u32>( inInt ) & rwRASTERFORMATPIXELFORMATMASK ) {
		case FORMAT_8888:
			*rgba = { static_cast<u8>( pixel >> 16 ), static_cast<u8>( pixel >> 8 ), static_cast<u8>( pixel ),
					  static_cast<u8>( pixel >> 24 ) };
			return true;
		case FORMAT_888:
			*rgba = { static_cast<u8>( pixel >> 16 ), static_cast<u8>( pixel >> 8 ), static_cast<u8>( pixel ), 0xFF };
			return true;
		case FORMAT_565:
			*rgba = { static_cast<u8>( ( pixel >> 8 ) & 0xF8 ), static_cast<u8>( ( pixel >> 3 ) & 0xFC ),
					  static_cast<u8>( ( pixel << 3 ) & 0xF8 ), 0xFF };
			return true;
		default:
			return false;
	}
}

s32 DepthOfFormat( const u8 format ) {
	if ( format & FORMAT_PAL8 ) {
		return 8;
	}
	if ( format & FORMAT_PAL4 ) {
		return 4;
	}
	return 32;
}

bool AllocateTexels( RwRaster* raster, TestDeviceRasterExtension* ext ) {
	u64 bytes = 0;
	for ( s32 l = 0; l < ext->numLevels; l++ ) {
		bytes += static_cast<u64>( RowBytes( LevelSide( raster->width, l ), raster->depth ) ) *
				 static_cast<u64>( LevelSide( raster->height, l ) );
	}
	const u64 paletteBytes = raster->depth <= 8 ? ( static_cast<u64>( 1 ) << raster->depth ) * sizeof( RwRGBA ) : 0;
	if ( bytes + paletteBytes > 0x7FFFFFFF ) {
		return false;
	}
	const u32 total = static_cast<u32>( bytes + paletteBytes );
	ext->memory = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( total ) );
	if ( ext->memory == nullptr ) {
		return false;
	}
	std::memset( ext->memory, 0, total );
	ext->palette = paletteBytes != 0 ? ext->memory + bytes : nullptr;
	return true;
}

bool RasterCreate( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 4, out, inOut, inInt ) || !( inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	const u8 type = static_cast<u8>( inInt & rwRASTERTYPEMASK );
	if ( type == 3 || type > rwRASTERTYPECAMERATEXTURE ) {
		return false;
	}
	raster->cType = type;
	raster->cFlags = static_cast<u8>( inInt & 0xF8 );
	raster->cFormat = static_cast<u8>( ( inInt & rwRASTERFORMATMASK ) >> 8 );
	raster->stride = 0;
	TestDeviceRasterExtension* const ext = Extension( raster );
	*ext = { nullptr, nullptr, 1, -1 };
	if ( raster->depth == 0 ) {
		raster->depth = DepthOfFormat( raster->cFormat );
	}
	if ( raster->cFormat & FORMAT_MIPMAP ) {
		const s32 side = raster->width > raster->height ? raster->width : raster->height;
		ext->numLevels = HighestBit( static_cast<u32>( side > 0 ? side : 0 ) ) + 1;
		ext->numLevels = ext->numLevels > 0 ? ext->numLevels : 1;
	}
	if ( type == rwRASTERTYPEZBUFFER || raster->width <= 0 || raster->height <= 0 ) {
		raster->cFlags |= rwRASTERDONTALLOCATE;
	}
	if ( raster->cFlags & rwRASTERDONTALLOCATE ) {
		return true;
	}
	// 24-bit camera textures get memory but take no pixel exchange.
	if ( raster->depth != 4 && raster->depth != 8 && raster->depth != 24 && raster->depth != 32 ) {
		return false;
	}
	return AllocateTexels( raster, ext );
}

bool RasterDestroy( void* out, void* inOut, const s32 inInt ) {
	Enter( 5, out, inOut, inInt );
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	if ( raster == nullptr ) {
		return false;
	}
	TestDeviceRasterExtension* const ext = Extension( raster );
	if ( raster->parent == raster && ext->memory != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( ext->memory );
	}
	ext->memory = nullptr;
	ext->palette = nullptr;
	return !state.refused[5];
}

bool SubRaster( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 12, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const sub = static_cast<RwRaster*>( out );
	const RwRaster* const parent = static_cast<const RwRaster*>( inOut );
	sub->stride = parent->stride;
	sub->depth = parent->depth;
	sub->cType = parent->cType;
	sub->cFormat = parent->cFormat;
	sub->cpPixels = nullptr;
	return true;
}

bool SetRasterContext( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 11, out, inOut, inInt ) || !( inOut != nullptr ) ) {
		return false;
	}
	state.context = static_cast<RwRaster*>( inOut );
	return true;
}

bool RasterClear( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 14, out, inOut, inInt ) ) {
		return false;
	}
	Region region;
	if ( state.context == nullptr || state.context->parent == nullptr || !RegionOf( state.context, &region ) ||
		 region.depth == 24 ) {
		return false;
	}
	const u32 pixel = static_cast<u32>( inInt );
	const RwRGBA colour = { static_cast<u8>( pixel >> 16 ), static_cast<u8>( pixel >> 8 ), static_cast<u8>( pixel ),
							static_cast<u8>( pixel >> 24 ) };
	for ( s32 y = 0; y < region.height; y++ ) {
		for ( s32 x = 0; x < region.width; x++ ) {
			if ( region.depth == 32 ) {
				*Texel( region, x, y ) = colour;
			} else {
				WriteIndex( region, x, y, static_cast<u8>( pixel ) );
			}
		}
	}
	return true;
}

void MarkLocked( RwRaster* raster, const u8 bits ) {
	raster->privateFlags |= bits;
	if ( raster->parent != nullptr && raster->parent != raster ) {
		raster->parent->privateFlags |= bits;
	}
}

bool RasterLock( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 15, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	RwRaster* const root = raster->parent;
	const s32 level = ( inInt >> 8 ) & 0xFF;
	TestDeviceRasterExtension* const rootExt = Extension( root );
	if ( rootExt->memory == nullptr || level >= rootExt->numLevels || ( raster != root && level != 0 ) ) {
		return false;
	}
	rootExt->lockedLevel = level;
	Region region;
	RegionOf( raster, &region );
	if ( raster == root ) {
		raster->originalPixels = raster->cpPixels;
		raster->originalWidth = raster->width;
		raster->originalHeight = raster->height;
		raster->originalStride = raster->stride;
		raster->width = region.width;
		raster->height = region.height;
	}
	raster->stride = static_cast<s32>( region.stride );
	raster->cpPixels = region.base;
	const u8 bits = static_cast<u8>( ( ( inInt & LOCK_READ ) ? rwRASTERPIXELLOCKEDREAD : 0 ) |
									 ( ( inInt & LOCK_WRITE ) ? rwRASTERPIXELLOCKEDWRITE : 0 ) );
	MarkLocked( raster, bits );
	*static_cast<u8**>( out ) = region.base;
	return true;
}

bool RasterUnlock( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 16, out, inOut, inInt ) || !( inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	RwRaster* const root = raster->parent;
	const bool wroteLevel0 = ( raster->privateFlags & rwRASTERPIXELLOCKEDWRITE ) != 0 && Extension( root )->lockedLevel == 0;
	if ( raster == root && ( raster->privateFlags & PRIVATE_LOCKED ) ) {
		raster->width = raster->originalWidth;
		raster->height = raster->originalHeight;
	}
	raster->stride = 0;
	raster->cpPixels = nullptr;
	raster->privateFlags &= static_cast<u8>( ~PRIVATE_LOCKED );
	root->privateFlags &= static_cast<u8>( ~PRIVATE_LOCKED );
	Extension( root )->lockedLevel = -1;
	// As the console driver does, the levels of an automatically
	// mipmapped raster are rebuilt once level 0 was written.
	if ( wroteLevel0 && raster == root && ( raster->cFormat & FORMAT_AUTOMIPMAP ) ) {
		RwTextureRasterGenerateMipmaps( raster, nullptr );
	}
	return true;
}

bool LockPalette( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 23, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	if ( raster->parent != raster ) {
		return true;
	}
	u8* const palette = Extension( raster )->palette;
	if ( palette == nullptr ) {
		return false;
	}
	raster->privateFlags |= static_cast<u8>( ( ( inInt & LOCK_READ ) ? rwRASTERPALETTELOCKEDREAD : 0 ) |
											 ( ( inInt & LOCK_WRITE ) ? rwRASTERPALETTELOCKEDWRITE : 0 ) );
	raster->palette = palette;
	*static_cast<u8**>( out ) = palette;
	return true;
}

bool UnlockPalette( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 24, out, inOut, inInt ) || !( inOut != nullptr ) ) {
		return false;
	}
	static_cast<RwRaster*>( inOut )->palette = nullptr;
	return true;
}

bool GetNumMipLevels( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 28, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	*static_cast<s32*>( out ) = Extension( raster->parent )->numLevels;
	return true;
}

// Images -----------------------------------------------------------------------

bool ImageGetFromRaster( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 6, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwImage* const image = static_cast<RwImage*>( out );
	RwRaster* const raster = static_cast<RwRaster*>( inOut );
	Region region;
	if ( image->cpPixels == nullptr || !RegionOf( raster, &region ) || region.depth == 24 ) {
		return false;
	}
	const bool toColours = image->depth == 32;
	const bool toIndices = ( image->depth == 4 || image->depth == 8 ) && region.depth <= image->depth && region.depth <= 8;
	if ( !toColours && !toIndices ) {
		return false;
	}
	const RwRGBA* const palette = RasterPalette( raster );
	if ( toIndices ) {
		std::memcpy( image->palette, palette, sizeof( RwRGBA ) << region.depth );
	}
	const s32 width = image->width < region.width ? image->width : region.width;
	const s32 height = image->height < region.height ? image->height : region.height;
	for ( s32 y = 0; y < height; y++ ) {
		u8* const row = image->cpPixels + static_cast<size_t>( y ) * image->stride;
		for ( s32 x = 0; x < width; x++ ) {
			if ( toIndices ) {
				row[x] = ReadIndex( region, x, y );
			} else {
				reinterpret_cast<RwRGBA*>( row )[x] = region.depth == 32 ? *Texel( region, x, y ) : palette[ReadIndex( region, x, y )];
			}
		}
	}
	return true;
}

bool WriteImage( RwRaster* raster, const RwImage* image, const Region& region );

bool RasterSetFromImage( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 7, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const raster = static_cast<RwRaster*>( out );
	const RwImage* const image = static_cast<const RwImage*>( inOut );
	Region region;
	if ( image->cpPixels == nullptr || !RegionOf( raster, &region ) || region.depth == 24 ) {
		return false;
	}
	// Unlocked, the console locks level 0 for writing and unlocks after.
	const bool implicitLock = raster == raster->parent && ( raster->privateFlags & PRIVATE_LOCKED ) == 0;
	if ( !WriteImage( raster, image, region ) ) {
		return false;
	}
	if ( implicitLock && ( raster->cFormat & FORMAT_AUTOMIPMAP ) ) {
		RwTextureRasterGenerateMipmaps( raster, nullptr );
	}
	return true;
}

bool WriteImage( RwRaster* raster, const RwImage* image, const Region& region ) {
	const bool fromIndices = image->depth == 4 || image->depth == 8;
	if ( region.depth <= 8 && ( !fromIndices || image->depth > region.depth ) ) {
		return false;
	}
	if ( region.depth <= 8 ) {
		std::memcpy( Extension( raster->parent )->palette, image->palette, sizeof( RwRGBA ) << image->depth );
	}
	const s32 width = image->width < region.width ? image->width : region.width;
	const s32 height = image->height < region.height ? image->height : region.height;
	for ( s32 y = 0; y < height; y++ ) {
		const u8* const row = image->cpPixels + static_cast<size_t>( y ) * image->stride;
		for ( s32 x = 0; x < width; x++ ) {
			if ( region.depth <= 8 ) {
				WriteIndex( region, x, y, image->depth == 4 ? ( row[x] & 0x0F ) : row[x] );
			} else {
				*Texel( region, x, y ) =
					fromIndices ? *_rwImagePaletteColour( image, row[x] ) : reinterpret_cast<const RwRGBA*>( row )[x];
			}
		}
	}
	return true;
}

s32 LargestPowerOfTwo( const s32 side ) {
	return side > 0 ? 1 << HighestBit( static_cast<u32>( side ) ) : 0;
}

bool ImageFindRasterFormat( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( 9, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwRaster* const raster = static_cast<RwRaster*>( out );
	const RwImage* const image = static_cast<const RwImage*>( inOut );
	const u8 type = static_cast<u8>( inInt & rwRASTERTYPEMASK );
	if ( type == 3 || type > rwRASTERTYPECAMERATEXTURE ) {
		return false;
	}
	raster->cType = type;
	if ( type == rwRASTERTYPEZBUFFER || type == rwRASTERTYPECAMERA ) {
		raster->width = image->width;
		raster->height = image->height;
		raster->depth = 32;
		raster->cFormat = 0;
		return true;
	}
	s32 width = image->width < TEST_DEVICE_MAX_TEXTURE_SIDE ? image->width : TEST_DEVICE_MAX_TEXTURE_SIDE;
	s32 height = image->height < TEST_DEVICE_MAX_TEXTURE_SIDE ? image->height : TEST_DEVICE_MAX_TEXTURE_SIDE;
	if ( ( inInt & rwRASTERFORMATMIPMAP ) || state.roundTextureSizes ) {
		width = LargestPowerOfTwo( width );
		height = LargestPowerOfTwo( height );
	}
	s32 format = state.imageFormat;
	if ( format < 0 ) {
		format = image->depth == 8 ? static_cast<s32>( rwRASTERFORMATPAL8 | FORMAT_8888 )
			   : image->depth == 4 ? static_cast<s32>( rwRASTERFORMATPAL4 | FORMAT_8888 )
								   : static_cast<s32>( FORMAT_8888 );
	}
	format |= inInt & static_cast<s32>( ( rwRASTERFORMATMIPMAP | rwRASTERFORMATAUTOMIPMAP ) & state.textureGrants );
	raster->width = width;
	raster->height = height;
	raster->cFormat = static_cast<u8>( format >> 8 );
	raster->depth = DepthOfFormat( raster->cFormat );
	return true;
}

bool TextureSetRaster( void* out, void* inOut, const s32 inInt ) {
	if ( !Enter( RWSTANDARD_TEXTURE_SET_RASTER, out, inOut, inInt ) || !( out != nullptr && inOut != nullptr ) ) {
		return false;
	}
	RwTexture* const texture = static_cast<RwTexture*>( out );
	texture->raster = static_cast<RwRaster*>( inOut );
	TestDeviceTextureExtensionOf( texture )->state = TEST_DEVICE_TEXTURE_SET_UP;
	return true;
}

// The create standard fills the extension before the plug-ins are
// constructed, so the constructor must leave it alone.
void* ExtensionConstructor( void* object, s32, s32 ) {
	return object;
}

void* ExtensionDestructor( void* object, s32, s32 ) {
	return object;
}

}	// namespace

RwStandardFunc TestDeviceRasterStandard( const s32 index ) {
	switch ( index ) {
		case 1:		return CameraBeginUpdate;
		case 3:		return PixelToRGB;
		case 4:		return RasterCreate;
		case 5:		return RasterDestroy;
		case 6:		return ImageGetFromRaster;
		case 7:		return RasterSetFromImage;
		case 8:		return TextureSetRaster;
		case 9:		return ImageFindRasterFormat;
		case 10:	return CameraEndUpdate;
		case 11:	return SetRasterContext;
		case 12:	return SubRaster;
		case 14:	return RasterClear;
		case 15:	return RasterLock;
		case 16:	return RasterUnlock;
		case 20:	return ShowRaster;
		case 21:	return CameraClear;
		case 23:	return LockPalette;
		case 24:	return UnlockPalette;
		case 28:	return GetNumMipLevels;
		default:	return nullptr;
	}
}

bool TestDeviceRasterPluginAttach() {
	state.extensionOffset = RwRasterRegisterPlugin( static_cast<s32>( sizeof( TestDeviceRasterExtension ) ),
													TEST_DEVICE_RASTER_PLUGIN_ID, ExtensionConstructor,
													ExtensionDestructor, nullptr );
	return state.extensionOffset >= 0;
}

TestDeviceRasterExtension* TestDeviceRasterExtensionOf( RwRaster* raster ) {
	return Extension( raster );
}

void TestDeviceRastersReset() {
	const s32 offset = state.extensionOffset;
	state = RasterDeviceState();
	state.extensionOffset = offset;
}

void TestDeviceRefuseStandard( const s32 index, const bool refuse ) {
	if ( index >= 0 && index < NUM_STANDARDS ) {
		state.refused[index] = refuse;
	}
}

u32 TestDeviceStandardCount( const s32 index ) {
	return index >= 0 && index < NUM_STANDARDS ? state.counts[index] : 0;
}

const GXHostVector<TestDeviceStandardCall>& TestDeviceStandardCalls() {
	return state.calls;
}

RwRaster* TestDeviceRasterContext() {
	return state.context;
}

void TestDeviceSetImageRasterFormat( const s32 format ) {
	state.imageFormat = format;
}

void TestDeviceSetTextureGrants( const u32 grants ) {
	state.textureGrants = grants;
}

void TestDeviceRoundTextureSizes( const bool round ) {
	state.roundTextureSizes = round;
}
