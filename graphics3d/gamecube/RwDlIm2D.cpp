// Immediate 2D, raster render and raster clear of the console device
// driver. Until they draw, the 2D entries and the render and clear
// standards refuse; the raster context is kept, and the Z/colour clear
// quad that camera clear asks for is recorded.

#include "graphics3d/gamecube/RwDlDriver.h"

RwRaster*			_RwDlRasterTarget = nullptr;
RwDlClearRectCall	_RwDlLastClearRect = {};

bool _rwDlIm2DRenderLine( RwIm2DVertex*, s32, s32, s32 ) {
	return false;
}

bool _rwDlIm2DRenderTriangle( RwIm2DVertex*, s32, s32, s32, s32 ) {
	return false;
}

bool _rwDlIm2DRenderPrimitive( RwPrimitiveType, RwIm2DVertex*, s32 ) {
	return false;
}

bool _rwDlIm2DRenderIndexedPrimitive( RwPrimitiveType, RwIm2DVertex*, s32, RwImVertexIndex*, s32 ) {
	return false;
}

bool _rwDlSetRasterContext( void*, void* inOut, s32 ) {
	_RwDlRasterTarget = static_cast<RwRaster*>( inOut );
	return true;
}

bool _rwDlRasterClearRect( void*, void*, s32 ) {
	return false;
}

bool _rwDlRasterClear( void*, void*, s32 ) {
	return false;
}

bool _rwDlRasterRender( void*, void*, s32 ) {
	return false;
}

bool _rwDlRasterRenderScaled( void*, void*, s32 ) {
	return false;
}

bool _rwDlRasterRenderFast( void*, void*, s32 ) {
	return false;
}

bool _rwDlRasterCamera_ZClearRect( RwRaster* raster, const RwRect* rect, const RwRGBA* colour, const s32 flags ) {
	_RwDlLastClearRect.raster = raster;
	_RwDlLastClearRect.rect = *rect;
	_RwDlLastClearRect.colour = colour != nullptr ? *colour : RwRGBA{ 0, 0, 0, 0 };
	_RwDlLastClearRect.flags = flags;
	_RwDlLastClearRect.calls++;
	return true;
}
