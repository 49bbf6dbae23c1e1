/*
===============================================================================

	Plain record of 2 floats (x, y).

	A property of a vector type loads its floats into consecutive members
	of one of these, in member order. No constructor, no virtual operation:
	the record is exactly 2 floats and can lie over any field of that shape.

===============================================================================
*/
#ifndef DT_DUMMY_VECTOR2_H
#define DT_DUMMY_VECTOR2_H

#include "datatypes/base/DTTypes.h"

struct DTDummyVector2 {
	f32						x;
	f32						y;
};

static_assert( sizeof( DTDummyVector2 ) == 2 * sizeof( f32 ), "DTDummyVector2 must be exactly 2 floats" );

#endif
