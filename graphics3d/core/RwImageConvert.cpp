#include "graphics3d/core/RwImageConvert.h"

#include "graphics3d/core/RwError.h"

#include <cstring>

// Index bits of a 4-bit image.
static const u8 NIBBLE_MASK = 0x0F;

static bool IsPalettised( const s32 depth ) {
	return depth == 4 || depth == 8;
}

static bool Supported( const s32 sourceDepth, const s32 destDepth ) {
	if ( sourceDepth == destDepth ) {
		return sourceDepth == 4 || sourceDepth == 8 || sourceDepth == 32;
	}
	return ( sourceDepth == 4 && destDepth == 8 ) || ( IsPalettised( sourceDepth ) && destDepth == 32 );
}

static bool HasMemory( const RwImage* image ) {
	return image->cpPixels != nullptr && ( !IsPalettised( image->depth ) || image->palette != nullptr );
}

static u8* Row( const RwImage* image, const s32 y ) {
	return image->cpPixels + static_cast<size_t>( y ) * static_cast<size_t>( image->stride );
}

static void CopySameDepth( RwImage* dest, const RwImage* source, const s32 width, const s32 height ) {
	if ( IsPalettised( source->depth ) ) {
		std::memcpy( dest->palette, source->palette, sizeof( RwRGBA ) << source->depth );
	}
	const size_t rowBytes = static_cast<size_t>( ( source->depth + 7 ) / 8 ) * static_cast<size_t>( width );
	for ( s32 y = 0; y < height; y++ ) {
		std::memcpy( Row( dest, y ), Row( source, y ), rowBytes );
	}
}

static void CopyIndices4To8( RwImage* dest, const RwImage* source, const s32 width, const s32 height ) {
	for ( s32 y = 0; y < height; y++ ) {
		const u8* const in = Row( source, y );
		u8* const out = Row( dest, y );
		for ( s32 x = 0; x < width; x++ ) {
			out[x] = in[x] & NIBBLE_MASK;
		}
	}
}

static void ExpandPalette( RwImage* dest, const RwImage* source, const s32 width, const s32 height ) {
	for ( s32 y = 0; y < height; y++ ) {
		const u8* const in = Row( source, y );
		RwRGBA* const out = reinterpret_cast<RwRGBA*>( Row( dest, y ) );
		for ( s32 x = 0; x < width; x++ ) {
			out[x] = *_rwImagePaletteColour( source, in[x] );
		}
	}
}

RwImage* RwImageCopy( RwImage* destImage, const RwImage* sourceImage ) {
	if ( !Supported( sourceImage->depth, destImage->depth ) ) {
		_rwErrorSetCore( _rwerror( RWERR_IMAGE_FORMAT ) );
		return nullptr;
	}
	if ( !HasMemory( destImage ) || !HasMemory( sourceImage ) ) {
		_rwErrorSetCore( _rwerror( RWERR_NULL_ARGUMENT ) );
		return nullptr;
	}
	const s32 width = destImage->width < sourceImage->width ? destImage->width : sourceImage->width;
	const s32 height = destImage->height < sourceImage->height ? destImage->height : sourceImage->height;
	if ( sourceImage->depth == destImage->depth ) {
		CopySameDepth( destImage, sourceImage, width, height );
	} else if ( destImage->depth == 8 ) {
		CopyIndices4To8( destImage, sourceImage, width, height );
	} else {
		ExpandPalette( destImage, sourceImage, width, height );
	}
	destImage->flags = ( destImage->flags & ~rwIMAGEGAMMACORRECTED ) | ( sourceImage->flags & rwIMAGEGAMMACORRECTED );
	return destImage;
}
