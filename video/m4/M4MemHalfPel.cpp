#include "video/m4/M4MemHalfPel.h"

namespace {

constexpr u32 M4_WINDOW = 9;	// 8 pixels and the extra half-sample one

// window[r][c] = the reference pixel at (x + c, row r) where rowOf gives
// the padded row; columns clamp, rows come clamped from rowOf.
void M4FetchRow( const M4Plane& plane, const s64 x, const u32 paddedRow, u8* out ) {
	const u8* const rowBase = plane.mBase + M4TiledOffset( 0, paddedRow, plane.mStride );
	for ( u32 c = 0; c < M4_WINDOW; c++ ) {
		const u32 column = M4PlaneColumn( plane, x + c );
		out[c] = rowBase[( column & ~7u ) * 4 + ( column & 7u )];
	}
}

// The block from a fetched window with half-sample flags hx, hy.
void M4Interpolate( const u8 window[M4_WINDOW][M4_WINDOW], const u32 rows, const u32 hx, const u32 hy, const u32 rounding, u8* dst, const u32 dstStride, const u32 dstFirstRow, const u32 dstRowStep ) {
	const s32 r = static_cast<s32>( rounding & 1 );
	for ( u32 j = 0; j < rows; j++ ) {
		u8* const out = dst + M4TiledOffset( 0, dstFirstRow + j * dstRowStep, dstStride );
		const u8* const a = window[j];
		const u8* const b = window[j + 1];
		for ( u32 i = 0; i < 8; i++ ) {
			s32 v;
			if ( hx == 0 && hy == 0 ) {
				v = a[i];
			} else if ( hy == 0 ) {
				v = ( a[i] + a[i + 1] + 1 - r ) >> 1;
			} else if ( hx == 0 ) {
				v = ( a[i] + b[i] + 1 - r ) >> 1;
			} else {
				v = ( a[i] + a[i + 1] + b[i] + b[i + 1] + 2 - r ) >> 2;
			}
			out[i] = static_cast<u8>( v );
		}
	}
}

} // namespace

void M4MemHalfPelInterpolate( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	const s64 left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64 top = static_cast<s64>( y ) + ( vector.y >> 1 );
	u8 window[M4_WINDOW][M4_WINDOW];
	if ( M4PlaneContains( reference, left, top, M4_WINDOW, M4_WINDOW ) ) {
		const u32 column = static_cast<u32>( left + reference.mBorder );
		const u32 row = static_cast<u32>( top + reference.mBorder );
		for ( u32 j = 0; j < M4_WINDOW; j++ ) {
			for ( u32 i = 0; i < M4_WINDOW; i++ ) {
				window[j][i] = reference.mBase[M4TiledOffset( column + i, row + j, reference.mStride )];
			}
		}
	} else {
		for ( u32 j = 0; j < M4_WINDOW; j++ ) {
			M4FetchRow( reference, left, M4PlaneRow( reference, top + j ), window[j] );
		}
	}
	M4Interpolate( window, 8, vector.x & 1, vector.y & 1, rounding, dst, dstStride, 0, 1 );
}

void M4MemHalfPelFields( u8* dst, const u32 dstStride, const u32 dstField, const M4Plane& reference, const s32 x, const s32 fieldY, const M4_VECTOR& vector, const u32 fieldSelect, const u32 rows, const u32 rounding ) {
	const u32 count = rows < 8 ? rows : 8;
	const u32 parity = fieldSelect & 1;
	const s64 left = static_cast<s64>( x ) + ( vector.x >> 1 );
	// Field rows from the top of the padded plane; each field has half the
	// plane's rows and half its border.
	const s64 fieldTop = static_cast<s64>( fieldY ) + ( vector.y >> 2 ) + reference.mBorder / 2;
	const s64 lastFieldRow = static_cast<s64>( reference.mRows / 2 ) - 1;
	u8 window[M4_WINDOW][M4_WINDOW];
	for ( u32 j = 0; j <= count; j++ ) {
		s64 fieldRow = fieldTop + j;
		fieldRow = fieldRow < 0 ? 0 : ( fieldRow > lastFieldRow ? lastFieldRow : fieldRow );
		M4FetchRow( reference, left, static_cast<u32>( 2 * fieldRow + parity ), window[j] );
	}
	M4Interpolate( window, count, vector.x & 1, ( vector.y >> 1 ) & 1, rounding, dst, dstStride, dstField & 1, 2 );
}
