#include "datatypes/maths/DTCubic.h"
#include "datatypes/maths/DTQuadratic.h"
#include "datatypes/maths/DTQuartic.h"
#include "datatypes/maths/DTSqrtf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Roots a solver has not written keep this value.
constexpr f32 UNTOUCHED = 12345.0f;

struct PolynomialRow {
	const char *		name;
	std::vector<f32>	coefficients;	// leading first
	std::vector<f32>	roots;			// in the solver's order
};

std::vector<f32> Solve( const std::vector<f32> & k, u32 & count, std::vector<f32> & rest ) {
	std::vector<f32> roots;
	rest.clear();
	if ( k.size() == 3 ) {
		DTQuadratic q = { k[0], k[1], k[2], UNTOUCHED, UNTOUCHED };
		count = q.Solve();
		roots = { q.root0, q.root1 };
	} else if ( k.size() == 4 ) {
		DTCubic c = { k[0], k[1], k[2], k[3], UNTOUCHED, UNTOUCHED, UNTOUCHED };
		count = c.Solve();
		roots = { c.root0, c.root1, c.root2 };
	} else {
		DTQuartic q = { k[0], k[1], k[2], k[3], k[4], UNTOUCHED, UNTOUCHED, UNTOUCHED, UNTOUCHED };
		count = q.Solve();
		roots = { q.root0, q.root1, q.root2, q.root3 };
	}
	rest.assign( roots.begin() + count, roots.end() );
	roots.resize( count );
	return roots;
}

TEST( DTPolynomial, SolversReturnTheirRootsInTheirOwnOrder ) {
	const PolynomialRow rows[] = {
		{ "(x - 1)(x - 2)", { 1, -3, 2 }, { 1, 2 } },
		{ "-(x - 1)(x - 2)", { -1, 3, -2 }, { 2, 1 } },
		{ "x^2 + 1", { 1, 0, 1 }, {} },
		{ "(x - 1)^2", { 1, -2, 1 }, { 1 } },
		{ "almost linear 2x - 4", { 0.000001f, 2, -4 }, { 2 } },
		{ "(x - 1)(x - 2)(x - 3)", { 1, -6, 11, -6 }, { 3, 1, 2 } },
		{ "x^3 - 1", { 1, 0, 0, -1 }, { 1 } },
		{ "double root 1, simple root -2", { 1, 0, -3, 2 }, { 1, -2 } },
		{ "triple root 2", { 1, -6, 12, -8 }, { 2 } },
		{ "almost quadratic x^2 - 3x + 2", { 0.000001f, 1, -3, 2 }, { 1, 2 } },
		{ "x^4 - 5x^2 + 4", { 1, 0, -5, 0, 4 }, { 2, -2, 1, -1 } },
		{ "x^4 + 1", { 1, 0, 0, 0, 1 }, {} },
		{ "x^4", { 1, 0, 0, 0, 0 }, { 0 } },
		{ "x^4 - 16", { 1, 0, 0, 0, -16 }, { 2, -2 } },
		{ "x^2 (x^2 - 4)", { 1, 0, -4, 0, 0 }, { 2, -2, 0 } },
		{ "(x^2 - 2)^2 with a double pair", { 1, 0, -4, 0, 4 }, { 1.4142135f, -1.4142135f } },
		{ "(x - 1)(x - 2)(x - 3)(x - 4)", { 1, -10, 35, -50, 24 }, { 4, 1, 3, 2 } },
		{ "(x + 1)(x - 2)(x^2 + 1)", { 1, -1, -1, -1, -2 }, { 2, -1 } },
		{ "x (x - 1)(x - 2)(x + 3), a factor with a zero constant", { 1, 0, -7, 6, 0 }, { 0, -3, 2, 1 } },
	};
	for ( const PolynomialRow & row : rows ) {
		u32 count = 0;
		std::vector<f32> rest;
		const std::vector<f32> roots = Solve( row.coefficients, count, rest );
		ASSERT_EQ( count, row.roots.size() ) << row.name;
		// The quadratic's roots of these small integer cases are exact.
		const f32 tolerance = row.coefficients.size() == 3 ? 0.0f : 2e-4f;
		for ( size_t i = 0; i < roots.size(); i++ ) {
			EXPECT_NEAR( roots[i], row.roots[i], tolerance ) << row.name << " root " << i;
		}
		for ( const f32 untouched : rest ) {
			EXPECT_EQ( untouched, UNTOUCHED ) << row.name;
		}
	}
}

TEST( DTPolynomial, QuadraticDiscriminantOfZeroGivesOneRoot ) {
	const struct {
		f32		a;
		f32		b;
		f32		c;
		u32		count;
		f32		root;
	} rows[] = {
		{ 1.0f, 0.0f, 0.0f, 1, 0.0f },
		{ -1.0f, 0.0f, 0.0f, 1, 0.0f },
		{ 4.0f, -4.0f, 1.0f, 1, 0.5f },
		// A discriminant a rounding step below zero.
		{ 1.0f, 0.0f, 1e-30f, 0, UNTOUCHED },
	};
	for ( const auto & row : rows ) {
		DTQuadratic q = { row.a, row.b, row.c, UNTOUCHED, UNTOUCHED };
		EXPECT_EQ( q.Solve(), row.count ) << row.a << " " << row.b << " " << row.c;
		EXPECT_EQ( q.root0, row.root );
		EXPECT_EQ( q.root1, UNTOUCHED );
	}
}

TEST( DTPolynomial, AQuadraticRootThatUnderflowsLeavesTheOtherFinite ) {
	// -0.5 (b + s) / a underflows to zero; the other root, taken through
	// the product of the roots, must not become 0 / 0.
	const struct {
		f32		a;
		f32		b;
	} rows[] = { { 1e30f, 1e-20f }, { -1e30f, 1e-20f }, { 1e30f, -1e-20f } };
	for ( const auto & row : rows ) {
		DTQuadratic q = { row.a, row.b, 0.0f, UNTOUCHED, UNTOUCHED };
		EXPECT_EQ( q.Solve(), 2u ) << row.a << " " << row.b;
		EXPECT_EQ( q.root0, 0.0f ) << row.a << " " << row.b;
		EXPECT_EQ( q.root1, 0.0f ) << row.a << " " << row.b;
	}
}

TEST( DTPolynomial, UncheckedDivisionsGiveCountedNonFiniteRoots ) {
	DTQuadratic constant = { 0.0f, 0.0f, 1.0f, UNTOUCHED, UNTOUCHED };
	EXPECT_EQ( constant.Solve(), 1u );
	EXPECT_FALSE( std::isfinite( constant.root0 ) );
	DTQuartic noLeading = { 0.0f, 1.0f, 0.0f, 0.0f, -1.0f, UNTOUCHED, UNTOUCHED, UNTOUCHED, UNTOUCHED };
	const u32 count = noLeading.Solve();
	const f32 roots[4] = { noLeading.root0, noLeading.root1, noLeading.root2, noLeading.root3 };
	for ( u32 i = 0; i < count; i++ ) {
		EXPECT_FALSE( std::isfinite( roots[i] ) );
	}
}

TEST( DTPolynomial, NearlyBiquadraticQuarticsGiveTheBiquadraticRoots ) {
	// y^4 + 3y^2 - 4 = (y^2 + 4)(y^2 - 1) plus a q y that is a rounding
	// error against p and r: the resolvent cubic's only real root is then
	// zero or rounds below it, and s = 0 must not divide q.
	const struct {
		f32		q;
		f32		r;
		std::vector<f32>	roots;	// ascending
	} rows[] = {
		{ 1e-30f, -4.0f, { -1, 1 } },
		{ -1e-30f, -4.0f, { -1, 1 } },
		{ 1e-20f, -4.0f, { -1, 1 } },
		{ 1e-6f, -4.0f, { -1, 1 } },
		{ -1e-6f, -4.0f, { -1, 1 } },
		{ 1e-30f, 2.0f, {} },
		{ 1e-6f, 2.0f, {} },
	};
	for ( const auto & row : rows ) {
		DTQuartic quartic = { 1.0f, 0.0f, 3.0f, row.q, row.r, UNTOUCHED, UNTOUCHED, UNTOUCHED, UNTOUCHED };
		const u32 count = quartic.Solve();
		std::vector<f32> roots = { quartic.root0, quartic.root1, quartic.root2, quartic.root3 };
		roots.resize( count );
		std::sort( roots.begin(), roots.end() );
		ASSERT_EQ( count, row.roots.size() ) << "q " << row.q << " r " << row.r;
		for ( u32 i = 0; i < count; i++ ) {
			EXPECT_TRUE( std::isfinite( roots[i] ) );
			EXPECT_NEAR( roots[i], row.roots[i], 1e-3f ) << "q " << row.q << " r " << row.r;
		}
	}
}

TEST( DTPolynomial, SquareRootHandsBackArgumentsWithoutARealRoot ) {
	const f32 nan = std::numeric_limits<f32>::quiet_NaN();
	EXPECT_EQ( DTSqrtf( 4.0f ), 2.0f );
	EXPECT_EQ( DTSqrtf( -9.0f ), -9.0f );
	EXPECT_TRUE( std::signbit( DTSqrtf( -0.0f ) ) );
	EXPECT_TRUE( std::isnan( DTSqrtf( nan ) ) );
}

} // namespace
