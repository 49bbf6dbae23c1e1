/*
===============================================================================

	Image copies across depths.

	RwImageCopy copies the source's pixels into the destination's own
	memory, row by row with each image's stride, over the area both
	images cover. Equal depths copy bytes (and the palette when both have
	one); 4 -> 8 copies the indices (the low nibble of each 4-bit byte);
	4 -> 32 and 8 -> 32 replace each index by its palette colour. Any other
	pair records 0x80000009 and changes neither image. After a copy the
	destination's gamma-corrected flag is the source's.

===============================================================================
*/
#ifndef RW_IMAGE_CONVERT_H
#define RW_IMAGE_CONVERT_H

#include "graphics3d/core/RwImage.h"

// The destination, or null (0x80000009 for an unsupported pair of
// depths, 0x80000016 for an image without pixels or palette).
RwImage*	RwImageCopy( RwImage* destImage, const RwImage* sourceImage );

#endif
