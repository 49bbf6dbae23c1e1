#include "graphics3d/core/RwImageChunk.h"

#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"

#include "datatypes/base/DTByteOrder.h"

#include <cstring>

struct StoredImageHeader {
	s32		width;
	s32		height;
	s32		depth;
	s32		stride;
};

static RwImage* Fail( RwImage* image, const u32 code ) {
	if ( code != 0 ) {
		_rwErrorSetCore( _rwerror( code ) );
	}
	if ( image != nullptr ) {
		RwImageDestroy( image );
	}
	return nullptr;
}

static u64 PaletteBytes( const s32 depth ) {
	return depth <= 8 ? ( static_cast<u64>( 1 ) << depth ) * sizeof( RwRGBA ) : 0;
}

// The header's sizes against what they may claim, the payload included.
static u32 CheckHeader( const StoredImageHeader& header, const u32 payloadLength ) {
	if ( header.depth != 4 && header.depth != 8 && header.depth != 32 ) {
		return RWERR_IMAGE_FORMAT;
	}
	if ( header.width <= 0 || header.height <= 0 || header.stride < 0 ) {
		return RWERR_READ;
	}
	const u64 needed = RWIMAGE_CHUNK_HEADER_BYTES + static_cast<u64>( header.stride ) * static_cast<u64>( header.height ) +
					   PaletteBytes( header.depth );
	if ( needed > payloadLength ) {
		return RWERR_READ;
	}
	// Stored rows may be narrower than the image's own, so the stride
	// alone does not bound the allocation: the picture's own bits must
	// fit in the payload too.
	const u64 pictureBytes =
		( static_cast<u64>( header.width ) * static_cast<u64>( header.height ) * static_cast<u64>( header.depth ) + 7 ) / 8;
	return pictureBytes <= payloadLength ? 0u : static_cast<u32>( RWERR_READ );
}

static bool ReadRows( RwStream* stream, RwImage* image, const s32 storedStride ) {
	const u32 ownStride = static_cast<u32>( image->stride );
	const u32 stored = static_cast<u32>( storedStride );
	if ( ownStride == stored ) {
		const u32 bytes = ownStride * static_cast<u32>( image->height );
		return RwStreamRead( stream, image->cpPixels, bytes ) == bytes;
	}
	const u32 kept = ownStride < stored ? ownStride : stored;
	for ( s32 y = 0; y < image->height; y++ ) {
		u8* const row = image->cpPixels + static_cast<size_t>( y ) * ownStride;
		if ( RwStreamRead( stream, row, kept ) != kept ) {
			return false;
		}
		std::memset( row + kept, 0, ownStride - kept );
		if ( stored > kept && RwStreamSkip( stream, stored - kept ) == nullptr ) {
			return false;
		}
	}
	return true;
}

RwImage* RwImageStreamRead( RwStream* stream ) {
	u32 length = 0;
	if ( !RwStreamFindChunk( stream, rwID_STRUCT, &length, nullptr ) ) {
		return nullptr;
	}
	// A payload longer than the stream is refused before it sizes anything.
	u32 left = 0;
	if ( _rwStreamBytesLeft( stream, &left ) && length > left ) {
		return Fail( nullptr, RWERR_READ );
	}
	u8 words[RWIMAGE_CHUNK_HEADER_BYTES];
	if ( length < RWIMAGE_CHUNK_HEADER_BYTES || RwStreamRead( stream, words, RWIMAGE_CHUNK_HEADER_BYTES ) != RWIMAGE_CHUNK_HEADER_BYTES ) {
		return Fail( nullptr, RWERR_READ );
	}
	const StoredImageHeader header = { DTReadLES32( words ), DTReadLES32( words + 4 ), DTReadLES32( words + 8 ),
									   DTReadLES32( words + 12 ) };
	const u32 problem = CheckHeader( header, length );
	if ( problem != 0 ) {
		return Fail( nullptr, problem );
	}
	RwImage* const image = RwImageCreate( header.width, header.height, header.depth );
	if ( image == nullptr ) {
		return nullptr;
	}
	if ( RwImageAllocatePixels( image ) == nullptr ) {
		return Fail( image, 0 );
	}
	if ( !ReadRows( stream, image, header.stride ) ) {
		return Fail( image, RWERR_READ );
	}
	const u32 paletteBytes = static_cast<u32>( PaletteBytes( header.depth ) );
	if ( paletteBytes != 0 && RwStreamRead( stream, image->palette, paletteBytes ) != paletteBytes ) {
		return Fail( image, RWERR_READ );
	}
	// What the payload holds beyond rows and palette belongs to nobody.
	const u64 used = RWIMAGE_CHUNK_HEADER_BYTES + static_cast<u64>( header.stride ) * static_cast<u32>( header.height ) +
					 paletteBytes;
	if ( used < length && RwStreamSkip( stream, static_cast<u32>( length - used ) ) == nullptr ) {
		return Fail( image, RWERR_READ );
	}
	return image;
}
