/*
===============================================================================

	Inverse DCT of one 8x8 block.

	Separable and in single precision: rows first, into a transposed
	scratch block of 64 floats, then columns. Each one-dimensional pass is
	the even-odd butterfly whose even part rotates by cos(k pi / 16) / 2
	and whose odd part rotates the pairs (1, 7) and (3, 5) and then
	combines the middle pair through sqrt(1/2); the constants carry the
	normalisation, so no final scaling remains. The operation order is
	fixed so that results do not depend on the compiler.

	Results round to nearest with halves away from zero, except that -0.5
	gives 0, and saturate to s16.

===============================================================================
*/
#ifndef M4_IDCT_H
#define M4_IDCT_H

#include "datatypes/base/DTFloatToInt.h"

// Transforms block (64 s16, raster order) in place with the widest
// vector kernel the processor has.
void	M4idct( s16* block );
// The transform four rows or columns at a time (SSE2, every x86-64
// processor), and eight at a time (AVX2: call only when M4CpuHasAVX2). A
// block whose only non-zero coefficients lie in its first row, or in its
// first column, takes one 8-point transform.
void	M4idctSSE2( s16* block );
void	M4idctAVX2( s16* block );
// The same transform one row or column at a time: the plain kernel the
// others must match bit for bit.
void	M4idctReference( s16* block );

// True when the processor and the system run AVX2 code.
bool	M4CpuHasAVX2();

// The transform's output conversion: t = x + 0.5, one less when t is
// negative, truncated toward zero and saturated.
inline s16 M4IdctStore( const f32 value ) {
	f32 t = value + 0.5f;
	if ( t < 0.0f ) {
		t -= 1.0f;
	}
	return DTFloatToS16( t );
}

#endif
