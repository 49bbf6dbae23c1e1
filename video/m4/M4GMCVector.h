/*
===============================================================================

	Motion vector of a global-motion macroblock.

	A macroblock predicted by global motion has no coded vector, yet its
	neighbours predict their vectors from it and B-frames scale it in
	direct mode. It stands for the average displacement of its 256 luma
	positions under the warp: the sum of (warped position - position) in
	1/s sample, turned into half samples with rounding to nearest (halves
	away from zero) and clipped to the f-code's range.

===============================================================================
*/
#ifndef M4_GMC_VECTOR_H
#define M4_GMC_VECTOR_H

#include "video/m4/M4MacroBlock.h"
#include "video/m4/M4SpriteWarp.h"

// The average vector of the macroblock at (mbX, mbY) in half samples,
// within -32 x 2^(fcode-1) .. 32 x 2^(fcode-1) - 1.
M4_VECTOR	M4GMCAverageVector( const M4SpriteWarp& warp, u32 mbX, u32 mbY, u32 fcode );

#endif
