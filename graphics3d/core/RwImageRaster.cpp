#include "graphics3d/core/RwImageRaster.h"

#include "graphics3d/core/RwEngine.h"

#include <cstring>

static bool Standard( const s32 standard, void* out, void* inOut, const s32 inInt ) {
	const RwStandardFunc function = RwEngineInstance->standards[standard];
	return function != nullptr && function( out, inOut, inInt );
}

RwImage* RwImageSetFromRaster( RwImage* image, RwRaster* raster ) {
	if ( !Standard( rwSTANDARDIMAGEGETRASTER, image, raster, 0 ) ) {
		return nullptr;
	}
	if ( raster->privateFlags & rwRASTERGAMMACORRECTED ) {
		image->flags |= rwIMAGEGAMMACORRECTED;
	}
	return image;
}

RwRaster* RwRasterSetFromImage( RwRaster* raster, RwImage* image ) {
	if ( !Standard( rwSTANDARDRASTERSETIMAGE, raster, image, 0 ) ) {
		return nullptr;
	}
	if ( image->flags & rwIMAGEGAMMACORRECTED ) {
		raster->privateFlags |= rwRASTERGAMMACORRECTED;
	}
	return raster;
}

RwImage* RwImageFindRasterFormat( RwImage* image, const s32 rasterType, s32* width, s32* height, s32* depth,
								  s32* format ) {
	RwRaster scratch;
	std::memset( &scratch, 0, sizeof( scratch ) );
	scratch.parent = &scratch;
	if ( !Standard( rwSTANDARDIMAGEFINDRASTERFORMAT, &scratch, image, rasterType ) ) {
		return nullptr;
	}
	*width = scratch.width;
	*height = scratch.height;
	*depth = scratch.depth;
	*format = ( static_cast<s32>( scratch.cFormat ) << 8 ) | scratch.cType;
	return image;
}

RwRGBA* RwRGBASetFromPixel( RwRGBA* rgbOut, u32 pixelValue, const s32 rasterFormat ) {
	if ( !Standard( rwSTANDARDPIXELTORGB, rgbOut, &pixelValue, rasterFormat ) ) {
		return nullptr;
	}
	return rgbOut;
}
