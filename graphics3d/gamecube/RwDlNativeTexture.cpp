// Native texture chunks of the console device driver.
//
// One struct chunk: the core's 12-byte header (version 0x34003, build
// 0xFFFF), then a big-endian body: the texture record (88 bytes: platform
// 6, filter and addressing, anisotropy, bias clamp, edge LOD, f32 bias,
// two 32-char names), the raster header (16 bytes: format and type, width,
// height, depth, levels, GX format, palette format, alpha), the palette
// when the format has one, then a u32 count and the tiled texels.
//
// Nothing read is trusted: the header must describe a raster the driver
// can make, the count must fit the texels made for it, and every failure
// after the raster is made destroys it.

#include "graphics3d/gamecube/RwDlDriver.h"

#include "datatypes/base/DTByteOrder.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstring>

namespace {

constexpr u32 CHUNK_STRUCT			= 1;
constexpr u32 CHUNK_VERSION			= 0x34003;
constexpr u32 CHUNK_BUILD			= 0xFFFF;
constexpr u32 CHUNK_HEADER_BYTES	= 12;
constexpr u32 RECORD_BYTES			= 88;
constexpr u32 RASTER_HEADER_BYTES	= 16;
constexpr u32 COUNT_BYTES			= 4;
constexpr u32 SIZE_WITHOUT_RASTER	= 100;
constexpr u32 PLATFORM_ID			= 6;
constexpr u32 NAME_BYTES			= 32;
constexpr u32 WORD_MASK				= 0xFFFF;
constexpr u32 PALETTE_FLAGS			= rwRASTERFORMATPAL4 | rwRASTERFORMATPAL8;
constexpr u8  AUTOMIPMAP_BIT		= rwRASTERFORMATAUTOMIPMAP >> 8;

u32 PaletteBytes( const u32 formatFlags, const s32 depth ) {
	return ( formatFlags & PALETTE_FLAGS ) ? 2u << depth : 0;
}

// The header must describe a raster the driver makes: a palette flag
// that fits the depth, a depth it lays out, a level count the size
// allows (0 lets the driver derive it), a size and a texture type.
bool HeaderIsSound( const u32 formatType, const u32 width, const u32 height, const u32 depth, const u32 levels ) {
	const u32 palette = formatType & PALETTE_FLAGS;
	const u32 type = formatType & 0xFF;
	if ( palette == PALETTE_FLAGS || ( palette == rwRASTERFORMATPAL4 && depth != 4 ) ||
		 ( palette == rwRASTERFORMATPAL8 && depth != 8 ) ) {
		return false;
	}
	if ( depth != 4 && depth != 8 && depth != 16 && depth != 32 ) {
		return false;
	}
	if ( width == 0 || height == 0 ) {
		return false;
	}
	if ( levels > static_cast<u32>( _rwDlFindMSB( width > height ? width : height ) + 1 ) ) {
		return false;
	}
	return type == rwRASTERTYPENORMAL || type == rwRASTERTYPETEXTURE || type == rwRASTERTYPECAMERATEXTURE;
}

// A name field as a terminated string.
void Name( char* out, const u8* field ) {
	std::memcpy( out, field, NAME_BYTES );
	out[NAME_BYTES] = '\0';
}

// A name into its zero-padded field, its terminator included.
void PutName( u8* field, const char* name ) {
	const size_t length = strnlen( name, NAME_BYTES - 1 );
	std::memcpy( field, name, length );
}

bool Read( RwStream* stream, void* buffer, const u32 bytes ) {
	return bytes == 0 || RwStreamRead( stream, buffer, bytes ) == bytes;
}

RwTexture* ReadTexture( RwStream* stream ) {
	u32 length = 0;
	u32 version = 0;
	if ( !RwStreamFindChunk( stream, CHUNK_STRUCT, &length, &version ) ) {
		return nullptr;
	}
	u8 record[RECORD_BYTES];
	u8 header[RASTER_HEADER_BYTES];
	if ( !Read( stream, record, RECORD_BYTES ) || DTReadBE32( record ) != PLATFORM_ID ||
		 !Read( stream, header, RASTER_HEADER_BYTES ) ) {
		return nullptr;
	}
	const u32 formatType = DTReadBE32( header );
	const u32 width = DTReadBE16( header + 4 );
	const u32 height = DTReadBE16( header + 6 );
	const u32 depth = header[8];
	const u32 levels = header[9];
	if ( !HeaderIsSound( formatType, width, height, depth, levels ) ) {
		return nullptr;
	}
	RwRaster* const raster = RwRasterCreate( static_cast<s32>( width ), static_cast<s32>( height ),
											 static_cast<s32>( depth ), static_cast<s32>( formatType | rwRASTERDONTALLOCATE ) );
	if ( raster == nullptr ) {
		return nullptr;
	}
	RwDlRasterExt* const ext = _rwDlRasterExt( raster );
	ext->gxFormat = header[10];
	ext->tlutFormat = header[11];
	ext->flags = DTReadBE32( header + 12 ) != 0 ? RWDL_RASTER_HAS_ALPHA : 0;
	if ( raster->depth != static_cast<s32>( depth ) || !_rwDlTextureRasterCreate( raster, static_cast<s32>( levels ) ) ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	raster->cFlags = static_cast<u8>( raster->cFlags & ~rwRASTERDONTALLOCATE );
	const u32 paletteBytes = PaletteBytes( formatType, raster->depth );
	if ( !Read( stream, ext->palette, paletteBytes ) ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	DCFlushRange( ext->palette, paletteBytes );

	// Filling the texels must not rebuild the mip levels.
	const u8 automatic = raster->cFormat & AUTOMIPMAP_BIT;
	raster->cFormat = static_cast<u8>( raster->cFormat & ~AUTOMIPMAP_BIT );
	u8 countBytes[COUNT_BYTES];
	const u32 size = _rwDlRasterGetSize( raster );
	bool read = Read( stream, countBytes, COUNT_BYTES );
	const u32 count = read ? DTReadBE32( countBytes ) : 0;
	read = read && count <= size && Read( stream, ext->texels, count );
	raster->cFormat |= automatic;
	if ( !read ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	DCFlushRange( ext->texels, size );
	GXInvalidateTexAll();

	RwTexture* const texture = RwTextureCreate( raster );
	if ( texture == nullptr ) {
		RwRasterDestroy( raster );
		return nullptr;
	}
	texture->filterAddressing = DTReadBE32( record + 4 ) & WORD_MASK;
	char name[NAME_BYTES + 1];
	Name( name, record + 24 );
	RwTextureSetName( texture, name );
	Name( name, record + 56 );
	RwTextureSetMaskName( texture, name );
	RwGameCubeTextureSetLOD( texture, static_cast<GXBool>( DTReadBE32( record + 12 ) != 0 ),
							 static_cast<GXBool>( DTReadBE32( record + 16 ) != 0 ), DTReadBE32( record + 8 ),
							 DTReadBEF32( record + 20 ) );
	return texture;
}

u32 SizeOf( const RwTexture* texture ) {
	const RwRaster* const raster = texture->raster;
	if ( raster == nullptr ) {
		return SIZE_WITHOUT_RASTER;
	}
	return CHUNK_HEADER_BYTES + RECORD_BYTES + RASTER_HEADER_BYTES +
		   PaletteBytes( static_cast<u32>( raster->cFormat ) << 8, raster->depth ) + COUNT_BYTES +
		   _rwDlRasterGetSize( raster );
}

}	// namespace

bool _rwDlNativeTextureGetSize( void* out, void* inOut, s32 ) {
	*static_cast<u32*>( out ) = SizeOf( static_cast<const RwTexture*>( inOut ) );
	return true;
}

bool _rwDlNativeTextureRead( void* out, void* inOut, s32 ) {
	RwTexture* const texture = ReadTexture( static_cast<RwStream*>( out ) );
	*static_cast<RwTexture**>( inOut ) = texture;
	return texture != nullptr;
}

bool _rwDlNativeTextureWrite( void* out, void* inOut, s32 ) {
	RwStream* const stream = static_cast<RwStream*>( out );
	const RwTexture* const texture = static_cast<const RwTexture*>( inOut );
	const RwRaster* const raster = texture->raster;
	// A texture without a raster has nothing to write.
	if ( raster == nullptr ) {
		return false;
	}
	const u32 size = SizeOf( texture );
	if ( _rwStreamWriteVersionedChunkHeader( stream, CHUNK_STRUCT, size - CHUNK_HEADER_BYTES, CHUNK_VERSION,
											 CHUNK_BUILD ) == nullptr ) {
		return false;
	}
	const RwDlTextureExt* const ext = _rwDlTextureExt( texture );
	const RwDlRasterExt* const rext = _rwDlRasterExt( raster );
	u8 record[RECORD_BYTES] = {};
	DTWriteBE32( record, PLATFORM_ID );
	DTWriteBE32( record + 4, texture->filterAddressing & WORD_MASK );
	if ( ext->state & RWDL_TEXTURE_LOD_NOT_SET ) {
		DTWriteBE32( record + 8, 0 );
		DTWriteBE32( record + 12, 1 );
		DTWriteBE32( record + 16, 1 );
		DTWriteBEF32( record + 20, 0.0f );
	} else {
		const GXTexObj& object = ext->textureObject;
		DTWriteBE32( record + 8, GXGetTexObjMaxAniso( &object ) );
		DTWriteBE32( record + 12, GXGetTexObjBiasClamp( &object ) );
		DTWriteBE32( record + 16, GXGetTexObjEdgeLOD( &object ) );
		DTWriteBEF32( record + 20, GXGetTexObjLODBias( &object ) );
	}
	PutName( record + 24, texture->name );
	PutName( record + 56, texture->mask );

	s32 levels = 1;
	_rwDlRasterGetNumMipLevels( &levels, const_cast<RwRaster*>( raster ), 0 );
	u8 header[RASTER_HEADER_BYTES] = {};
	DTWriteBE32( header, static_cast<u32>( raster->cFormat ) << 8 | raster->cType );
	DTWriteBE16( header + 4, static_cast<u16>( raster->width ) );
	DTWriteBE16( header + 6, static_cast<u16>( raster->height ) );
	header[8] = static_cast<u8>( raster->depth );
	header[9] = static_cast<u8>( levels );
	header[10] = static_cast<u8>( rext->gxFormat );
	header[11] = static_cast<u8>( rext->tlutFormat );
	DTWriteBE32( header + 12, ( rext->flags & RWDL_RASTER_HAS_ALPHA ) ? 1 : 0 );

	const u32 paletteBytes = PaletteBytes( static_cast<u32>( raster->cFormat ) << 8, raster->depth );
	const u32 count = _rwDlRasterGetSize( raster );
	u8 countBytes[COUNT_BYTES];
	DTWriteBE32( countBytes, count );
	return RwStreamWrite( stream, record, RECORD_BYTES ) != nullptr &&
		   RwStreamWrite( stream, header, RASTER_HEADER_BYTES ) != nullptr &&
		   ( paletteBytes == 0 || RwStreamWrite( stream, rext->palette, paletteBytes ) != nullptr ) &&
		   RwStreamWrite( stream, countBytes, COUNT_BYTES ) != nullptr &&
		   RwStreamWrite( stream, rext->texels, count ) != nullptr;
}
