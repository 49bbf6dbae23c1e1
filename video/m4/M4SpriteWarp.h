/*
===============================================================================

	Global-motion parameters of a sprite frame.

	Derived once per frame from the coded warping points (none, one for a
	translation, two for an isotropic warp, three for an affine warp), the
	picture's width and height and the warping accuracy, as the MPEG-4
	visual standard defines them: the reference points in sprite
	coordinates (units of 1/s sample, s = 2 << accuracy) and the two
	virtual points at the power-of-two distances W' and H' (units of 1/16
	sample), from which every pixel's warped position follows. Products are
	formed in 64 bits.

===============================================================================
*/
#ifndef M4_SPRITE_WARP_H
#define M4_SPRITE_WARP_H

#include "datatypes/base/DTTypes.h"

constexpr u32 M4_MAX_WARPING_POINTS = 3;

struct M4SpriteWarp {
	u32		mPointCount;
	u32		mAccuracy;
	s32		mResolution;						// s = 2 << accuracy
	s32		mDu[M4_MAX_WARPING_POINTS];			// coded trajectories, half samples
	s32		mDv[M4_MAX_WARPING_POINTS];
	s32		mSpriteI[M4_MAX_WARPING_POINTS];	// i'0..2, 1/s sample
	s32		mSpriteJ[M4_MAX_WARPING_POINTS];	// j'0..2
	s32		mVirtualI[2];						// i''1, i''2, 1/16 sample
	s32		mVirtualJ[2];						// j''1, j''2
	u32		mLog2VirtualWidth;					// W' = 1 << this, the least power of 2 >= W
	u32		mLog2VirtualHeight;					// H'
};

// Fills the derived fields of warp from its points, count and accuracy.
void	M4SpriteWarpDerive( M4SpriteWarp* warp, u32 width, u32 height );

// a // b of the standard: division rounded to nearest, halves away from 0.
s64		M4DivideRounded( s64 a, s64 b );

#endif
