#include "video/m4/M4MemHalfPel.h"

#include <emmintrin.h>


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

// Field rows count from the top of the padded plane; each field has half
// the plane's rows and half its border. The padded plane row of field
// row fieldTop + j of field parity, clamped into the field.
u32 M4FieldPaddedRow( const M4Plane& plane, const s64 fieldTop, const u32 j, const u32 parity ) {
	const s64 lastFieldRow = static_cast<s64>( plane.mRows / 2 ) - 1;
	s64 fieldRow = fieldTop + j;
	fieldRow = fieldRow < 0 ? 0 : ( fieldRow > lastFieldRow ? lastFieldRow : fieldRow );
	return static_cast<u32>( 2 * fieldRow + parity );
}

// The top field row a field vector reads for field row fieldY.
s64 M4FieldTop( const M4Plane& plane, const s32 fieldY, const M4_VECTOR& vector ) {
	return static_cast<s64>( fieldY ) + ( vector.y >> 2 ) + plane.mBorder / 2;
}

// The block from a fetched window with half-sample flags hx, hy, stored
// or averaged into dst.
void M4Interpolate( const u8 window[M4_WINDOW][M4_WINDOW], const u32 rows, const u32 hx, const u32 hy, const u32 rounding, u8* dst, const u32 dstStride, const u32 dstFirstRow, const u32 dstRowStep, const bool average ) {
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
			out[i] = static_cast<u8>( average ? ( out[i] + v + 1 ) >> 1 : v );
		}
	}
}

// A window of up to 17 rows of WIDTH + 1 pixels: each row's pixels 0 ..
// WIDTH - 1 and 1 .. WIDTH (only the low 8 bytes for WIDTH 8).
struct M4WindowRows {
	__m128i		first[17];
	__m128i		second[17];
};

// Where a window's first column lies in its tile: the bit shifts that
// take a row's pixels (and the pixels one column on) out of its tile lines.
struct M4TileShift {
	__m128i		right;			// 8 x (column mod 8)
	__m128i		left;			// 64 less that
	__m128i		nextRight;		// the same one column on; 64 shifts out all
	__m128i		nextLeft;

	explicit M4TileShift( const u32 column ) {
		const s32 bits = static_cast<s32>( 8 * ( column & 7u ) );
		right = _mm_cvtsi32_si128( bits );
		left = _mm_cvtsi32_si128( 64 - bits );
		nextRight = _mm_cvtsi32_si128( bits + 8 );
		nextLeft = _mm_cvtsi32_si128( 56 - bits );
	}
};

// Row r of the window from the tiled plane: columns column .. column +
// WIDTH span WIDTH / 8 + 1 tiles, 32 bytes apart, every one inside the
// plane. Each 64-bit lane takes the tile line it starts in shifted right
// and the next one shifted left (a shift by 64 gives zero, so a window on
// a tile's first column needs no case of its own). The second set is made
// only when withSecond.
template<u32 WIDTH>
inline void M4FetchTiledRow( const u8* const rowBase, const u32 column, const M4TileShift& shift, M4WindowRows* rows, const u32 r, const bool withSecond ) {
	const u8* const tile = rowBase + ( column & ~7u ) * 4;
	const __m128i	t0 = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( tile ) );
	const __m128i	t1 = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( tile + 32 ) );
	__m128i			low = t0;
	__m128i			high = t1;
	if ( WIDTH == 16 ) {
		const __m128i t2 = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( tile + 64 ) );
		low = _mm_unpacklo_epi64( t0, t1 );
		high = _mm_unpacklo_epi64( t1, t2 );
	}
	rows->first[r] = _mm_or_si128( _mm_srl_epi64( low, shift.right ), _mm_sll_epi64( high, shift.left ) );
	if ( withSecond ) {
		rows->second[r] = _mm_or_si128( _mm_srl_epi64( low, shift.nextRight ), _mm_sll_epi64( high, shift.nextLeft ) );
	}
}

// Row r of the windows of two planes of one geometry (the chroma planes),
// eight columns each: the first plane's in the low half, the second's in
// the high half.
inline void M4FetchTiledRowPair( const u8* const rowBase, const u8* const otherRowBase, const u32 column, const M4TileShift& shift, M4WindowRows* rows, const u32 r, const bool withSecond ) {
	const u32		tile = ( column & ~7u ) * 4;
	const __m128i	low = _mm_unpacklo_epi64( _mm_loadl_epi64( reinterpret_cast<const __m128i*>( rowBase + tile ) ),
											  _mm_loadl_epi64( reinterpret_cast<const __m128i*>( otherRowBase + tile ) ) );
	const __m128i	high = _mm_unpacklo_epi64( _mm_loadl_epi64( reinterpret_cast<const __m128i*>( rowBase + tile + 32 ) ),
											   _mm_loadl_epi64( reinterpret_cast<const __m128i*>( otherRowBase + tile + 32 ) ) );
	rows->first[r] = _mm_or_si128( _mm_srl_epi64( low, shift.right ), _mm_sll_epi64( high, shift.left ) );
	if ( withSecond ) {
		rows->second[r] = _mm_or_si128( _mm_srl_epi64( low, shift.nextRight ), _mm_sll_epi64( high, shift.nextLeft ) );
	}
}

// Row r of the window through the clamped plane, eight columns at a time.
template<u32 WIDTH>
inline void M4FetchClampedRow( const M4Plane& plane, const s64 left, const u32 paddedRow, M4WindowRows* rows, const u32 r ) {
	u8 window[WIDTH / 8][M4_WINDOW + 7];
	for ( u32 half = 0; half < WIDTH / 8; half++ ) {
		M4FetchRow( plane, left + 8 * half, paddedRow, window[half] );
	}
	const __m128i first = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[0] ) );
	const __m128i second = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[0] + 1 ) );
	if ( WIDTH == 8 ) {
		rows->first[r] = first;
		rows->second[r] = second;
		return;
	}
	rows->first[r] = _mm_unpacklo_epi64( first, _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[WIDTH / 8 - 1] ) ) );
	rows->second[r] = _mm_unpacklo_epi64( second, _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[WIDTH / 8 - 1] + 1 ) ) );
}

// (a + b + 1 - rounding) >> 1 per byte.
inline __m128i M4Average2( const __m128i a, const __m128i b, const __m128i roundingBit ) {
	const __m128i up = _mm_avg_epu8( a, b );
	return _mm_sub_epi8( up, _mm_and_si128( _mm_xor_si128( a, b ), roundingBit ) );
}

// (a + b + c + d + 2 - rounding) >> 2 per byte, from byte averages. With
// x = (a + b + 1) >> 1 and y = (c + d + 1) >> 1, the sum is 2 (x + y) less
// the two pairs' odd bits, so the result is (x + y + 1) >> 1 less one
// when: rounding 0, x + y is odd and a pair was odd; rounding 1, x + y is
// odd or both pairs were (checked for every four bytes and both roundings).
template<u32 ROUNDING>
inline __m128i M4Average4( const __m128i a, const __m128i b, const __m128i c, const __m128i d ) {
	const __m128i x = _mm_avg_epu8( a, b );
	const __m128i y = _mm_avg_epu8( c, d );
	const __m128i xy = _mm_xor_si128( x, y );
	const __m128i ab = _mm_xor_si128( a, b );
	const __m128i cd = _mm_xor_si128( c, d );
	const __m128i odd = ROUNDING == 0 ? _mm_and_si128( xy, _mm_or_si128( ab, cd ) ) : _mm_or_si128( xy, _mm_and_si128( ab, cd ) );
	return _mm_sub_epi8( _mm_avg_epu8( x, y ), _mm_and_si128( odd, _mm_set1_epi8( 1 ) ) );
}

// Stores WIDTH pixels as one tile line, or for WIDTH 16 the low eight at
// at and the high eight at highAt (the next tile, or the same line of the
// other chroma plane); with AVERAGE their average with the pixels there,
// rounding up.
template<u32 WIDTH, bool AVERAGE>
inline void M4StoreRow( u8* at, u8* highAt, __m128i v ) {
	if ( AVERAGE ) {
		__m128i held = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( at ) );
		if ( WIDTH == 16 ) {
			held = _mm_unpacklo_epi64( held, _mm_loadl_epi64( reinterpret_cast<const __m128i*>( highAt ) ) );
		}
		v = _mm_avg_epu8( v, held );
	}
	_mm_storel_epi64( reinterpret_cast<__m128i*>( at ), v );
	if ( WIDTH == 16 ) {
		_mm_storel_epi64( reinterpret_cast<__m128i*>( highAt ), _mm_srli_si128( v, 8 ) );
	}
}

// The block from the window rows with half-sample flags hx, hy, into rows
// dstFirstRow, dstFirstRow + dstRowStep, .. of dst (and for WIDTH 16 of
// dstHigh); one loop per case.
template<u32 WIDTH, bool AVERAGE>
void M4InterpolateRows( const M4WindowRows& w, const u32 rows, const u32 hx, const u32 hy, const u32 rounding, u8* dst, u8* dstHigh, const u32 dstStride, const u32 dstFirstRow, const u32 dstRowStep ) {
	const __m128i	roundingBit = _mm_set1_epi8( static_cast<char>( rounding & 1 ) );
	auto each = [&]( auto rowOf ) {
		for ( u32 j = 0; j < rows; j++ ) {
			const u32 offset = M4TiledOffset( 0, dstFirstRow + j * dstRowStep, dstStride );
			M4StoreRow<WIDTH, AVERAGE>( dst + offset, dstHigh + offset, rowOf( j ) );
		}
	};
	if ( hx == 0 && hy == 0 ) {
		each( [&]( const u32 j ) { return w.first[j]; } );
	} else if ( hy == 0 ) {
		each( [&]( const u32 j ) { return M4Average2( w.first[j], w.second[j], roundingBit ); } );
	} else if ( hx == 0 ) {
		each( [&]( const u32 j ) { return M4Average2( w.first[j], w.first[j + 1], roundingBit ); } );
	} else {
		if ( ( rounding & 1 ) == 0 ) {
			each( [&]( const u32 j ) { return M4Average4<0>( w.first[j], w.second[j], w.first[j + 1], w.second[j + 1] ); } );
		} else {
			each( [&]( const u32 j ) { return M4Average4<1>( w.first[j], w.second[j], w.first[j + 1], w.second[j + 1] ); } );
		}
	}
}

// A full-sample WIDTH x WIDTH block that starts on a tile is whole tiles:
// each group of four rows is WIDTH x 4 contiguous bytes in both planes.
template<u32 WIDTH, bool AVERAGE>
inline void M4CopyTiles( const u8* from, const u32 fromStride, u8* to, const u32 toStride ) {
	#pragma GCC unroll 8
	for ( u32 group = 0; group < WIDTH / 4; group++ ) {
		const __m128i* const	a = reinterpret_cast<const __m128i*>( from + 4 * group * fromStride );
		__m128i* const			b = reinterpret_cast<__m128i*>( to + 4 * group * toStride );
		#pragma GCC unroll 8
		for ( u32 i = 0; i < WIDTH / 4; i++ ) {
			const __m128i v = _mm_loadu_si128( a + i );
			_mm_storeu_si128( b + i, AVERAGE ? _mm_avg_epu8( v, _mm_loadu_si128( b + i ) ) : v );
		}
	}
}

// Frame prediction of a WIDTH x WIDTH block: whole tiles for a
// full-sample block on tile bounds, whole tile lines when the window lies
// inside the plane, else the clamped pixels.
template<u32 WIDTH, bool AVERAGE>
void M4PredictFrame( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	const s64		left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64		top = static_cast<s64>( y ) + ( vector.y >> 1 );
	const u32		hx = vector.x & 1;
	const u32		hy = vector.y & 1;
	const u32		needed = WIDTH + hy;
	M4WindowRows	rows;
	if ( M4PlaneContains( reference, left, top, WIDTH + 1, WIDTH + 1 ) ) {
		const u32 column = static_cast<u32>( left + reference.mBorder );
		const u32 row = static_cast<u32>( top + reference.mBorder );
		if ( ( hx | hy | ( column & 7u ) | ( row & 3u ) ) == 0 ) {
			M4CopyTiles<WIDTH, AVERAGE>( reference.mBase + M4TiledOffset( column, row, reference.mStride ), reference.mStride, dst, dstStride );
			return;
		}
		// Rows step 8 bytes within a tile row and on to the next tile row
		// after its fourth.
		const M4TileShift	shift( column );
		const u8*			rowBase = reference.mBase + M4TiledOffset( 0, row, reference.mStride );
		const u32			tileRowStep = 4 * reference.mStride - 24;
		for ( u32 j = 0, inTile = row & 3u; j < needed; j++ ) {
			M4FetchTiledRow<WIDTH>( rowBase, column, shift, &rows, j, hx != 0 );
			inTile = ( inTile + 1 ) & 3u;
			rowBase += inTile == 0 ? tileRowStep : 8;
		}
	} else {
		for ( u32 j = 0; j < needed; j++ ) {
			M4FetchClampedRow<WIDTH>( reference, left, M4PlaneRow( reference, top + j ), &rows, j );
		}
	}
	M4InterpolateRows<WIDTH, AVERAGE>( rows, WIDTH, hx, hy, rounding, dst, dst + 32, dstStride, 0, 1 );
}

// Both chroma blocks of a macroblock with one vector, eight columns of each
// plane side by side in every vector; windows that leave the planes take
// the one-plane kernel twice.
template<bool AVERAGE>
void M4PredictChroma( u8* dstU, u8* dstV, const u32 dstStride, const M4Plane& u, const M4Plane& v, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	const s64 left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64 top = static_cast<s64>( y ) + ( vector.y >> 1 );
	const u32 hx = vector.x & 1;
	const u32 hy = vector.y & 1;
	if ( !M4PlaneContains( u, left, top, 9, 9 ) || u.mStride != v.mStride || u.mRows != v.mRows ) {
		M4PredictFrame<8, AVERAGE>( dstU, dstStride, u, x, y, vector, rounding );
		M4PredictFrame<8, AVERAGE>( dstV, dstStride, v, x, y, vector, rounding );
		return;
	}
	const u32 column = static_cast<u32>( left + u.mBorder );
	const u32 row = static_cast<u32>( top + u.mBorder );
	const u32 start = M4TiledOffset( 0, row, u.mStride );
	if ( ( hx | hy | ( column & 7u ) | ( row & 3u ) ) == 0 ) {
		M4CopyTiles<8, AVERAGE>( u.mBase + start + column * 4, u.mStride, dstU, dstStride );
		M4CopyTiles<8, AVERAGE>( v.mBase + start + column * 4, v.mStride, dstV, dstStride );
		return;
	}
	const M4TileShift	shift( column );
	const u32			tileRowStep = 4 * u.mStride - 24;
	M4WindowRows		rows;
	for ( u32 j = 0, inTile = row & 3u, offset = start; j < 8 + hy; j++ ) {
		M4FetchTiledRowPair( u.mBase + offset, v.mBase + offset, column, shift, &rows, j, hx != 0 );
		inTile = ( inTile + 1 ) & 3u;
		offset += inTile == 0 ? tileRowStep : 8;
	}
	M4InterpolateRows<16, AVERAGE>( rows, 8, hx, hy, rounding, dstU, dstV, dstStride, 0, 1 );
}

} // namespace

void M4MemHalfPelInterpolateReference( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding, const bool average ) {
	const s64 left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64 top = static_cast<s64>( y ) + ( vector.y >> 1 );
	u8 window[M4_WINDOW][M4_WINDOW];
	for ( u32 j = 0; j < M4_WINDOW; j++ ) {
		M4FetchRow( reference, left, M4PlaneRow( reference, top + j ), window[j] );
	}
	M4Interpolate( window, 8, vector.x & 1, vector.y & 1, rounding, dst, dstStride, 0, 1, average );
}

void M4MemHalfPelFieldsReference( u8* dst, const u32 dstStride, const u32 dstField, const M4Plane& reference, const s32 x, const s32 fieldY, const M4_VECTOR& vector, const u32 fieldSelect, const u32 rows, const u32 rounding, const bool average ) {
	const u32 count = rows < 8 ? rows : 8;
	const u32 parity = fieldSelect & 1;
	const s64 left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64 fieldTop = M4FieldTop( reference, fieldY, vector );
	u8 window[M4_WINDOW][M4_WINDOW];
	for ( u32 j = 0; j <= count; j++ ) {
		M4FetchRow( reference, left, M4FieldPaddedRow( reference, fieldTop, j, parity ), window[j] );
	}
	M4Interpolate( window, count, vector.x & 1, ( vector.y >> 1 ) & 1, rounding, dst, dstStride, dstField & 1, 2, average );
}

namespace {

template<bool AVERAGE>
void M4PredictFields( u8* dst, const u32 dstStride, const u32 dstField, const M4Plane& reference, const s32 x, const s32 fieldY, const M4_VECTOR& vector, const u32 fieldSelect, const u32 rows, const u32 rounding ) {
	const u32		count = rows < 8 ? rows : 8;
	const u32		parity = fieldSelect & 1;
	const s64		left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64		fieldTop = M4FieldTop( reference, fieldY, vector );
	const u32		hx = vector.x & 1;
	const u32		hy = ( vector.y >> 1 ) & 1;
	const s64		paddedLeft = left + reference.mBorder;
	const bool		columnsInside = paddedLeft >= 0 && paddedLeft + M4_WINDOW <= reference.mStride;
	M4WindowRows		window;
	const M4TileShift	shift( static_cast<u32>( paddedLeft ) );
	for ( u32 j = 0; j < count + hy; j++ ) {
		const u32 paddedRow = M4FieldPaddedRow( reference, fieldTop, j, parity );
		if ( columnsInside ) {
			M4FetchTiledRow<8>( reference.mBase + M4TiledOffset( 0, paddedRow, reference.mStride ), static_cast<u32>( paddedLeft ), shift, &window, j, hx != 0 );
		} else {
			M4FetchClampedRow<8>( reference, left, paddedRow, &window, j );
		}
	}
	M4InterpolateRows<8, AVERAGE>( window, count, hx, hy, rounding, dst, dst, dstStride, dstField & 1, 2 );
}

} // namespace

// The fast kernels read whole tile lines when the window lies inside the
// plane, else the clamped pixels, and interpolate eight or sixteen pixels
// at a time. The sixteen-column kernel reads each window row once for both
// halves of the macroblock, and the rows under the top half's last row
// serve the bottom half too.
void M4MemHalfPelInterpolate( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	M4PredictFrame<8, false>( dst, dstStride, reference, x, y, vector, rounding );
}

void M4MemHalfPelInterpolate16( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	M4PredictFrame<16, false>( dst, dstStride, reference, x, y, vector, rounding );
}

void M4MemHalfPelFields( u8* dst, const u32 dstStride, const u32 dstField, const M4Plane& reference, const s32 x, const s32 fieldY, const M4_VECTOR& vector, const u32 fieldSelect, const u32 rows, const u32 rounding ) {
	M4PredictFields<false>( dst, dstStride, dstField, reference, x, fieldY, vector, fieldSelect, rows, rounding );
}

void M4MemHalfPelInterpolateAverage( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	M4PredictFrame<8, true>( dst, dstStride, reference, x, y, vector, rounding );
}

void M4MemHalfPelInterpolate16Average( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	M4PredictFrame<16, true>( dst, dstStride, reference, x, y, vector, rounding );
}

void M4MemHalfPelFieldsAverage( u8* dst, const u32 dstStride, const u32 dstField, const M4Plane& reference, const s32 x, const s32 fieldY, const M4_VECTOR& vector, const u32 fieldSelect, const u32 rows, const u32 rounding ) {
	M4PredictFields<true>( dst, dstStride, dstField, reference, x, fieldY, vector, fieldSelect, rows, rounding );
}

void M4MemHalfPelInterpolateChroma( u8* dstU, u8* dstV, const u32 dstStride, const M4Plane& u, const M4Plane& v, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	M4PredictChroma<false>( dstU, dstV, dstStride, u, v, x, y, vector, rounding );
}

void M4MemHalfPelInterpolateChromaAverage( u8* dstU, u8* dstV, const u32 dstStride, const M4Plane& u, const M4Plane& v, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	M4PredictChroma<true>( dstU, dstV, dstStride, u, v, x, y, vector, rounding );
}
