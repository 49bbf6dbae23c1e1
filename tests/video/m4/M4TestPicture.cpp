#include "M4TestPicture.h"

#include "M4TestHooks.h"

#include <algorithm>

M4TestPictures::M4TestPictures( const u16 width, const u16 height, const u32 count ) {
	M4TestInstallHooks( false );
	M4Image::initMallocPool();
	for ( u32 i = 0; i < count && i < 4; i++ ) {
		images[i].init( width, height );
	}
	pool = M4Image::mallocPool();
}

M4TestPictures::~M4TestPictures() {
	M4Image::freePool( pool );
	M4Image::initMallocPool();
}

u32 M4TestTiledAddress( const u32 x, const u32 y, const u32 stride ) {
	const u32 tileRow = y / 4;
	const u32 tileColumn = x / 8;
	return tileRow * ( stride / 8 ) * 32 + tileColumn * 32 + ( y % 4 ) * 8 + x % 8;
}

void M4TestFillPlane( const M4Plane& plane, const u32 seed ) {
	u32 state = seed * 2654435761u + 1;
	const u32 bytes = plane.mStride * plane.mRows;
	for ( u32 i = 0; i < bytes; i++ ) {
		state = state * 1664525u + 1013904223u;
		plane.mBase[i] = static_cast<u8>( state >> 24 );
	}
}

void M4TestFillPicture( M4Image* picture, const u32 seed ) {
	for ( u32 c = M4_PLANE_Y; c <= M4_PLANE_V; c++ ) {
		M4TestFillPlane( M4ImagePlane( picture, c ), seed + 17 * c );
	}
}

std::vector<u8> M4TestLinearPlane( const M4Plane& plane ) {
	std::vector<u8> linear( static_cast<size_t>( plane.mStride ) * plane.mRows );
	for ( u32 y = 0; y < plane.mRows; y++ ) {
		for ( u32 x = 0; x < plane.mStride; x++ ) {
			linear[static_cast<size_t>( y ) * plane.mStride + x] = plane.mBase[M4TestTiledAddress( x, y, plane.mStride )];
		}
	}
	return linear;
}

u8& M4TestPixel( const M4Plane& plane, const s32 x, const s32 y ) {
	return plane.mBase[M4TestTiledAddress( static_cast<u32>( x + static_cast<s32>( plane.mBorder ) ), static_cast<u32>( y + static_cast<s32>( plane.mBorder ) ), plane.mStride )];
}

u8 M4TestExtended( const std::vector<u8>& linear, const M4Plane& plane, const s64 x, const s64 y ) {
	const s64 column = std::clamp<s64>( x + plane.mBorder, 0, plane.mStride - 1 );
	const s64 row = std::clamp<s64>( y + plane.mBorder, 0, plane.mRows - 1 );
	return linear[static_cast<size_t>( row * plane.mStride + column )];
}
