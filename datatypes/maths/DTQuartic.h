/*
===============================================================================

	Real roots of a x^4 + b x^3 + c x^2 + d x + e, in closed form and
	single precision.

	Coefficients then roots, all 32-bit floats. Solve returns the count
	(0 to 4) and writes the roots in the order of its formulas, unsorted;
	the other roots keep what they held. The leading coefficient is not
	tested, and a zero one, like a zero intermediate divisor, gives
	non-finite roots that are still counted.

	The depressed quartic y^4 + p y^2 + q y + r (x = y - A/4) is solved as
	a biquadratic when q is zero, its two values of y^2 found by the
	quadratic solver so that the smaller keeps float precision. Otherwise
	it is factored through a positive root m of its resolvent cubic into
	(y^2 + s y + t1)(y^2 - s y + t2), s = sqrt m.
	When rounding leaves the resolvent without a positive root (q tiny
	against p and r), the quartic is solved as the biquadratic it nearly
	is, rather than dividing by s = 0. The factors' constants come from
	t1 + t2 = p + m and t2 - t1 = q / s, so a zero t1 loses no root.

	Every root found is then refined with at most two Newton steps in
	double precision on the original coefficients; the count and the
	order of the roots are the closed forms'.

===============================================================================
*/
#ifndef DT_QUARTIC_H
#define DT_QUARTIC_H

#include "datatypes/base/DTTypes.h"

class DTQuartic {
public:
	f32						a;
	f32						b;
	f32						c;
	f32						d;
	f32						e;
	f32						root0;
	f32						root1;
	f32						root2;
	f32						root3;

	u32						Solve();

private:
	// The closed forms on the depressed quartic; roots unrefined.
	u32						SolveDepressed();
	// Appends y - shift to the roots.
	void					AddRoot( u32 & count, const f32 y, const f32 shift );
	// Roots of y^4 + p y^2 + r.
	u32						SolveBiquadratic( const f32 p, const f32 r, const f32 shift );
};

#endif
