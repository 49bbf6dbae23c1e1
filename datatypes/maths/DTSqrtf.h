/*
===============================================================================

	Single-precision square root with the console's rule for arguments
	that have no real root.

	The console's inline square root hands back its argument unchanged when
	the argument is zero or negative (and a NaN unchanged too). Code that
	relies on that rule (the polynomial solvers, the jump solver) calls
	this instead of std::sqrt, which would give a NaN for a negative value.

===============================================================================
*/
#ifndef DT_SQRTF_H
#define DT_SQRTF_H

#include "datatypes/base/DTTypes.h"

#include <cmath>

inline f32 DTSqrtf( const f32 x ) {
	if ( !( x > 0.0f ) ) {
		return x;
	}
	return std::sqrt( x );
}

#endif
