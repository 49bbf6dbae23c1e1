#include "video/m4/M4Xfb.h"

#include "video/m4/M4Image.h"

namespace {

constexpr u32 M4_XFB_STRIP_WIDTH = 16;
constexpr u32 M4_XFB_STRIP_ROWS = 8;
constexpr u32 M4_XFB_BYTES_PER_PAIR = 4;

} // namespace

u32 M4XfbGetLCSize() {
	return M4_XFB_LC_SIZE;
}

void M4XfbDraw( const VIDImage* image, u8* xfb, const u32 xfbWidth ) {
	if ( image == nullptr || xfb == nullptr || image->y == nullptr || image->u == nullptr || image->v == nullptr ) {
		return;
	}
	const u32 stride = image->texWidth;
	const u32 chromaStride = stride / 2u;
	const u32 pictureColumns = ( static_cast<u32>( image->width ) + 1u ) & ~1u;
	const u32 bufferColumns = xfbWidth & ~1u;
	const u32 columns = pictureColumns < bufferColumns ? pictureColumns : bufferColumns;
	const u32 rows = image->height;
	const u32 xfbStride = ( xfbWidth / 2u ) * M4_XFB_BYTES_PER_PAIR;
	for ( u32 stripY = 0; stripY < rows; stripY += M4_XFB_STRIP_ROWS ) {
		for ( u32 stripX = 0; stripX < columns; stripX += M4_XFB_STRIP_WIDTH ) {
			for ( u32 y = stripY; y < stripY + M4_XFB_STRIP_ROWS && y < rows; y++ ) {
				u8* const line = xfb + static_cast<u64>( y ) * xfbStride;
				for ( u32 x = stripX; x < stripX + M4_XFB_STRIP_WIDTH && x < columns; x += 2 ) {
					u8* const word = line + ( x / 2u ) * M4_XFB_BYTES_PER_PAIR;
					word[0] = image->y[M4TiledOffset( x, y, stride )];
					word[1] = image->u[M4TiledOffset( x / 2u, y / 2u, chromaStride )];
					word[2] = image->y[M4TiledOffset( x + 1, y, stride )];
					word[3] = image->v[M4TiledOffset( x / 2u, y / 2u, chromaStride )];
				}
			}
		}
	}
}
