#include "video/m4/M4Idct.h"

#include "video/m4/M4IdctButterfly.h"

#include <emmintrin.h>

namespace {

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
void M4idctSSE2( s16* block ) {
	__m128i rows[8];
	M4IdctZeros zeros;
	if ( !M4IdctLoadDense( block, rows, &zeros ) ) {
		return;
	}
	const bool lowerZero = zeros.lowerRows;
	const bool rightZero = zeros.upperRight;
	// in[k] = column k of the block, lanes rows 0-3 (low) and 4-7 (high).
	M4Lanes low[8];
	M4Lanes high[8];
	#pragma GCC unroll 8
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
	#pragma GCC unroll 8
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
	#pragma GCC unroll 8
	for ( u32 r = 0; r < 8; r++ ) {
		const __m128i row = _mm_packs_epi32( M4IdctStoreLanes( leftOut[r] ), M4IdctStoreLanes( rightOut[r] ) );
		_mm_storeu_si128( reinterpret_cast<__m128i*>( block + 8 * r ), row );
	}
}

namespace {

// Eight outputs of the column pass, converted as M4IdctStore does it.
__m128i M4IdctStoreRow( const f32* values ) {
	return _mm_packs_epi32( M4IdctStoreLanes( _mm_loadu_ps( values ) ), M4IdctStoreLanes( _mm_loadu_ps( values + 4 ) ) );
}

// Only the first row is non-zero. The column pass then sees one non-zero
// input a, and every product or sum with its zeros leaves c4 a exact, so
// each column is c4 times the row pass's result, all the way down.
void M4IdctFirstRow( s16* block ) {
	f32 row[8];
	f32 result[8];
	for ( u32 c = 0; c < 8; c++ ) {
		row[c] = static_cast<f32>( block[c] );
	}
	M4Idct1D( row, result );
	for ( f32& value : result ) {
		value = kM4IdctC4 * value;
	}
	const __m128i values = M4IdctStoreRow( result );
	for ( u32 r = 0; r < 8; r++ ) {
		_mm_storeu_si128( reinterpret_cast<__m128i*>( block + 8 * r ), values );
	}
}

// Only the first column is non-zero: by the same argument the row pass
// gives c4 times each row's first value in every column, so every column
// pass transforms the same eight values and each row is one value.
void M4IdctFirstColumn( s16* block ) {
	f32 column[8];
	f32 result[8];
	for ( u32 r = 0; r < 8; r++ ) {
		column[r] = kM4IdctC4 * static_cast<f32>( block[8 * r] );
	}
	M4Idct1D( column, result );
	alignas( 16 ) s16 values[8];
	_mm_store_si128( reinterpret_cast<__m128i*>( values ), M4IdctStoreRow( result ) );
	for ( u32 r = 0; r < 8; r++ ) {
		_mm_storeu_si128( reinterpret_cast<__m128i*>( block + 8 * r ), _mm_set1_epi16( values[r] ) );
	}
}

using M4IdctKernel = void ( * )( s16* );

void M4idctChoose( s16* block );

// The general kernel, chosen at the first transform.
M4IdctKernel sIdctKernel = M4idctChoose;

void M4idctChoose( s16* block ) {
	sIdctKernel = M4CpuHasAVX2() ? M4idctAVX2 : M4idctSSE2;
	sIdctKernel( block );
}

} // namespace

bool M4CpuHasAVX2() {
	return __builtin_cpu_supports( "avx2" ) != 0;
}

void M4IdctSparse( s16* block, const bool belowZero, const bool rightZero ) {
	if ( belowZero && rightZero ) {
		// Only the DC: each output is the DC scaled twice by c4.
		const __m128i fill = _mm_set1_epi16( M4IdctStore( kM4IdctC4 * ( kM4IdctC4 * static_cast<f32>( block[0] ) ) ) );
		for ( u32 r = 0; r < 8; r++ ) {
			_mm_storeu_si128( reinterpret_cast<__m128i*>( block + 8 * r ), fill );
		}
	} else if ( belowZero ) {
		M4IdctFirstRow( block );
	} else {
		M4IdctFirstColumn( block );
	}
}

void M4idct( s16* block ) {
	sIdctKernel( block );
}
