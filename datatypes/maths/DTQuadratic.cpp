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
	const f32 s = DTSqrtf( discriminant );
	root0 = -0.5f * ( b + s ) / a;
	root1 = -0.5f * ( b - s ) / a;
	return 2;
}
