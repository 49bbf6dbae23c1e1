/*
===============================================================================

	Plain record of 3 floats (x, y, z).

	A property of a vector type loads its floats into consecutive members
	of one of these, in member order. No constructor, no virtual operation:
	the record is exactly 3 floats and can lie over any field of that shape.

===============================================================================
*/
#ifndef DT_DUMMY_VECTOR3_H
#define DT_DUMMY_VECTOR3_H

#include "datatypes/base/DTTypes.h"

struct DTDummyVector3 {
	f32						x;
	f32						y;
	f32						z;
};

static_assert( sizeof( DTDummyVector3 ) == 3 * sizeof( f32 ), "DTDummyVector3 must be exactly 3 floats" );

#endif
