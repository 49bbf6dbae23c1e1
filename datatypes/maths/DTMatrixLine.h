/*
===============================================================================

	One row of a DTMatrix: a vector and the 32-bit word after it (the flags
	word after right, padding after up, at and pos).

===============================================================================
*/
#ifndef DT_MATRIX_LINE_H
#define DT_MATRIX_LINE_H

#include "datatypes/maths/DTVector3d.h"

class DTMatrixLine {
public:
	DTVector3d				oVector;
	u32						ui32Pad;
};

static_assert( sizeof( DTMatrixLine ) == 16, "a matrix row is four 32-bit words" );
static_assert( offsetof( DTMatrixLine, oVector ) == 0, "a matrix row starts with its vector" );
static_assert( offsetof( DTMatrixLine, ui32Pad ) == 12, "a matrix row ends with its word" );

#endif
