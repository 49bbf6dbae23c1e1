#include "datatypes/maths/DTCubic.h"

#include "datatypes/maths/DTPolishRoot.h"
#include "datatypes/maths/DTQuadratic.h"
#include "datatypes/maths/DTSqrtf.h"

#include <cmath>

namespace {

// 2pi/3 and 4pi/3 as floats.
constexpr f32 THIRD_TURN		= 2.0943952f;
constexpr f32 TWO_THIRDS_TURN	= 4.1887903f;

// pow(|t|, 1/3) in double with the sign of t put back.
f32 CubeRoot( const f32 t ) {
	const f64 root = std::pow( std::fabs( static_cast<f64>( t ) ), 1.0 / 3.0 );
	return static_cast<f32>( t < 0.0f ? -root : root );
}

} // namespace

u32 DTCubic::Solve() {
	if ( std::fabs( static_cast<f64>( a ) ) < static_cast<f64>( DT_SOLVER_LEADING_MIN ) ) {
		DTQuadratic quadratic = { b, c, d, root0, root1 };
		const u32 count = quadratic.Solve();
		if ( count > 0 ) {
			root0 = quadratic.root0;
		}
		if ( count > 1 ) {
			root1 = quadratic.root1;
		}
		return count;
	}
	const f32 inverse = 1.0f / a;
	const f32 A = b * inverse;
	const f32 B = c * inverse;
	const f32 C = d * inverse;
	const u32 count = SolveNormalised( A, B, C );
	const f32 coefficients[4] = { a, b, c, d };
	f32 * const roots[3] = { &root0, &root1, &root2 };
	for ( u32 i = 0; i < count; i++ ) {
		*roots[i] = DTPolishRoot( coefficients, 4, *roots[i] );
	}
	return count;
}

u32 DTCubic::SolveNormalised( const f32 A, const f32 B, const f32 C ) {
	// x = y - A/3 gives y^3 + 3p y - 2h = 0.
	const f32 p = B / 3.0f - A * A / 9.0f;
	const f32 h = A * B / 6.0f - C / 2.0f - A * A * A / 27.0f;
	const f32 discriminant = h * h + p * p * p;
	const f32 shift = -A / 3.0f;
	if ( discriminant > 0.0f ) {
		const f32 s = DTSqrtf( discriminant );
		const f32 u = CubeRoot( h + s );
		const f32 v = CubeRoot( h - s );
		root0 = shift + u + v;
		return 1;
	}
	if ( discriminant < 0.0f ) {
		// A negative discriminant needs p < 0, and h^2 below -p^3 keeps the
		// cosine within [-1, 1] through the float rounding.
		const f32 cosine = h / DTSqrtf( -( p * p * p ) );
		const f32 phi = static_cast<f32>( std::acos( static_cast<f64>( cosine ) ) / 3.0 );
		const f32 t = 2.0f * DTSqrtf( -p );
		root0 = shift + t * std::cos( phi );
		root1 = shift + t * std::cos( phi + THIRD_TURN );
		root2 = shift + t * std::cos( phi + TWO_THIRDS_TURN );
		return 3;
	}
	// k is 9p computed another way: when either is zero the discriminant
	// h^2 + p^3 = 0 leaves h = 0 and a triple root, and a k of a rounding
	// step beside a zero p would only divide noise by noise.
	const f32 k = 3.0f * B - A * A;
	if ( k == 0.0f || p == 0.0f ) {
		root0 = shift;
		return 1;
	}
	root0 = ( A * B - 9.0f * C ) / ( 2.0f * k );
	root1 = ( A * A * A - 4.0f * A * B + 9.0f * C ) / k;
	return 2;
}
