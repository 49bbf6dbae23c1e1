/*
===============================================================================

	Colours of the 3D library, as four bytes or four floats.

	RwRGBA is a colour of one byte per channel, in memory order red, green,
	blue, alpha: the layout of 32-bit image pixels and of image palettes.
	RwRGBAReal holds the same channels as floats, as lights use them.

===============================================================================
*/
#ifndef RW_RGBA_H
#define RW_RGBA_H

#include "datatypes/base/DTTypes.h"

struct RwRGBA {
	u8		red;
	u8		green;
	u8		blue;
	u8		alpha;
};
static_assert( sizeof( RwRGBA ) == 4, "a colour is four bytes" );

// A colour of four floats, nominally 0.0 to 1.0.
struct RwRGBAReal {
	f32		red;
	f32		green;
	f32		blue;
	f32		alpha;
};

#endif
