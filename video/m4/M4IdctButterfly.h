/*
===============================================================================

	The one-dimensional butterfly of the inverse DCT.

	Shared by the transform kernels, each of which runs it on its own lane
	type (a scalar, four or eight single-precision lanes) with the very
	same operations in the same order, so every lane's result is bit for
	bit the scalar one. The kernels' loops over rows and lanes are unrolled
	by pragma: the normal build would not unroll them, and the lanes would
	then live in memory. Everything here but M4IdctSparse has internal
	linkage: the kernel built for wider vectors gets its own copies, and no
	code compiled for it can stand in for the baseline's.

===============================================================================
*/
#ifndef M4_IDCT_BUTTERFLY_H
#define M4_IDCT_BUTTERFLY_H

#include "datatypes/base/DTTypes.h"

#include <emmintrin.h>

// The transform of a block whose only non-zero coefficients lie in its
// first row (belowZero), its first column (rightZero) or both (the DC):
// one 8-point pass. Every kernel hands such blocks here, to the
// baseline's code.
void M4IdctSparse( s16* block, bool belowZero, bool rightZero );

namespace {

// cos( k pi / 16 ) / 2 for k = 1..7, and sqrt( 1 / 2 ).
constexpr f32 kM4IdctC1 = 0.49039260f;
constexpr f32 kM4IdctC2 = 0.46193981f;
constexpr f32 kM4IdctC3 = 0.41573480f;
constexpr f32 kM4IdctC4 = 0.35355341f;
constexpr f32 kM4IdctC5 = 0.27778509f;
constexpr f32 kM4IdctC6 = 0.19134170f;
constexpr f32 kM4IdctC7 = 0.09754520f;
constexpr f32 kM4IdctSqrtHalf = 0.70710683f;

// The end of the 8-point transform: the odd part's rotation of the
// middle pair through sqrt(1/2), then the even and odd halves combined.
template<typename T>
inline void M4IdctCombine( const T e0, const T e1, const T e2, const T e3, const T b4, const T b5, const T b6, const T b7, T* out ) {
	const T sqrtHalf = kM4IdctSqrtHalf;
	const T o3 = b4 + b5;
	const T d5 = b4 - b5;
	const T d6 = b7 - b6;
	const T o0 = b7 + b6;
	const T o2 = ( d6 - d5 ) * sqrtHalf;
	const T o1 = ( d6 + d5 ) * sqrtHalf;

	out[0] = e0 + o0;
	out[7] = e0 - o0;
	out[1] = e1 + o1;
	out[6] = e1 - o1;
	out[2] = e2 + o2;
	out[5] = e2 - o2;
	out[3] = e3 + o3;
	out[4] = e3 - o3;
}

// One 8-point inverse transform of in[0..7] into out[0..7].
template<typename T>
inline void M4Idct1D( const T* in, T* out ) {
	const T c1 = kM4IdctC1, c2 = kM4IdctC2, c3 = kM4IdctC3, c4 = kM4IdctC4, c5 = kM4IdctC5, c6 = kM4IdctC6, c7 = kM4IdctC7;
	const T a0 = c4 * ( in[0] + in[4] );
	const T a1 = c4 * ( in[0] - in[4] );
	const T a2 = c6 * in[2] - c2 * in[6];
	const T a3 = c2 * in[2] + c6 * in[6];
	const T e0 = a0 + a3;
	const T e1 = a1 + a2;
	const T e2 = a1 - a2;
	const T e3 = a0 - a3;

	const T b4 = c7 * in[1] - c1 * in[7];
	const T b7 = c1 * in[1] + c7 * in[7];
	const T b5 = c3 * in[5] - c5 * in[3];
	const T b6 = c5 * in[5] + c3 * in[3];
	M4IdctCombine( e0, e1, e2, e3, b4, b5, b6, b7, out );
}

// The same transform when in[4..7] are zero. Every dropped product is a
// product with zero and every dropped sum adds a zero, which changes no
// non-zero result (at most the sign of a zero, which no later operation
// and no output conversion can tell), so the outputs are the full
// transform's bit for bit.
template<typename T>
inline void M4Idct1DLowHalf( const T* in, T* out ) {
	const T c1 = kM4IdctC1, c2 = kM4IdctC2, c3 = kM4IdctC3, c4 = kM4IdctC4, c5 = kM4IdctC5, c6 = kM4IdctC6, c7 = kM4IdctC7, zero = 0.0f;
	const T a0 = c4 * in[0];
	const T a2 = c6 * in[2];
	const T a3 = c2 * in[2];
	const T e0 = a0 + a3;
	const T e1 = a0 + a2;
	const T e2 = a0 - a2;
	const T e3 = a0 - a3;

	const T b4 = c7 * in[1];
	const T b7 = c1 * in[1];
	const T b5 = zero - c5 * in[3];
	const T b6 = c3 * in[3];
	M4IdctCombine( e0, e1, e2, e3, b4, b5, b6, b7, out );
}

// Which parts of a block held as eight rows are all zero, found in one
// pass over its rows.
struct M4IdctZeros {
	bool	belowFirst;			// rows 1-7
	bool	rightOfFirst;		// columns 1-7
	bool	lowerRows;			// rows 4-7
	bool	upperRight;			// columns 4-7 of rows 0-3
	bool	rightColumns;		// columns 4-7 of every row
};

inline bool M4IdctIsZero( const __m128i v ) {
	return _mm_movemask_epi8( _mm_cmpeq_epi8( v, _mm_setzero_si128() ) ) == 0xFFFF;
}

inline M4IdctZeros M4IdctFindZeros( const __m128i rows[8] ) {
	const __m128i notFirst = _mm_set_epi16( -1, -1, -1, -1, -1, -1, -1, 0 );
	const __m128i middle = _mm_or_si128( _mm_or_si128( rows[1], rows[2] ), rows[3] );
	const __m128i lower = _mm_or_si128( _mm_or_si128( rows[4], rows[5] ), _mm_or_si128( rows[6], rows[7] ) );
	const __m128i upper = _mm_or_si128( rows[0], middle );
	const __m128i all = _mm_or_si128( upper, lower );
	M4IdctZeros zeros;
	zeros.belowFirst = M4IdctIsZero( _mm_or_si128( middle, lower ) );
	zeros.rightOfFirst = M4IdctIsZero( _mm_and_si128( all, notFirst ) );
	zeros.lowerRows = M4IdctIsZero( lower );
	zeros.upperRight = M4IdctIsZero( _mm_srli_si128( upper, 8 ) );
	zeros.rightColumns = M4IdctIsZero( _mm_srli_si128( all, 8 ) );
	return zeros;
}

// Transposes the 8 x 8 s16 block held as eight rows.
inline void M4Transpose8x8( __m128i r[8] ) {
	const __m128i a0 = _mm_unpacklo_epi16( r[0], r[1] );
	const __m128i a1 = _mm_unpackhi_epi16( r[0], r[1] );
	const __m128i a2 = _mm_unpacklo_epi16( r[2], r[3] );
	const __m128i a3 = _mm_unpackhi_epi16( r[2], r[3] );
	const __m128i a4 = _mm_unpacklo_epi16( r[4], r[5] );
	const __m128i a5 = _mm_unpackhi_epi16( r[4], r[5] );
	const __m128i a6 = _mm_unpacklo_epi16( r[6], r[7] );
	const __m128i a7 = _mm_unpackhi_epi16( r[6], r[7] );
	const __m128i b0 = _mm_unpacklo_epi32( a0, a2 );
	const __m128i b1 = _mm_unpackhi_epi32( a0, a2 );
	const __m128i b2 = _mm_unpacklo_epi32( a1, a3 );
	const __m128i b3 = _mm_unpackhi_epi32( a1, a3 );
	const __m128i b4 = _mm_unpacklo_epi32( a4, a6 );
	const __m128i b5 = _mm_unpackhi_epi32( a4, a6 );
	const __m128i b6 = _mm_unpacklo_epi32( a5, a7 );
	const __m128i b7 = _mm_unpackhi_epi32( a5, a7 );
	r[0] = _mm_unpacklo_epi64( b0, b4 );
	r[1] = _mm_unpackhi_epi64( b0, b4 );
	r[2] = _mm_unpacklo_epi64( b1, b5 );
	r[3] = _mm_unpackhi_epi64( b1, b5 );
	r[4] = _mm_unpacklo_epi64( b2, b6 );
	r[5] = _mm_unpackhi_epi64( b2, b6 );
	r[6] = _mm_unpacklo_epi64( b3, b7 );
	r[7] = _mm_unpackhi_epi64( b3, b7 );
}

// Loads the block's eight rows and finds its zero parts. A block the
// sparse pass serves is transformed there at once (false); otherwise the
// rows come back transposed, rows[k] holding column k of the block (true).
inline bool M4IdctLoadDense( s16* block, __m128i rows[8], M4IdctZeros* zeros ) {
	#pragma GCC unroll 8
	for ( u32 r = 0; r < 8; r++ ) {
		rows[r] = _mm_loadu_si128( reinterpret_cast<const __m128i*>( block + 8 * r ) );
	}
	*zeros = M4IdctFindZeros( rows );
	if ( zeros->belowFirst || zeros->rightOfFirst ) {
		M4IdctSparse( block, zeros->belowFirst, zeros->rightOfFirst );
		return false;
	}
	M4Transpose8x8( rows );
	return true;
}

} // namespace

#endif
