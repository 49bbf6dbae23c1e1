/*
===============================================================================

	Newton refinement of a root found in closed form.

	The single-precision closed forms of the cubic and the quartic lose
	digits on some ordinary inputs (large coefficients, roots close to the
	shift of the depressing substitution). Each root they report is
	refined on the original polynomial in double precision with at most
	two Newton steps; a step is kept only when it lowers |f|, so a root
	that is already as good as float holds, a multiple root where f' is
	zero and a non-finite root all stay as they were.

===============================================================================
*/
#ifndef DT_POLISH_ROOT_H
#define DT_POLISH_ROOT_H

#include "datatypes/base/DTTypes.h"

#include <cmath>

// Newton steps taken at most per root.
constexpr u32 DT_POLISH_STEPS = 2;

// Value and derivative of the polynomial at x; coefficients leading first.
inline void DTPolynomialAt( const f32 * coefficients, const u32 count, const f64 x, f64 & value, f64 & slope ) {
	value = 0.0;
	slope = 0.0;
	for ( u32 i = 0; i < count; i++ ) {
		slope = slope * x + value;
		value = value * x + static_cast<f64>( coefficients[i] );
	}
}

// root refined on the polynomial of count coefficients, leading first.
inline f32 DTPolishRoot( const f32 * coefficients, const u32 count, const f32 root ) {
	if ( !std::isfinite( root ) ) {
		return root;
	}
	f64 x = root;
	f64 value = 0.0;
	f64 slope = 0.0;
	DTPolynomialAt( coefficients, count, x, value, slope );
	for ( u32 step = 0; step < DT_POLISH_STEPS && value != 0.0 && slope != 0.0; step++ ) {
		const f64 next = x - value / slope;
		f64 nextValue = 0.0;
		f64 nextSlope = 0.0;
		DTPolynomialAt( coefficients, count, next, nextValue, nextSlope );
		if ( !( std::fabs( nextValue ) < std::fabs( value ) ) ) {
			break;
		}
		x = next;
		value = nextValue;
		slope = nextSlope;
	}
	// The float nearest x can still be worse than the root given, when
	// the step was below float resolution.
	const f32 polished = static_cast<f32>( x );
	f64 polishedValue = 0.0;
	f64 unused = 0.0;
	DTPolynomialAt( coefficients, count, polished, polishedValue, unused );
	DTPolynomialAt( coefficients, count, root, value, unused );
	return std::fabs( polishedValue ) <= std::fabs( value ) ? polished : root;
}

#endif
