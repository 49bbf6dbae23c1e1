#include "video/m4/M4Idct.h"

#include <emmintrin.h>

namespace {

// cos( k pi / 16 ) / 2 for k = 1..7, and sqrt( 1 / 2 ).
constexpr f32 kC1 = 0.49039260f;
constexpr f32 kC2 = 0.46193981f;
constexpr f32 kC3 = 0.41573480f;
constexpr f32 kC4 = 0.35355341f;
constexpr f32 kC5 = 0.27778509f;
constexpr f32 kC6 = 0.19134170f;
constexpr f32 kC7 = 0.09754520f;
constexpr f32 kSqrtHalf = 0.70710683f;

// Four single-precision lanes with the scalar operators, so that the
// vector transform runs the very same operations in the same order on
// four rows (or columns) at once; each lane's result is bit for bit the
// scalar one.
struct M4Lanes {
	__m128 v;
	M4Lanes() = default;
	M4Lanes( const __m128 value ) : v( value ) {}
	M4Lanes( const f32 value ) : v( _mm_set1_ps( value ) ) {}
};
inline M4Lanes operator+( const M4Lanes a, const M4Lanes b ) { return _mm_add_ps( a.v, b.v ); }
inline M4Lanes operator-( const M4Lanes a, const M4Lanes b ) { return _mm_sub_ps( a.v, b.v ); }
inline M4Lanes operator*( const M4Lanes a, const M4Lanes b ) { return _mm_mul_ps( a.v, b.v ); }

// The end of the 8-point transform: the odd part's rotation of the
// middle pair through sqrt(1/2), then the even and odd halves combined.
template<typename T>
inline void M4IdctCombine( const T e0, const T e1, const T e2, const T e3, const T b4, const T b5, const T b6, const T b7, T* out ) {
	const T sqrtHalf = kSqrtHalf;
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
	const T c1 = kC1, c2 = kC2, c3 = kC3, c4 = kC4, c5 = kC5, c6 = kC6, c7 = kC7;
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
	const T c1 = kC1, c2 = kC2, c3 = kC3, c4 = kC4, c5 = kC5, c6 = kC6, c7 = kC7, zero = 0.0f;
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

// The output conversion of four lanes, as M4IdctStore does it, as s32.
inline __m128i M4IdctStoreLanes( const M4Lanes x ) {
	const __m128 t = _mm_add_ps( x.v, _mm_set1_ps( 0.5f ) );
	const __m128 negative = _mm_cmplt_ps( t, _mm_setzero_ps() );
	// Results stay far inside the s32 range (|x| < 2^22 for any s16
	// input), so the truncating conversion never overflows.
	return _mm_cvttps_epi32( _mm_sub_ps( t, _mm_and_ps( negative, _mm_set1_ps( 1.0f ) ) ) );
}

} // namespace

void M4idctReference( s16* block ) {
	f32 scratch[64];
	f32 row[8];
	f32 result[8];
	for ( u32 r = 0; r < 8; r++ ) {
		for ( u32 c = 0; c < 8; c++ ) {
			row[c] = static_cast<f32>( block[8 * r + c] );
		}
		M4Idct1D( row, result );
		for ( u32 c = 0; c < 8; c++ ) {
			scratch[8 * c + r] = result[c];
		}
	}
	for ( u32 c = 0; c < 8; c++ ) {
		M4Idct1D( &scratch[8 * c], result );
		for ( u32 r = 0; r < 8; r++ ) {
			block[8 * r + c] = M4IdctStore( result[r] );
		}
	}
}

// The same transform four rows, then four columns, at a time: the row
// pass runs with lane = row on the transposed block, so its outputs are
// the scratch block's columns; 4 x 4 transposes give the column pass its
// inputs with lane = column, and its outputs are the block's rows.
void M4idct( s16* block ) {
	__m128i rows[8];
	__m128i lowerRows = _mm_setzero_si128();	// rows 4-7
	__m128i rightColumns = _mm_setzero_si128();	// columns 4-7 of rows 0-3
	for ( u32 r = 0; r < 8; r++ ) {
		rows[r] = _mm_loadu_si128( reinterpret_cast<const __m128i*>( block + 8 * r ) );
		if ( r >= 4 ) {
			lowerRows = _mm_or_si128( lowerRows, rows[r] );
		} else {
			rightColumns = _mm_or_si128( rightColumns, _mm_srli_si128( rows[r], 8 ) );
		}
	}
	const __m128i zero = _mm_setzero_si128();
	const bool lowerZero = _mm_movemask_epi8( _mm_cmpeq_epi8( lowerRows, zero ) ) == 0xFFFF;
	const bool rightZero = _mm_movemask_epi8( _mm_cmpeq_epi8( rightColumns, zero ) ) == 0xFFFF;
	if ( lowerZero && rightZero ) {
		const __m128i withoutDC = _mm_and_si128( rows[0], _mm_set_epi16( -1, -1, -1, -1, -1, -1, -1, 0 ) );
		const __m128i rest = _mm_or_si128( _mm_or_si128( rows[1], rows[2] ), _mm_or_si128( rows[3], withoutDC ) );
		if ( _mm_movemask_epi8( _mm_cmpeq_epi8( rest, zero ) ) == 0xFFFF ) {
			// Only the DC: every product with a zero and every sum with one
			// is exact, so each output is the DC scaled twice by c4.
			const s16 value = M4IdctStore( kC4 * ( kC4 * static_cast<f32>( block[0] ) ) );
			const __m128i fill = _mm_set1_epi16( value );
			for ( u32 r = 0; r < 8; r++ ) {
				_mm_storeu_si128( reinterpret_cast<__m128i*>( block + 8 * r ), fill );
			}
			return;
		}
	}
	M4Transpose8x8( rows );
	// in[k] = column k of the block, lanes rows 0-3 (low) and 4-7 (high).
	M4Lanes low[8];
	M4Lanes high[8];
	for ( u32 k = 0; k < 8; k++ ) {
		low[k] = _mm_cvtepi32_ps( _mm_srai_epi32( _mm_unpacklo_epi16( rows[k], rows[k] ), 16 ) );
		high[k] = _mm_cvtepi32_ps( _mm_srai_epi32( _mm_unpackhi_epi16( rows[k], rows[k] ), 16 ) );
	}
	M4Lanes lowOut[8];
	M4Lanes highOut[8];
	// Zero rows transform to zeros; columns 4-7 zero in rows 0-3 make the
	// row pass's inputs 4-7 zero there.
	if ( rightZero ) {
		M4Idct1DLowHalf( low, lowOut );
	} else {
		M4Idct1D( low, lowOut );
	}
	if ( lowerZero ) {
		for ( M4Lanes& lanes : highOut ) {
			lanes = _mm_setzero_ps();
		}
	} else {
		M4Idct1D( high, highOut );
	}
	// lowOut[c] lane r is the row pass's result c of row r (r < 4).
	M4Lanes left[8];	// columns 0-3: left[r] lane c
	M4Lanes right[8];	// columns 4-7
	for ( u32 half = 0; half < 2; half++ ) {
		__m128 a0 = lowOut[4 * half].v, a1 = lowOut[4 * half + 1].v, a2 = lowOut[4 * half + 2].v, a3 = lowOut[4 * half + 3].v;
		__m128 b0 = highOut[4 * half].v, b1 = highOut[4 * half + 1].v, b2 = highOut[4 * half + 2].v, b3 = highOut[4 * half + 3].v;
		_MM_TRANSPOSE4_PS( a0, a1, a2, a3 );
		_MM_TRANSPOSE4_PS( b0, b1, b2, b3 );
		M4Lanes* const to = half == 0 ? left : right;
		to[0] = a0;
		to[1] = a1;
		to[2] = a2;
		to[3] = a3;
		to[4] = b0;
		to[5] = b1;
		to[6] = b2;
		to[7] = b3;
	}
	// With rows 4-7 zero the column pass's inputs 4-7 are zero.
	M4Lanes leftOut[8];
	M4Lanes rightOut[8];
	if ( lowerZero ) {
		M4Idct1DLowHalf( left, leftOut );
		M4Idct1DLowHalf( right, rightOut );
	} else {
		M4Idct1D( left, leftOut );
		M4Idct1D( right, rightOut );
	}
	for ( u32 r = 0; r < 8; r++ ) {
		const __m128i row = _mm_packs_epi32( M4IdctStoreLanes( leftOut[r] ), M4IdctStoreLanes( rightOut[r] ) );
		_mm_storeu_si128( reinterpret_cast<__m128i*>( block + 8 * r ), row );
	}
}
