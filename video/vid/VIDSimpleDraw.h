/*
===============================================================================

	Drawing a movie picture.

	The decoder leaves each picture as three 8-bit planes in the GPU's
	intensity-texture layout: Y at the texture size, U and V at half of it.
	One screen-aligned quad is drawn with the three planes bound as
	textures, and six TEV stages turn YUV into RGB:

	  red   = 2 (-114 + 205/255 V + 149/255 Y)
	  blue  = 2 (-139 + U - 3/255 U + 149/255 Y)
	  green = 2 (68 - 50/255 U - 104/255 V + 149/255 Y)

	each clamped to 0..255. Red and blue travel in the colour channels,
	green in alpha; the last stage puts green in its place. Nothing of the
	conversion runs on the processor.

	The caller brackets the drawing with the camera's begin and end of
	update; the restore leaves the GPU in single-stage replace mode with
	the swap tables reset (the pixel format stays RGBA6).

===============================================================================
*/
#ifndef VID_SIMPLE_DRAW_H
#define VID_SIMPLE_DRAW_H

#include "datatypes/base/DTTypes.h"

struct GXRenderModeObj;
struct VIDImage;

// TEV stages of the conversion, set by VIDSetupTEV(1).
constexpr u32 VID_TEV_STAGES = 6;

// Draws the reader's current picture into the rectangle: set-up, draw,
// restore. Without a picture (nothing decoded yet) nothing is drawn.
void	VIDSimpleDraw( const GXRenderModeObj* mode, s16 x, s16 y, s16 width, s16 height );

// The three steps of a drawing.
void	VIDDrawGXYuv2RgbSetup( const GXRenderModeObj* mode );
void	VIDDrawGXYuv2RgbDraw( s16 x, s16 y, s16 width, s16 height, const VIDImage* image );
void	VIDDrawGXRestore();

// Sets the TEV up for the conversion of the given mode and returns the
// stages it uses: 6 for mode 1; any other mode configures nothing and
// gives 0.
u32		VIDSetupTEV( u32 mode );

#endif
