/*
===============================================================================

	Colours of the 3D library as four bytes.

	RwRGBA is a colour of one byte per channel, in memory order red, green,
	blue, alpha: the layout of 32-bit image pixels and of image palettes.

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

#endif
