/*
===============================================================================

	The clear colour the camera table keeps for copies into textures (red,
	green, blue, alpha bytes): a shadow silhouette's copy clears its
	raster with it. Zero until logic sets it.

===============================================================================
*/
#ifndef LOGIC_API_CLEAR_COLOR_H
#define LOGIC_API_CLEAR_COLOR_H

#include "platform/gx/GX.h"

extern GXColor	sFloatClearColor;

#endif
