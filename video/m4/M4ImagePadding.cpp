#include "video/m4/M4ImagePadding.h"

#include "video/m4/M4Plane.h"

#include <cstring>

namespace {

constexpr u32 M4_TILE_WIDTH = 8;
constexpr u32 M4_TILE_HEIGHT = 4;
constexpr u32 M4_TILE_BYTES = M4_TILE_WIDTH * M4_TILE_HEIGHT;

bool M4PlaneHasBorder( const M4Plane& plane ) {
	return plane.mStride > 2 * plane.mBorder && plane.mRows > 2 * plane.mBorder;
}

void M4PadPlaneReference( const M4Plane& plane ) {
	const u32 border = plane.mBorder;
	if ( !M4PlaneHasBorder( plane ) ) {
		return;
	}
	const u32 lastColumn = plane.mStride - border - 1;
	const u32 lastRow = plane.mRows - border - 1;
	u8* const base = plane.mBase;
	const u32 stride = plane.mStride;
	for ( u32 y = border; y <= lastRow; y++ ) {
		const u8 left = base[M4TiledOffset( border, y, stride )];
		const u8 right = base[M4TiledOffset( lastColumn, y, stride )];
		for ( u32 x = 0; x < border; x++ ) {
			base[M4TiledOffset( x, y, stride )] = left;
			base[M4TiledOffset( lastColumn + 1 + x, y, stride )] = right;
		}
	}
	for ( u32 x = 0; x < stride; x++ ) {
		const u8 top = base[M4TiledOffset( x, border, stride )];
		const u8 bottom = base[M4TiledOffset( x, lastRow, stride )];
		for ( u32 y = 0; y < border; y++ ) {
			base[M4TiledOffset( x, y, stride )] = top;
			base[M4TiledOffset( x, lastRow + 1 + y, stride )] = bottom;
		}
	}
}

// Fills the border tile rows from tileRow (the first of count) with
// copies of pixel row source: the first is built tile by tile, the
// others copied from it whole.
void M4FillTileRows( u8* const base, const u32 stride, const u32 tileRow, const u32 count, const u32 source ) {
	const u8* const from = base + ( source & ~3u ) * stride + ( source & 3u ) * M4_TILE_WIDTH;
	u8* const first = base + tileRow * M4_TILE_HEIGHT * stride;
	for ( u32 tile = 0; tile < stride / M4_TILE_WIDTH; tile++ ) {
		u8 line[M4_TILE_WIDTH];
		std::memcpy( line, from + tile * M4_TILE_BYTES, M4_TILE_WIDTH );
		for ( u32 r = 0; r < M4_TILE_HEIGHT; r++ ) {
			std::memcpy( first + tile * M4_TILE_BYTES + r * M4_TILE_WIDTH, line, M4_TILE_WIDTH );
		}
	}
	for ( u32 k = 1; k < count; k++ ) {
		std::memcpy( first + k * M4_TILE_HEIGHT * stride, first, M4_TILE_HEIGHT * stride );
	}
}

// The same result by whole tile lines: a row's border is whole tiles
// filled 8 bytes at a time, and the top and bottom borders are whole tile
// rows. Planes whose border or size is not made of whole tiles take the
// pixel-by-pixel path.
void M4PadPlane( const M4Plane& plane ) {
	const u32 border = plane.mBorder;
	const u32 stride = plane.mStride;
	if ( !M4PlaneHasBorder( plane ) ) {
		return;
	}
	if ( border % M4_TILE_WIDTH != 0 || stride % M4_TILE_WIDTH != 0 || plane.mRows % M4_TILE_HEIGHT != 0 ) {
		M4PadPlaneReference( plane );
		return;
	}
	u8* const base = plane.mBase;
	const u32 lastColumn = stride - border - 1;
	const u32 lastRow = plane.mRows - border - 1;
	const u32 borderTiles = border / M4_TILE_WIDTH;
	for ( u32 y = border; y <= lastRow; y++ ) {
		u8* const row = base + ( y & ~3u ) * stride + ( y & 3u ) * M4_TILE_WIDTH;
		u8* const leftTiles = row;
		u8* const rightTiles = row + ( lastColumn + 1 ) * M4_TILE_HEIGHT;
		const u8 left = row[border * M4_TILE_HEIGHT];
		const u8 right = row[( lastColumn & ~7u ) * M4_TILE_HEIGHT + ( lastColumn & 7u )];
		for ( u32 tile = 0; tile < borderTiles; tile++ ) {
			std::memset( leftTiles + tile * M4_TILE_BYTES, left, M4_TILE_WIDTH );
			std::memset( rightTiles + tile * M4_TILE_BYTES, right, M4_TILE_WIDTH );
		}
	}
	const u32 borderTileRows = border / M4_TILE_HEIGHT;
	M4FillTileRows( base, stride, 0, borderTileRows, border );
	M4FillTileRows( base, stride, ( lastRow + 1 ) / M4_TILE_HEIGHT, borderTileRows, lastRow );
}

} // namespace

void M4ImageCreatePadding( M4Image* picture ) {
	for ( u32 component = M4_PLANE_Y; component <= M4_PLANE_V; component++ ) {
		M4PadPlane( M4ImagePlane( picture, component ) );
	}
}

void M4ImageCreatePaddingReference( M4Image* picture ) {
	for ( u32 component = M4_PLANE_Y; component <= M4_PLANE_V; component++ ) {
		M4PadPlaneReference( M4ImagePlane( picture, component ) );
	}
}
