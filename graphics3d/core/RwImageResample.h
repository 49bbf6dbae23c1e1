/*
===============================================================================

	Image resampling.

	Resamples 32-bit images by area averaging. Steps are 16.16 fixed point
	(65536 x source size / destination size, truncated), so each
	destination pixel averages the source rectangle from its step to one
	unit before the next, partly covered source pixels weighted by the
	covered fraction; the truncation means that a shrink such as 4 -> 3
	covers slightly less than the last source pixel. Channels are taken as
	byte / 255 and stored as the integer part of 0.5 + 255 x the average.

===============================================================================
*/
#ifndef RW_IMAGE_RESAMPLE_H
#define RW_IMAGE_RESAMPLE_H

#include "graphics3d/core/RwImage.h"

// Both images 32-bit with pixels (else null with 0x80000009 or
// 0x80000016); the destination's gamma flag gains the source's.
RwImage*	RwImageResample( RwImage* destImage, const RwImage* sourceImage );
// A new 32-bit image of the given size resampled from image (a 4- or
// 8-bit one through a temporary 32-bit copy); null on any failure, with
// everything made on the way destroyed.
RwImage*	RwImageCreateResample( const RwImage* image, s32 width, s32 height );

#endif
