/*
===============================================================================

	The engine's single-precision absolute value, as one function whose
	address logic modules receive through the maths table.

===============================================================================
*/
#ifndef DT_FABS_H
#define DT_FABS_H

#include "datatypes/base/DTTypes.h"

#include <cmath>

inline f32 myfabs( const f32 value ) {
	return std::fabs( value );
}

#endif
