/*
===============================================================================

	Half-sample motion compensation of one block.

	The integer position is the vector halved toward minus infinity and
	the half-sample flags are its low bits: a full-sample position is
	copied, a horizontal or vertical half averages two neighbours as (a +
	b + 1 - rounding) >> 1 and a diagonal one four as (a + b + c + d + 2 -
	rounding) >> 2. The field kernel reads one field of the reference: the
	vertical component is a stored field vector, twice the field-row
	count, so bits 2 and up give whole field rows and bit 1 the half.

	Reads go through the clamped plane, so vectors far outside the picture
	see its edges extended; when the block's window (with its extra column
	and row) lies inside the plane the reads take the direct path with the
	same results.

	The destination is tiled with its own stride: pass the block's address
	in a picture and the picture's stride, or a linear buffer and stride 8.

===============================================================================
*/
#ifndef M4_MEM_HALF_PEL_H
#define M4_MEM_HALF_PEL_H

#include "video/m4/M4MacroBlock.h"
#include "video/m4/M4Plane.h"

// Predicts the 8 x 8 block at (x, y) of reference, displaced by vector
// (half samples), into dst. dst starts on a tile (column multiple of 8,
// row multiple of 4) of a plane of stride dstStride.
void	M4MemHalfPelInterpolate( u8* dst, u32 dstStride, const M4Plane& reference, s32 x, s32 y, const M4_VECTOR& vector, u32 rounding );

// Predicts the 16 x 16 block at (x, y) with one vector: the same pixels
// as the four 8 x 8 blocks of M4MemHalfPelInterpolate, read and averaged
// sixteen columns at a time. dst starts on a tile.
void	M4MemHalfPelInterpolate16( u8* dst, u32 dstStride, const M4Plane& reference, s32 x, s32 y, const M4_VECTOR& vector, u32 rounding );

// Predicts 8 columns by rows (at most 8) field rows from field
// fieldSelect (0 top, 1 bottom) of reference, starting at column x and
// field row fieldY, into rows dstField, dstField + 2, .. of dst.
void	M4MemHalfPelFields( u8* dst, u32 dstStride, u32 dstField, const M4Plane& reference, s32 x, s32 fieldY, const M4_VECTOR& vector, u32 fieldSelect, u32 rows, u32 rounding );

// Predicts the 8 x 8 blocks at (x, y) of both chroma planes with one
// vector: the pixels of M4MemHalfPelInterpolate on each plane, made for
// both at once. u and v share their geometry; dstU and dstV start on tiles
// of planes of stride dstStride.
void	M4MemHalfPelInterpolateChroma( u8* dstU, u8* dstV, u32 dstStride, const M4Plane& u, const M4Plane& v, s32 x, s32 y, const M4_VECTOR& vector, u32 rounding );

// The same predictions averaged into what dst holds, (dst + prediction +
// 1) >> 1 per pixel: the second prediction of a bidirectional macroblock.
void	M4MemHalfPelInterpolateAverage( u8* dst, u32 dstStride, const M4Plane& reference, s32 x, s32 y, const M4_VECTOR& vector, u32 rounding );
void	M4MemHalfPelInterpolate16Average( u8* dst, u32 dstStride, const M4Plane& reference, s32 x, s32 y, const M4_VECTOR& vector, u32 rounding );
void	M4MemHalfPelInterpolateChromaAverage( u8* dstU, u8* dstV, u32 dstStride, const M4Plane& u, const M4Plane& v, s32 x, s32 y, const M4_VECTOR& vector, u32 rounding );
void	M4MemHalfPelFieldsAverage( u8* dst, u32 dstStride, u32 dstField, const M4Plane& reference, s32 x, s32 fieldY, const M4_VECTOR& vector, u32 fieldSelect, u32 rows, u32 rounding );

// The same kernels one pixel at a time through the clamped plane, storing
// the prediction or, with average, averaging it in: the plain kernels the
// fast ones must match.
void	M4MemHalfPelInterpolateReference( u8* dst, u32 dstStride, const M4Plane& reference, s32 x, s32 y, const M4_VECTOR& vector, u32 rounding, bool average = false );
void	M4MemHalfPelFieldsReference( u8* dst, u32 dstStride, u32 dstField, const M4Plane& reference, s32 x, s32 fieldY, const M4_VECTOR& vector, u32 fieldSelect, u32 rows, u32 rounding, bool average = false );

#endif
