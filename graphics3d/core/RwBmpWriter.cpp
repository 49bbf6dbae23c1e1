#include "graphics3d/core/RwBmpWriter.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"

// Bits per pixel of every file written.
static const s32 BITS_PER_PIXEL		= 24;
static const u32 BYTES_PER_PIXEL	= 3;
// The file size field counts the 40-byte info header whatever is written.
static const u32 FILE_SIZE_BASE		= RTBMP_FILE_HEADER_BYTES + RTBMP_INFO_HEADER_BYTES;
static const u8 SIGNATURE[2]		= { 'B', 'M' };

// Bytes of a stored row: whole 32-bit words.
static u64 RowBytes( const s32 width, const s32 bitsPerPixel = BITS_PER_PIXEL ) {
	const u64 bits = static_cast<u64>( static_cast<u32>( width ) ) * static_cast<u32>( bitsPerPixel );
	return ( ( bits + 31 ) & ~static_cast<u64>( 31 ) ) / 8;
}

static bool WriteInt32( RwStream* stream, const u32 value ) {
	return RwStreamWriteInt32( stream, &value, sizeof( value ) ) != nullptr;
}

static bool WriteInt16( RwStream* stream, const u16 value ) {
	return RwStreamWriteInt16( stream, &value, sizeof( value ) ) != nullptr;
}

u32 BMPWriteInfoHeader( RwStream* stream, const s32 headerType, const s32 bitsPerPixel, const s32 width, const s32 height ) {
	if ( headerType == RTBMP_CORE_HEADER ) {
		const bool written = WriteInt32( stream, RTBMP_CORE_HEADER_BYTES ) && WriteInt16( stream, static_cast<u16>( width ) ) &&
							 WriteInt16( stream, static_cast<u16>( height ) ) && WriteInt16( stream, 1 ) &&
							 WriteInt16( stream, static_cast<u16>( bitsPerPixel ) );
		return written ? RTBMP_CORE_HEADER_BYTES : 0;
	}
	if ( headerType != RTBMP_INFO_HEADER ) {
		return 0;
	}
	// Size, width, height, planes and depth; then compression, image
	// size, two resolutions and two colour counts, all 0.
	bool written = WriteInt32( stream, RTBMP_INFO_HEADER_BYTES ) && WriteInt32( stream, static_cast<u32>( width ) ) &&
				   WriteInt32( stream, static_cast<u32>( height ) ) && WriteInt16( stream, 1 ) &&
				   WriteInt16( stream, static_cast<u16>( bitsPerPixel ) );
	for ( s32 i = 0; written && i < 6; i++ ) {
		written = WriteInt32( stream, 0 );
	}
	return written ? RTBMP_INFO_HEADER_BYTES : 0;
}

static const RwRGBA* PixelColour( const RwImage* image, const u8* row, const s32 x ) {
	if ( image->depth == 32 ) {
		return reinterpret_cast<const RwRGBA*>( row ) + x;
	}
	return _rwImagePaletteColour( image, row[x] );
}

u32 BMPWriteRow( RwStream* stream, const RwImage* image, const s32 row, const s32 width, const s32 bitsPerPixel,
				 u8* rowBuffer ) {
	const u8* const pixels = image->cpPixels + static_cast<size_t>( row ) * static_cast<size_t>( image->stride );
	const u32 pixelBytes = static_cast<u32>( width ) * BYTES_PER_PIXEL;
	for ( s32 x = 0; x < width; x++ ) {
		const RwRGBA* const colour = PixelColour( image, pixels, x );
		const u8 bgr[BYTES_PER_PIXEL] = { colour->blue, colour->green, colour->red };
		if ( rowBuffer != nullptr ) {
			rowBuffer[x * BYTES_PER_PIXEL] = bgr[0];
			rowBuffer[x * BYTES_PER_PIXEL + 1] = bgr[1];
			rowBuffer[x * BYTES_PER_PIXEL + 2] = bgr[2];
		} else if ( RwStreamWrite( stream, bgr, BYTES_PER_PIXEL ) == nullptr ) {
			return 0;
		}
	}
	if ( rowBuffer != nullptr && RwStreamWrite( stream, rowBuffer, pixelBytes ) == nullptr ) {
		return 0;
	}
	const u32 rowBytes = static_cast<u32>( RowBytes( width, bitsPerPixel ) );
	static const u8 zero = 0;
	for ( u32 written = pixelBytes; written < rowBytes; written++ ) {
		if ( RwStreamWrite( stream, &zero, 1 ) == nullptr ) {
			return 0;
		}
	}
	return rowBytes;
}

bool BMPEncode( RwStream* stream, const s32 headerType, const s32 width, const s32 height, const RwImage* image ) {
	const u32 infoBytes = headerType == RTBMP_CORE_HEADER ? RTBMP_CORE_HEADER_BYTES : RTBMP_INFO_HEADER_BYTES;
	const u32 fileSize = static_cast<u32>( FILE_SIZE_BASE + static_cast<u64>( height ) * RowBytes( width ) );
	const bool headerWritten = RwStreamWrite( stream, SIGNATURE, sizeof( SIGNATURE ) ) != nullptr &&
							   WriteInt32( stream, fileSize ) && WriteInt16( stream, 0 ) && WriteInt16( stream, 0 ) &&
							   WriteInt32( stream, RTBMP_FILE_HEADER_BYTES + infoBytes ) &&
							   BMPWriteInfoHeader( stream, headerType, BITS_PER_PIXEL, width, height ) == infoBytes;
	if ( !headerWritten ) {
		return false;
	}
	RwMemoryFunctions* const memory = &RwEngineInstance->memoryFunctions;
	u8* const rowBuffer = static_cast<u8*>( memory->rwmalloc( static_cast<u32>( width ) * BYTES_PER_PIXEL ) );
	bool written = true;
	for ( s32 y = height - 1; written && y >= 0; y-- ) {
		written = BMPWriteRow( stream, image, y, width, BITS_PER_PIXEL, rowBuffer ) != 0;
	}
	if ( rowBuffer != nullptr ) {
		memory->rwfree( rowBuffer );
	}
	return written;
}

static bool Writable( const RwImage* image ) {
	if ( image->depth != 4 && image->depth != 8 && image->depth != 32 ) {
		return false;
	}
	if ( image->cpPixels == nullptr || ( image->depth != 32 && image->palette == nullptr ) ) {
		return false;
	}
	// Sizes whose file size would not fit its 32-bit field are refused.
	if ( image->width <= 0 || image->height <= 0 ) {
		return false;
	}
	return FILE_SIZE_BASE + static_cast<u64>( image->height ) * RowBytes( image->width ) <= 0xFFFFFFFFu;
}

RwImage* RtBMPImageWrite( RwImage* image, const char* fileName ) {
	if ( !Writable( image ) ) {
		return nullptr;
	}
	RwStream* const stream = RwStreamOpen( rwSTREAMFILENAME, rwSTREAMWRITE, fileName );
	if ( stream == nullptr ) {
		return nullptr;
	}
	const bool encoded = BMPEncode( stream, RTBMP_INFO_HEADER, image->width, image->height, image );
	const bool closed = RwStreamClose( stream, nullptr );
	return encoded && closed ? image : nullptr;
}
