/*
===============================================================================

	A decoded picture.

	Three planes (Y, then U and V at a quarter of its size each) follow one
	another in one block with 96 bytes after each, in the GPU's
	intensity-8 tiling (8x4-byte tiles, padded width / 8 tiles a row), so
	the planes are drawn as textures with no copy. Each plane keeps a
	border of 32 (luma) or 16 (chroma) pixels around the visible picture
	for motion vectors that point outside. A new picture is black.

	Picture memory is pooled: init registers a picture's size with the
	pool, mallocPool allocates the sum once through the allocation hook and
	lays the pictures out in request order.

===============================================================================
*/
#ifndef M4_IMAGE_H
#define M4_IMAGE_H

#include "datatypes/base/DTTypes.h"

constexpr u32 M4_IMAGE_MAX_REQUESTS		= 7;
constexpr u32 M4_IMAGE_BORDER			= 32;	// luma pixels on each side
constexpr u32 M4_IMAGE_PLANE_GAP		= 96;	// bytes after each plane
constexpr u8  M4_IMAGE_BLACK_LUMA		= 16;
constexpr u8  M4_IMAGE_BLACK_CHROMA		= 128;
// Largest width or height a picture can have: its padded size must fit
// the 16-bit size fields of the picture and of the texture it is drawn as.
constexpr u32 M4_IMAGE_MAX_SIZE			= 4096;

// Byte offset of pixel (x, y) in a tiled plane of row stride bytes.
inline u32 M4TiledOffset( const u32 x, const u32 y, const u32 stride ) {
	return ( y & ~3u ) * stride + ( y & 3u ) * 8 + ( x & ~7u ) * 4 + ( x & 7u );
}

class M4Image {
public:
	// Sets the picture's size and registers it with the pool; false for a
	// width or height of 0 or above M4_IMAGE_MAX_SIZE, and when the pool
	// already holds its most requests.
	bool				init( u16 width, u16 height );

	// Bytes one picture of this size takes.
	u64					byteSize() const;
	// Lays the picture out at memory and paints it black.
	void				place( u8* memory );

	// Forgets every request.
	static void			initMallocPool();
	// Registers image; false (and a debug message) past the most requests.
	static bool			addMemRequest( M4Image* image );
	// One block for every requested picture, laid out in request order;
	// null when the allocation fails or the sum does not fit 32 bits.
	static void*		mallocPool();
	// Frees a block of mallocPool.
	static void			freePool( void* pool );

	u16					mWidth;
	u16					mHeight;
	u16					mPaddedWidth;		// width rounded up to 16, plus 64
	u16					mPaddedHeight;
	u8*					mY;					// visible origins
	u8*					mU;
	u8*					mV;
	u8*					mPlaneY;			// plane bases
	u8*					mPlaneU;
	u8*					mPlaneV;

private:
	static M4Image*		sRequests[M4_IMAGE_MAX_REQUESTS];
	static u32			sRequestCount;
};

#endif
