#include "video/m4/M4MemHalfPel.h"

#include <emmintrin.h>

#include <cstring>

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

// Nine pixels of a window row: the first eight in one register's low
// half, the ninth apart.
struct M4WindowRows {
	__m128i		first[M4_WINDOW];	// pixels 0-7 in the low 8 bytes
	__m128i		second[M4_WINDOW];	// pixels 1-8 in the low 8 bytes
};

u64 M4Load64( const u8* at ) {
	u64 value;
	std::memcpy( &value, at, sizeof( value ) );
	return value;
}

// Row r of the window from the tiled plane: columns column .. column + 8
// span the tile of column and the next one (32 bytes on). The second
// set (pixels 1-8) is made only when withSecond.
inline void M4FetchTiledRow( const u8* const rowBase, const u32 column, M4WindowRows* rows, const u32 r, const bool withSecond ) {
	const u8* const tile = rowBase + ( column & ~7u ) * 4;
	const u32		shift = 8 * ( column & 7u );
	const u64		low = M4Load64( tile );
	u64				first = low;
	u64				high = 0;
	if ( shift != 0 || withSecond ) {
		high = M4Load64( tile + 32 );
	}
	if ( shift != 0 ) {
		first = ( low >> shift ) | ( high << ( 64 - shift ) );
	}
	rows->first[r] = _mm_cvtsi64_si128( static_cast<long long>( first ) );
	if ( withSecond ) {
		const u64 second = ( first >> 8 ) | ( ( ( high >> shift ) & 0xFFu ) << 56 );
		rows->second[r] = _mm_cvtsi64_si128( static_cast<long long>( second ) );
	}
}

inline void M4FetchWindowRow( const u8 window[M4_WINDOW], M4WindowRows* rows, const u32 r ) {
	rows->first[r] = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window ) );
	rows->second[r] = _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window + 1 ) );
}

// (a + b + 1 - rounding) >> 1 per byte.
inline __m128i M4Average2( const __m128i a, const __m128i b, const __m128i roundingBit ) {
	const __m128i up = _mm_avg_epu8( a, b );
	return _mm_sub_epi8( up, _mm_and_si128( _mm_xor_si128( a, b ), roundingBit ) );
}

// The block from the window rows with half-sample flags hx, hy, into rows
// dstFirstRow, dstFirstRow + dstRowStep, .. of dst; one loop per case.
void M4InterpolateRows( const M4WindowRows& w, const u32 rows, const u32 hx, const u32 hy, const u32 rounding, u8* dst, const u32 dstStride, const u32 dstFirstRow, const u32 dstRowStep ) {
	const __m128i	roundingBit = _mm_set1_epi8( static_cast<char>( rounding & 1 ) );
	auto out = [&]( const u32 j ) {
		return reinterpret_cast<__m128i*>( dst + M4TiledOffset( 0, dstFirstRow + j * dstRowStep, dstStride ) );
	};
	if ( hx == 0 && hy == 0 ) {
		for ( u32 j = 0; j < rows; j++ ) {
			_mm_storel_epi64( out( j ), w.first[j] );
		}
	} else if ( hy == 0 ) {
		for ( u32 j = 0; j < rows; j++ ) {
			_mm_storel_epi64( out( j ), M4Average2( w.first[j], w.second[j], roundingBit ) );
		}
	} else if ( hx == 0 ) {
		for ( u32 j = 0; j < rows; j++ ) {
			_mm_storel_epi64( out( j ), M4Average2( w.first[j], w.first[j + 1], roundingBit ) );
		}
	} else {
		const __m128i zero = _mm_setzero_si128();
		const __m128i bias = _mm_set1_epi16( static_cast<short>( 2 - ( rounding & 1 ) ) );
		__m128i above = _mm_add_epi16( _mm_unpacklo_epi8( w.first[0], zero ), _mm_unpacklo_epi8( w.second[0], zero ) );
		for ( u32 j = 0; j < rows; j++ ) {
			const __m128i below = _mm_add_epi16( _mm_unpacklo_epi8( w.first[j + 1], zero ), _mm_unpacklo_epi8( w.second[j + 1], zero ) );
			const __m128i sum = _mm_add_epi16( _mm_add_epi16( above, below ), bias );
			_mm_storel_epi64( out( j ), _mm_packus_epi16( _mm_srli_epi16( sum, 2 ), zero ) );
			above = below;
		}
	}
}

} // namespace

void M4MemHalfPelInterpolateReference( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	const s64 left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64 top = static_cast<s64>( y ) + ( vector.y >> 1 );
	u8 window[M4_WINDOW][M4_WINDOW];
	for ( u32 j = 0; j < M4_WINDOW; j++ ) {
		M4FetchRow( reference, left, M4PlaneRow( reference, top + j ), window[j] );
	}
	M4Interpolate( window, 8, vector.x & 1, vector.y & 1, rounding, dst, dstStride, 0, 1 );
}

void M4MemHalfPelFieldsReference( u8* dst, const u32 dstStride, const u32 dstField, const M4Plane& reference, const s32 x, const s32 fieldY, const M4_VECTOR& vector, const u32 fieldSelect, const u32 rows, const u32 rounding ) {
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

// The fast kernels read whole tile lines when the window lies inside the
// plane, else the clamped pixels, and interpolate eight pixels at a time.
void M4MemHalfPelInterpolate( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	const s64		left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64		top = static_cast<s64>( y ) + ( vector.y >> 1 );
	const u32		hx = vector.x & 1;
	const u32		hy = vector.y & 1;
	const u32		needed = 8 + hy;
	M4WindowRows	rows;
	if ( M4PlaneContains( reference, left, top, M4_WINDOW, M4_WINDOW ) ) {
		const u32 column = static_cast<u32>( left + reference.mBorder );
		const u32 row = static_cast<u32>( top + reference.mBorder );
		for ( u32 j = 0; j < needed; j++ ) {
			M4FetchTiledRow( reference.mBase + M4TiledOffset( 0, row + j, reference.mStride ), column, &rows, j, hx != 0 );
		}
	} else {
		u8 window[M4_WINDOW][M4_WINDOW + 7];
		for ( u32 j = 0; j < needed; j++ ) {
			M4FetchRow( reference, left, M4PlaneRow( reference, top + j ), window[j] );
			M4FetchWindowRow( window[j], &rows, j );
		}
	}
	M4InterpolateRows( rows, 8, hx, hy, rounding, dst, dstStride, 0, 1 );
}

void M4MemHalfPelFields( u8* dst, const u32 dstStride, const u32 dstField, const M4Plane& reference, const s32 x, const s32 fieldY, const M4_VECTOR& vector, const u32 fieldSelect, const u32 rows, const u32 rounding ) {
	const u32		count = rows < 8 ? rows : 8;
	const u32		parity = fieldSelect & 1;
	const s64		left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64		fieldTop = static_cast<s64>( fieldY ) + ( vector.y >> 2 ) + reference.mBorder / 2;
	const s64		lastFieldRow = static_cast<s64>( reference.mRows / 2 ) - 1;
	const u32		hx = vector.x & 1;
	const u32		hy = ( vector.y >> 1 ) & 1;
	const s64		paddedLeft = left + reference.mBorder;
	const bool		columnsInside = paddedLeft >= 0 && paddedLeft + M4_WINDOW <= reference.mStride;
	M4WindowRows	window;
	for ( u32 j = 0; j < count + hy; j++ ) {
		s64 fieldRow = fieldTop + j;
		fieldRow = fieldRow < 0 ? 0 : ( fieldRow > lastFieldRow ? lastFieldRow : fieldRow );
		const u32 paddedRow = static_cast<u32>( 2 * fieldRow + parity );
		if ( columnsInside ) {
			M4FetchTiledRow( reference.mBase + M4TiledOffset( 0, paddedRow, reference.mStride ), static_cast<u32>( paddedLeft ), &window, j, hx != 0 );
		} else {
			u8 row[M4_WINDOW + 7];
			M4FetchRow( reference, left, paddedRow, row );
			M4FetchWindowRow( row, &window, j );
		}
	}
	M4InterpolateRows( window, count, hx, hy, rounding, dst, dstStride, dstField & 1, 2 );
}

namespace {

constexpr u32 M4_WIDE_WINDOW = 17;	// 16 pixels and the extra half-sample one

// Sixteen pixels of a window row (pixels 0-15) and the same shifted by
// one (pixels 1-16).
struct M4WideRows {
	__m128i		first[M4_WIDE_WINDOW];
	__m128i		second[M4_WIDE_WINDOW];
};

// Row r of a wide window from the tiled plane: columns column .. column
// + 16 span three tiles, 32 bytes apart.
inline void M4FetchWideTiledRow( const u8* const rowBase, const u32 column, M4WideRows* rows, const u32 r, const bool withSecond ) {
	const u8* const tile = rowBase + ( column & ~7u ) * 4;
	const u32		shift = 8 * ( column & 7u );
	const u64		t0 = M4Load64( tile );
	const u64		t1 = M4Load64( tile + 32 );
	u64				low = t0;
	u64				high = t1;
	u64				t2 = 0;
	if ( shift != 0 || withSecond ) {
		t2 = M4Load64( tile + 64 );
	}
	if ( shift != 0 ) {
		low = ( t0 >> shift ) | ( t1 << ( 64 - shift ) );
		high = ( t1 >> shift ) | ( t2 << ( 64 - shift ) );
	}
	rows->first[r] = _mm_set_epi64x( static_cast<long long>( high ), static_cast<long long>( low ) );
	if ( withSecond ) {
		const u64 nextLow = ( low >> 8 ) | ( high << 56 );
		const u64 nextHigh = ( high >> 8 ) | ( ( ( t2 >> shift ) & 0xFFu ) << 56 );
		rows->second[r] = _mm_set_epi64x( static_cast<long long>( nextHigh ), static_cast<long long>( nextLow ) );
	}
}

// Stores sixteen pixels as row j of two horizontally adjacent tiles.
inline void M4StoreWideRow( u8* dst, const u32 dstStride, const u32 j, const __m128i v ) {
	u8* const at = dst + M4TiledOffset( 0, j, dstStride );
	_mm_storel_epi64( reinterpret_cast<__m128i*>( at ), v );
	_mm_storel_epi64( reinterpret_cast<__m128i*>( at + 32 ), _mm_srli_si128( v, 8 ) );
}

inline __m128i M4AverageFour( const __m128i a, const __m128i b, const __m128i c, const __m128i d, const __m128i bias ) {
	const __m128i zero = _mm_setzero_si128();
	const __m128i low = _mm_add_epi16( _mm_add_epi16( _mm_unpacklo_epi8( a, zero ), _mm_unpacklo_epi8( b, zero ) ),
									   _mm_add_epi16( _mm_unpacklo_epi8( c, zero ), _mm_unpacklo_epi8( d, zero ) ) );
	const __m128i high = _mm_add_epi16( _mm_add_epi16( _mm_unpackhi_epi8( a, zero ), _mm_unpackhi_epi8( b, zero ) ),
										_mm_add_epi16( _mm_unpackhi_epi8( c, zero ), _mm_unpackhi_epi8( d, zero ) ) );
	return _mm_packus_epi16( _mm_srli_epi16( _mm_add_epi16( low, bias ), 2 ), _mm_srli_epi16( _mm_add_epi16( high, bias ), 2 ) );
}

} // namespace

// Sixteen columns at a time: each window row is read once for both
// halves of the macroblock, and the rows under the top half's last row
// serve the bottom half too.
void M4MemHalfPelInterpolate16( u8* dst, const u32 dstStride, const M4Plane& reference, const s32 x, const s32 y, const M4_VECTOR& vector, const u32 rounding ) {
	const s64	left = static_cast<s64>( x ) + ( vector.x >> 1 );
	const s64	top = static_cast<s64>( y ) + ( vector.y >> 1 );
	const u32	hx = vector.x & 1;
	const u32	hy = vector.y & 1;
	const u32	needed = 16 + hy;
	M4WideRows	rows;
	if ( M4PlaneContains( reference, left, top, M4_WIDE_WINDOW, M4_WIDE_WINDOW ) ) {
		const u32 column = static_cast<u32>( left + reference.mBorder );
		const u32 row = static_cast<u32>( top + reference.mBorder );
		for ( u32 j = 0; j < needed; j++ ) {
			M4FetchWideTiledRow( reference.mBase + M4TiledOffset( 0, row + j, reference.mStride ), column, &rows, j, hx != 0 );
		}
	} else {
		for ( u32 j = 0; j < needed; j++ ) {
			u8 window[2][M4_WINDOW + 7];
			M4FetchRow( reference, left, M4PlaneRow( reference, top + j ), window[0] );
			M4FetchRow( reference, left + 8, M4PlaneRow( reference, top + j ), window[1] );
			rows.first[j] = _mm_unpacklo_epi64( _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[0] ) ),
												_mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[1] ) ) );
			rows.second[j] = _mm_unpacklo_epi64( _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[0] + 1 ) ),
												 _mm_loadl_epi64( reinterpret_cast<const __m128i*>( window[1] + 1 ) ) );
		}
	}
	const __m128i roundingBit = _mm_set1_epi8( static_cast<char>( rounding & 1 ) );
	if ( hx == 0 && hy == 0 ) {
		for ( u32 j = 0; j < 16; j++ ) {
			M4StoreWideRow( dst, dstStride, j, rows.first[j] );
		}
	} else if ( hy == 0 ) {
		for ( u32 j = 0; j < 16; j++ ) {
			M4StoreWideRow( dst, dstStride, j, M4Average2( rows.first[j], rows.second[j], roundingBit ) );
		}
	} else if ( hx == 0 ) {
		for ( u32 j = 0; j < 16; j++ ) {
			M4StoreWideRow( dst, dstStride, j, M4Average2( rows.first[j], rows.first[j + 1], roundingBit ) );
		}
	} else {
		const __m128i bias = _mm_set1_epi16( static_cast<short>( 2 - ( rounding & 1 ) ) );
		for ( u32 j = 0; j < 16; j++ ) {
			M4StoreWideRow( dst, dstStride, j, M4AverageFour( rows.first[j], rows.second[j], rows.first[j + 1], rows.second[j + 1], bias ) );
		}
	}
}
