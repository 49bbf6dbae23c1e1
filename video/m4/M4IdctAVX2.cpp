// The inverse DCT eight rows, then eight columns, at a time. This file
// alone is compiled for AVX2, and M4idct calls it only after asking the
// processor; it uses nothing but intrinsics, the butterfly's own internal
// copies and the baseline's sparse transform, so no AVX2 code can reach
// the baseline kernels.
#include "video/m4/M4Idct.h"

#include "video/m4/M4IdctButterfly.h"

#include <immintrin.h>

namespace {

// Eight single-precision lanes with the scalar operators.
struct M4Lanes8 {
	__m256 v;
	M4Lanes8() = default;
	M4Lanes8( const __m256 value ) : v( value ) {}
	M4Lanes8( const f32 value ) : v( _mm256_set1_ps( value ) ) {}
};
inline M4Lanes8 operator+( const M4Lanes8 a, const M4Lanes8 b ) { return _mm256_add_ps( a.v, b.v ); }
inline M4Lanes8 operator-( const M4Lanes8 a, const M4Lanes8 b ) { return _mm256_sub_ps( a.v, b.v ); }
inline M4Lanes8 operator*( const M4Lanes8 a, const M4Lanes8 b ) { return _mm256_mul_ps( a.v, b.v ); }

// Transposes eight rows of eight lanes.
inline void M4Transpose8x8( M4Lanes8 r[8] ) {
	const __m256 t0 = _mm256_unpacklo_ps( r[0].v, r[1].v );
	const __m256 t1 = _mm256_unpackhi_ps( r[0].v, r[1].v );
	const __m256 t2 = _mm256_unpacklo_ps( r[2].v, r[3].v );
	const __m256 t3 = _mm256_unpackhi_ps( r[2].v, r[3].v );
	const __m256 t4 = _mm256_unpacklo_ps( r[4].v, r[5].v );
	const __m256 t5 = _mm256_unpackhi_ps( r[4].v, r[5].v );
	const __m256 t6 = _mm256_unpacklo_ps( r[6].v, r[7].v );
	const __m256 t7 = _mm256_unpackhi_ps( r[6].v, r[7].v );
	const __m256 u0 = _mm256_shuffle_ps( t0, t2, 0x44 );
	const __m256 u1 = _mm256_shuffle_ps( t0, t2, 0xEE );
	const __m256 u2 = _mm256_shuffle_ps( t1, t3, 0x44 );
	const __m256 u3 = _mm256_shuffle_ps( t1, t3, 0xEE );
	const __m256 u4 = _mm256_shuffle_ps( t4, t6, 0x44 );
	const __m256 u5 = _mm256_shuffle_ps( t4, t6, 0xEE );
	const __m256 u6 = _mm256_shuffle_ps( t5, t7, 0x44 );
	const __m256 u7 = _mm256_shuffle_ps( t5, t7, 0xEE );
	r[0] = _mm256_permute2f128_ps( u0, u4, 0x20 );
	r[1] = _mm256_permute2f128_ps( u1, u5, 0x20 );
	r[2] = _mm256_permute2f128_ps( u2, u6, 0x20 );
	r[3] = _mm256_permute2f128_ps( u3, u7, 0x20 );
	r[4] = _mm256_permute2f128_ps( u0, u4, 0x31 );
	r[5] = _mm256_permute2f128_ps( u1, u5, 0x31 );
	r[6] = _mm256_permute2f128_ps( u2, u6, 0x31 );
	r[7] = _mm256_permute2f128_ps( u3, u7, 0x31 );
}

// The output conversion of eight lanes, as M4IdctStore does it, packed to
// s16 with saturation.
inline __m128i M4IdctStoreRow( const M4Lanes8 x ) {
	const __m256 t = _mm256_add_ps( x.v, _mm256_set1_ps( 0.5f ) );
	const __m256 negative = _mm256_cmp_ps( t, _mm256_setzero_ps(), _CMP_LT_OQ );
	const __m256i values = _mm256_cvttps_epi32( _mm256_sub_ps( t, _mm256_and_ps( negative, _mm256_set1_ps( 1.0f ) ) ) );
	return _mm_packs_epi32( _mm256_castsi256_si128( values ), _mm256_extracti128_si256( values, 1 ) );
}

} // namespace

// The row pass runs with lane = row on the transposed block, so its
// outputs are the scratch block's columns; one transpose gives the column
// pass its inputs with lane = column, and its outputs are the block's
// rows. Zero rows 4-7 or zero columns 4-7 drop the products with them.
void M4idctAVX2( s16* block ) {
	__m128i rows[8];
	M4IdctZeros zeros;
	if ( !M4IdctLoadDense( block, rows, &zeros ) ) {
		return;
	}
	const bool lowerZero = zeros.lowerRows;
	const bool rightZero = zeros.rightColumns;
	// in[k] = column k of the block, lane = row.
	M4Lanes8 in[8];
	#pragma GCC unroll 8
	for ( u32 k = 0; k < 8; k++ ) {
		in[k] = _mm256_cvtepi32_ps( _mm256_cvtepi16_epi32( rows[k] ) );
	}
	M4Lanes8 scratch[8];
	if ( rightZero ) {
		M4Idct1DLowHalf( in, scratch );
	} else {
		M4Idct1D( in, scratch );
	}
	// scratch[c] lane r is the row pass's result c of row r; transposed,
	// scratch[r] lane c is the column pass's input r of column c.
	M4Transpose8x8( scratch );
	M4Lanes8 out[8];
	if ( lowerZero ) {
		M4Idct1DLowHalf( scratch, out );
	} else {
		M4Idct1D( scratch, out );
	}
	#pragma GCC unroll 8
	for ( u32 r = 0; r < 8; r++ ) {
		_mm_storeu_si128( reinterpret_cast<__m128i*>( block + 8 * r ), M4IdctStoreRow( out[r] ) );
	}
}
