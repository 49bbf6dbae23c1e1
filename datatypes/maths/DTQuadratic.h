/*
===============================================================================

	Real roots of a x^2 + b x + c.

	Coefficients then roots, all 32-bit floats. Solve writes the roots it
	finds in a fixed order (for a > 0 the smaller first), returns their
	count and leaves the other roots as they were. A leading coefficient
	below 1e-5 in magnitude makes it linear, and b is then not tested: a
	zero b gives a non-finite root, which is still counted.

	Of two roots, the one whose closed form would subtract nearly equal
	numbers is taken from the other through their product c / a, so both
	keep float precision however far apart they are.

===============================================================================
*/
#ifndef DT_QUADRATIC_H
#define DT_QUADRATIC_H

#include "datatypes/base/DTTypes.h"

// Magnitude below which a leading coefficient counts as zero.
constexpr f32 DT_SOLVER_LEADING_MIN = 1e-5f;

class DTQuadratic {
public:
	f32						a;
	f32						b;
	f32						c;
	f32						root0;
	f32						root1;

	u32						Solve();
};

#endif
