/*
===============================================================================

	Global motion compensation of one block.

	Every pixel of the block is warped by the sprite frame's parameters
	into the reference, at the sprite accuracy (1/s sample), and
	interpolated bilinearly from its four neighbours with the frame's
	rounding type. No points keep every pixel in place, one point
	translates, two points add rotation and zoom, three points give an
	affine warp; chroma pixels are warped from the centre of their luma
	quad, and with one point the chroma offset rounds a quarter sample to
	the half, as chroma vectors do. With two and three points the warped
	position rounds to the nearest 1/s sample, halves up. Reads go through the clamped plane, so
	warps that leave the picture see its edges extended.

===============================================================================
*/
#ifndef M4_MEM_GMC_H
#define M4_MEM_GMC_H

#include "video/m4/M4Plane.h"
#include "video/m4/M4SpriteWarp.h"

// Warped position of luma pixel (i, j), or of chroma pixel (i, j) with
// chroma, in 1/s sample.
void	M4GMCWarpPosition( const M4SpriteWarp& warp, s64 i, s64 j, bool chroma, s64* f, s64* g );

// Predicts the 8 x 8 block at (x, y) of reference (a luma plane, or a
// chroma plane with chroma) into dst, tiled with stride dstStride.
void	M4MemGMCInterpolate( u8* dst, u32 dstStride, const M4Plane& reference, const M4SpriteWarp& warp, s32 x, s32 y, bool chroma, u32 rounding );

#endif
