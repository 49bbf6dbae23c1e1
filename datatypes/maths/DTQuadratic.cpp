#include "datatypes/maths/DTQuadratic.h"

#include "datatypes/maths/DTSqrtf.h"

#include <cmath>

u32 DTQuadratic::Solve() {
	if ( std::fabs( static_cast<f64>( a ) ) < static_cast<f64>( DT_SOLVER_LEADING_MIN ) ) {
		root0 = -c / b;
		return 1;
	}
	const f32 discriminant = b * b - 4.0f * a * c;
	// The sign bit decides, so -0.0 has no root and +0.0 one.
	if ( std::signbit( discriminant ) ) {
		return 0;
	}
	if ( discriminant == 0.0f ) {
		root0 = -0.5f * b / a;
		return 1;
	}
	// When 4ac is small against b^2, s is nearly |b| and b - s (for b >= 0)
	// or b + s (for b < 0) cancels to a few bits. That root is taken from
	// the other through the product of the roots, c / a: with q = a * root,
	// the other root is c / q. Dividing by q itself, never by a * root,
	// keeps it finite when q / a underflows to zero.
	const f32 s = DTSqrtf( discriminant );
	if ( b >= 0.0f ) {
		const f32 q = -0.5f * ( b + s );
		root0 = q / a;
		root1 = c / q;
	} else {
		const f32 q = -0.5f * ( b - s );
		root1 = q / a;
		root0 = c / q;
	}
	return 2;
}
