/*
===============================================================================

	Immediate 2D and raster quads of the console device driver.

	Screen-space primitives are drawn with the render mode's full-frame
	viewport (the current antialiasing half under antialiasing) and an
	orthographic projection over the frame; the camera's projection, and
	a sub-raster camera's viewport and scissor, are restored after every
	call. Triangle and line lists draw whole primitives only.

===============================================================================
*/
#ifndef RW_DL_IM2D_H
#define RW_DL_IM2D_H

#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRaster.h"

// Core primitive numbers (1 line list ... 6 point list) to GX primitives;
// entry 0 is none.
constexpr s32 RWDL_PRIMITIVE_TYPES = 7;
extern const u32 _rwDlPrimConvTbl[RWDL_PRIMITIVE_TYPES];

// Viewport and scissor of the whole frame.
void	_rwDlSetFrameViewport();
// Orthographic projection over a width x height frame, position matrix 0
// the identity with Z negated.
void	_rwDlSetScreenProjection( u32 width, u32 height );

// Renders a raster as a quad onto the raster target.
bool	_rwDlRasterRenderGeneric( RwRaster* source, const RwRect* rect, bool scaled, bool blended );
// Clears a rectangle of a raster to a pixel value.
bool	_rwDlRasterClearGeneric( RwRaster* target, const RwRect* rect, u32 pixel );

#endif
