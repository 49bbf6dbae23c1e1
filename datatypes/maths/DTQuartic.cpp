#include "datatypes/maths/DTQuartic.h"

#include "datatypes/maths/DTCubic.h"
#include "datatypes/maths/DTPolishRoot.h"
#include "datatypes/maths/DTQuadratic.h"
#include "datatypes/maths/DTSqrtf.h"

namespace {

// Coefficients of the depressing substitution x = y - A/4: 3/8, 1/8, 1/2,
// 3/256, 1/16 and 1/4.
constexpr f32 P_A2		= 0.375f;
constexpr f32 Q_A3		= 0.125f;
constexpr f32 Q_AB		= 0.5f;
constexpr f32 R_A4		= 0.01171875f;
constexpr f32 R_A2B		= 0.0625f;
constexpr f32 R_AC		= 0.25f;
constexpr f32 SHIFT		= 0.25f;

} // namespace

void DTQuartic::AddRoot( u32 & count, const f32 y, const f32 shift ) {
	f32 * const roots[4] = { &root0, &root1, &root2, &root3 };
	if ( count < 4 ) {
		*roots[count] = y - shift;
		count++;
	}
}

u32 DTQuartic::SolveBiquadratic( const f32 p, const f32 r, const f32 shift ) {
	u32 count = 0;
	if ( p == 0.0f ) {
		if ( r > 0.0f ) {
			return 0;
		}
		if ( r == 0.0f ) {
			AddRoot( count, 0.0f, shift );
			return count;
		}
		const f32 y = DTSqrtf( DTSqrtf( -r ) );
		AddRoot( count, y, shift );
		AddRoot( count, -y, shift );
		return count;
	}
	const f32 delta = p * p - 4.0f * r;
	if ( delta < 0.0f ) {
		return 0;
	}
	if ( delta > 0.0f ) {
		// The squares z1 = (-p + s) / 2 and z2 = (-p - s) / 2 are the roots
		// of z^2 + p z + r, solved without losing the smaller one to
		// cancellation; the quadratic writes them as root1 and root0.
		DTQuadratic squares = { 1.0f, p, r, 0.0f, 0.0f };
		squares.Solve();
		const f32 z[2] = { squares.root1, squares.root0 };
		for ( const f32 square : z ) {
			if ( square == 0.0f ) {
				AddRoot( count, 0.0f, shift );
			} else if ( square > 0.0f ) {
				const f32 y = DTSqrtf( square );
				AddRoot( count, y, shift );
				AddRoot( count, -y, shift );
			}
		}
		return count;
	}
	// A zero discriminant: y^2 = -p/2, each sign once.
	const f32 square = -p / 2.0f;
	if ( square > 0.0f ) {
		const f32 y = DTSqrtf( square );
		AddRoot( count, y, shift );
		AddRoot( count, -y, shift );
	}
	return count;
}

u32 DTQuartic::Solve() {
	const u32 count = SolveDepressed();
	const f32 coefficients[5] = { a, b, c, d, e };
	f32 * const roots[4] = { &root0, &root1, &root2, &root3 };
	for ( u32 i = 0; i < count; i++ ) {
		*roots[i] = DTPolishRoot( coefficients, 5, *roots[i] );
	}
	return count;
}

u32 DTQuartic::SolveDepressed() {
	const f32 A = b / a;
	const f32 B = c / a;
	const f32 C = d / a;
	const f32 D = e / a;
	const f32 A2 = A * A;
	const f32 p = B - P_A2 * A2;
	const f32 q = Q_A3 * A2 * A - Q_AB * A * B + C;
	const f32 r = D - R_A4 * A2 * A2 + R_A2B * A2 * B - R_AC * A * C;
	const f32 shift = SHIFT * A;
	if ( q == 0.0f ) {
		return SolveBiquadratic( p, r, shift );
	}
	DTCubic resolvent = { 1.0f, 2.0f * p, p * p - 4.0f * r, -( q * q ), 0.0f, 0.0f, 0.0f };
	const u32 resolventCount = resolvent.Solve();
	const f32 resolventRoots[3] = { resolvent.root0, resolvent.root1, resolvent.root2 };
	f32 m = 0.0f;
	bool found = false;
	for ( u32 i = 0; i < resolventCount && !found; i++ ) {
		if ( resolventRoots[i] > 0.0f ) {
			m = resolventRoots[i];
			found = true;
		}
	}
	// Without a positive root q was lost in rounding: the quartic is the
	// biquadratic it nearly is, and s = 0 would divide q by zero.
	if ( !found ) {
		return SolveBiquadratic( p, r, shift );
	}
	const f32 s = DTSqrtf( m );
	// t1 + t2 = p + m and t2 - t1 = q / s; t2 = r / t1 would be 0/0 when
	// the chosen m makes t1 zero (a root at y = 0).
	const f32 t1 = 0.5f * ( p + m - q / s );
	const f32 t2 = 0.5f * ( p + m + q / s );
	u32 count = 0;
	const f32 delta1 = m - 4.0f * t1;
	if ( delta1 == 0.0f ) {
		AddRoot( count, -0.5f * s, shift );
	} else if ( delta1 > 0.0f ) {
		const f32 root = DTSqrtf( delta1 );
		AddRoot( count, 0.5f * ( -s + root ), shift );
		AddRoot( count, 0.5f * ( -s - root ), shift );
	}
	const f32 delta2 = m - 4.0f * t2;
	if ( delta2 == 0.0f ) {
		AddRoot( count, 0.5f * s, shift );
	} else if ( delta2 > 0.0f ) {
		const f32 root = DTSqrtf( delta2 );
		AddRoot( count, 0.5f * ( s + root ), shift );
		AddRoot( count, 0.5f * ( s - root ), shift );
	}
	return count;
}
