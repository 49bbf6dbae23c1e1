/*
===============================================================================

	Real roots of a x^3 + b x^2 + c x + d, in closed form and single
	precision.

	Coefficients then roots, all 32-bit floats. Solve returns the count and
	writes the roots in the order of its formulas, unsorted; the other
	roots keep what they held. A leading coefficient below 1e-5 in
	magnitude drops to the quadratic b x^2 + c x + d.

	One real root: Cardano's form with cube roots taken in double. Three:
	the trigonometric form, root0 for the angle phi, then phi + 2pi/3 and
	phi + 4pi/3. A discriminant that is exactly zero gives the double and
	the simple root, or a triple root (when p is zero).

	Every root found by the cubic's own forms is then refined with at most
	two Newton steps in double precision on the original coefficients, so
	that a reported root is a root even where the float forms lose their
	digits; the count and the order of the roots are the closed forms'.

===============================================================================
*/
#ifndef DT_CUBIC_H
#define DT_CUBIC_H

#include "datatypes/base/DTTypes.h"

class DTCubic {
public:
	f32						a;
	f32						b;
	f32						c;
	f32						d;
	f32						root0;
	f32						root1;
	f32						root2;

	u32						Solve();

private:
	// The closed forms on x^3 + A x^2 + B x + C; roots unrefined.
	u32						SolveNormalised( const f32 A, const f32 B, const f32 C );
};

#endif
