/*
===============================================================================

	Plain record of 4 floats (x, y, z, t).

	A property of a vector type loads its floats into consecutive members
	of one of these, in member order. No constructor, no virtual operation:
	the record is exactly 4 floats and can lie over any field of that shape.

===============================================================================
*/
#ifndef DT_DUMMY_VECTOR4_H
#define DT_DUMMY_VECTOR4_H

#include "datatypes/base/DTTypes.h"

struct DTDummyVector4 {
	f32						x;
	f32						y;
	f32						z;
	f32						t;
};

static_assert( sizeof( DTDummyVector4 ) == 4 * sizeof( f32 ), "DTDummyVector4 must be exactly 4 floats" );

#endif
