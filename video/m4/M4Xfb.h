/*
===============================================================================

	Conversion of a decoded picture into the video frame buffer.

	The frame buffer holds 4:2:2 pixels: each pair of pixels is the word
	Y0, U, Y1, V, with the chroma of the pair's column and of row y / 2 of
	the 4:2:0 planes. The picture is written at the buffer's top left in
	strips 16 pixels wide and 8 rows high; columns past the buffer's width
	are left out. An odd picture width gives a last pair whose second
	pixel is the decoded one past the visible edge.

===============================================================================
*/
#ifndef M4_XFB_H
#define M4_XFB_H

#include "video/m4/VIDDecoder.h"

// Bytes of fast memory the conversion asks for.
constexpr u32 M4_XFB_LC_SIZE = 896;

u32		M4XfbGetLCSize();
// Writes image into xfb, a frame buffer xfbWidth pixels wide with at
// least the picture's height in rows.
void	M4XfbDraw( const VIDImage* image, u8* xfb, u32 xfbWidth );

#endif
