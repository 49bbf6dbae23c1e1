/*
===============================================================================

	Exchange between images and rasters through the device.

	The device converts pixels both ways (standards 6 and 7); the core
	carries the gamma-corrected state across: image flag 0x2 and raster
	private flag 0x1. RwImageFindRasterFormat asks the device (standard 9,
	on a scratch raster) what raster it would make for an image, and
	RwRGBASetFromPixel unpacks one device pixel (standard 3).

===============================================================================
*/
#ifndef RW_IMAGE_RASTER_H
#define RW_IMAGE_RASTER_H

#include "graphics3d/core/RwImage.h"
#include "graphics3d/core/RwRaster.h"

// Standard ids used here.
enum RwImageRasterStandard : s32 {
	rwSTANDARDPIXELTORGB		= 3,
	rwSTANDARDIMAGEGETRASTER	= 6,
	rwSTANDARDRASTERSETIMAGE	= 7,
	rwSTANDARDIMAGEFINDRASTERFORMAT	= 9,
};

// The image filled from the raster, or null when the device refuses.
RwImage*	RwImageSetFromRaster( RwImage* image, RwRaster* raster );
// The raster filled from the image, or null when the device refuses.
RwRaster*	RwRasterSetFromImage( RwRaster* raster, RwImage* image );
// The size, depth and format ((format byte << 8) | type) of the raster
// the device would make for the image as rasterType; null when refused.
RwImage*	RwImageFindRasterFormat( RwImage* image, s32 rasterType, s32* width, s32* height, s32* depth,
									 s32* format );
// The colour of a pixel value in a raster format; null when refused.
RwRGBA*		RwRGBASetFromPixel( RwRGBA* rgbOut, u32 pixelValue, s32 rasterFormat );

#endif
