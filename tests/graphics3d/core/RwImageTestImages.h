/*
===============================================================================

	Image helpers of the 3D library tests: images with pixels filled from
	a function, and pixel access.

===============================================================================
*/
#ifndef RW_IMAGE_TEST_IMAGES_H
#define RW_IMAGE_TEST_IMAGES_H

#include "graphics3d/core/RwImage.h"
#include "RwTestChunks.h"

#include <functional>

inline RwRGBA* RwTestPixel( const RwImage* image, const s32 x, const s32 y ) {
	return reinterpret_cast<RwRGBA*>( image->cpPixels + y * image->stride ) + x;
}

inline u8* RwTestIndex( const RwImage* image, const s32 x, const s32 y ) {
	return image->cpPixels + y * image->stride + x;
}

// A 32-bit image whose pixel (x, y) is colour(x, y).
inline RwImage* RwTestImage32( const s32 width, const s32 height, const std::function<RwRGBA( s32, s32 )>& colour ) {
	RwImage* const image = RwImageCreate( width, height, 32 );
	if ( image == nullptr || RwImageAllocatePixels( image ) == nullptr ) {
		ADD_FAILURE() << "no image";
		return image;
	}
	for ( s32 y = 0; y < height; y++ ) {
		for ( s32 x = 0; x < width; x++ ) {
			*RwTestPixel( image, x, y ) = colour( x, y );
		}
	}
	return image;
}

// A palettised image with index(x, y) and palette entry i = colour(i).
inline RwImage* RwTestImagePal( const s32 width, const s32 height, const s32 depth, const std::function<u8( s32, s32 )>& index,
								const std::function<RwRGBA( s32 )>& colour ) {
	RwImage* const image = RwImageCreate( width, height, depth );
	if ( image == nullptr || RwImageAllocatePixels( image ) == nullptr ) {
		ADD_FAILURE() << "no image";
		return image;
	}
	for ( s32 i = 0; i < ( 1 << depth ); i++ ) {
		image->palette[i] = colour( i );
	}
	for ( s32 y = 0; y < height; y++ ) {
		for ( s32 x = 0; x < width; x++ ) {
			*RwTestIndex( image, x, y ) = index( x, y );
		}
	}
	return image;
}

inline bool operator==( const RwRGBA& a, const RwRGBA& b ) {
	return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

inline std::ostream& operator<<( std::ostream& out, const RwRGBA& c ) {
	return out << "(" << +c.red << "," << +c.green << "," << +c.blue << "," << +c.alpha << ")";
}

#endif
