#include "video/m4/M4ImagePadding.h"

#include "video/m4/M4Plane.h"

namespace {

void M4PadPlane( const M4Plane& plane ) {
	const u32 border = plane.mBorder;
	if ( plane.mStride <= 2 * border || plane.mRows <= 2 * border ) {
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

} // namespace

void M4ImageCreatePadding( M4Image* picture ) {
	for ( u32 component = M4_PLANE_Y; component <= M4_PLANE_V; component++ ) {
		M4PadPlane( M4ImagePlane( picture, component ) );
	}
}
