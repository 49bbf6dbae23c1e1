/*
===============================================================================

	Two-component vectors of the 3D library.

	Used for a camera's view window, its reciprocals and its view offset.

===============================================================================
*/
#ifndef RW_V2D_H
#define RW_V2D_H

#include "datatypes/base/DTTypes.h"

struct RwV2d {
	f32		x;
	f32		y;
};

#endif
