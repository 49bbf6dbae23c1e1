/*
===============================================================================

	Pictures for the decoder kernel tests.

	A pool of up to four pictures of one size, allocated through the
	counting hooks and given back on destruction, with helpers that fill
	planes with seeded noise and read pixels through the tile layout
	written out on its own: 8 x 4 tiles, tile rows of stride / 8 tiles.

===============================================================================
*/
#ifndef M4_TEST_PICTURE_H
#define M4_TEST_PICTURE_H

#include "video/m4/M4Image.h"
#include "video/m4/M4Plane.h"

#include <vector>

class M4TestPictures {
public:
						M4TestPictures( u16 width, u16 height, u32 count );
						~M4TestPictures();
	M4Image&			operator[]( u32 i ) { return images[i]; }

private:
	M4Image				images[4];
	void*				pool;
};

// Byte of pixel (x, y) of a tiled plane of row stride bytes.
u32					M4TestTiledAddress( u32 x, u32 y, u32 stride );
// Every byte of the plane, border included, from a seeded generator.
void				M4TestFillPlane( const M4Plane& plane, u32 seed );
void				M4TestFillPicture( M4Image* picture, u32 seed );
// The padded plane as rows of stride bytes, row after row.
std::vector<u8>		M4TestLinearPlane( const M4Plane& plane );
// Pixel (x, y) in visible coordinates of a plane.
u8&					M4TestPixel( const M4Plane& plane, s32 x, s32 y );
// Pixel (x, y) of a linear copy, coordinates clamped into the plane: the
// plane's edges extended without limit.
u8					M4TestExtended( const std::vector<u8>& linear, const M4Plane& plane, s64 x, s64 y );

#endif
