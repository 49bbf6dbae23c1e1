/*
	The closed-form solvers against GSL on seeded random polynomials built
	from their roots. Both get the same float coefficients; roots are
	matched order-free and their error is taken relative to
	max (1, |root|). The single-precision closed forms of the cubic and the
	quartic lose accuracy on a small share of polynomials before their
	roots are refined, so their forward accuracy is asserted as shares of
	all roots; every reported root must still be a root, which is asserted
	as its backward error |f(x)| / sum |c_i| |x|^i.
*/
#include "datatypes/maths/DTCubic.h"
#include "datatypes/maths/DTQuadratic.h"
#include "datatypes/maths/DTQuartic.h"

#include <gsl/gsl_poly.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace {

// Polynomials per degree: a multiple of every pattern count.
constexpr s32 POLYNOMIALS = 24000;

typedef std::complex<f64> Complex;

class RandomPolynomials {
public:
	explicit RandomPolynomials( const u32 seed ) : mEngine( seed ) {}

	f64 Uniform( const f64 low, const f64 high ) { return std::uniform_real_distribution<f64>( low, high )( mEngine ); }

	// count real roots in [-10, 10], each at least 0.5 from the others.
	std::vector<Complex> RealRoots( const s32 count ) {
		std::vector<Complex> roots;
		while ( static_cast<s32>( roots.size() ) < count ) {
			const f64 candidate = Uniform( -10.0, 10.0 );
			bool apart = true;
			for ( const Complex & root : roots ) {
				apart = apart && std::fabs( root.real() - candidate ) >= 0.5;
			}
			if ( apart ) {
				roots.emplace_back( candidate, 0.0 );
			}
		}
		return roots;
	}

	// A conjugate pair: real part in [-10, 10], imaginary part in [0.5, 10].
	void AddPair( std::vector<Complex> & roots ) {
		const f64 re = Uniform( -10.0, 10.0 );
		const f64 im = Uniform( 0.5, 10.0 );
		roots.emplace_back( re, im );
		roots.emplace_back( re, -im );
	}

	// Leading coefficient of magnitude in [0.1, 10] and random sign.
	f64 Leading() {
		const f64 magnitude = Uniform( 0.1, 10.0 );
		return std::bernoulli_distribution( 0.5 )( mEngine ) ? magnitude : -magnitude;
	}

	// Float coefficients, leading first, of leading * prod (x - root).
	std::vector<f32> Coefficients( const std::vector<Complex> & roots ) {
		std::vector<Complex> poly = { Complex( Leading(), 0.0 ) };
		for ( const Complex & root : roots ) {
			std::vector<Complex> next( poly.size() + 1, Complex( 0.0, 0.0 ) );
			for ( size_t i = 0; i < poly.size(); i++ ) {
				next[i] += poly[i];
				next[i + 1] -= poly[i] * root;
			}
			poly = next;
		}
		std::vector<f32> coefficients;
		for ( const Complex & k : poly ) {
			coefficients.push_back( static_cast<f32>( k.real() ) );
		}
		return coefficients;
	}

private:
	std::mt19937 mEngine;
};

// Backward error of root on the polynomial, coefficients leading first.
f64 BackwardError( const std::vector<f32> & k, const f32 root ) {
	f64 value = 0.0;
	f64 scale = 0.0;
	const f64 x = root;
	for ( const f32 c : k ) {
		value = value * x + c;
		scale = scale * std::fabs( x ) + std::fabs( static_cast<f64>( c ) );
	}
	// A root at 0 of a polynomial without a constant: f is exactly 0.
	return scale == 0.0 ? std::fabs( value ) : std::fabs( value ) / scale;
}

// Largest backward error a refined single-precision root may keep: the
// rounding of the root itself to float.
constexpr f64 BACKWARD_ERROR_MAX = 1e-6;

// Counts and root errors of one degree.
struct Comparison {
	s32					cases = 0;
	s32					countsEqual = 0;
	s32					nonFinite = 0;
	f64					worstBackward = 0.0;
	std::vector<f64>	errors;

	void Add( const std::vector<f32> & engine, const std::vector<f64> & reference, const std::vector<f32> & k = {} ) {
		cases++;
		for ( const f32 root : engine ) {
			nonFinite += std::isfinite( root ) ? 0 : 1;
			if ( !k.empty() ) {
				worstBackward = std::max( worstBackward, BackwardError( k, root ) );
			}
		}
		if ( engine.size() != reference.size() ) {
			return;
		}
		countsEqual++;
		std::vector<f64> left( reference );
		for ( const f32 root : engine ) {
			size_t best = 0;
			for ( size_t i = 1; i < left.size(); i++ ) {
				if ( std::fabs( left[i] - root ) < std::fabs( left[best] - root ) ) {
					best = i;
				}
			}
			errors.push_back( std::fabs( left[best] - root ) / std::max( 1.0, std::fabs( left[best] ) ) );
			left.erase( left.begin() + static_cast<std::ptrdiff_t>( best ) );
		}
	}

	f64 ShareWithin( const f64 tolerance ) const {
		const auto within = std::count_if( errors.begin(), errors.end(), [tolerance]( f64 e ) { return e <= tolerance; } );
		return errors.empty() ? 1.0 : static_cast<f64>( within ) / static_cast<f64>( errors.size() );
	}

	f64 Worst() const { return errors.empty() ? 0.0 : *std::max_element( errors.begin(), errors.end() ); }
};

std::vector<f64> GslQuadratic( const f32 a, const f32 b, const f32 c ) {
	f64 x[2] = { 0.0, 0.0 };
	const s32 count = gsl_poly_solve_quadratic( a, b, c, &x[0], &x[1] );
	return std::vector<f64>( x, x + count );
}

std::vector<f64> GslCubic( const f32 a, const f32 b, const f32 c, const f32 d ) {
	f64 x[3] = { 0.0, 0.0, 0.0 };
	const s32 count = gsl_poly_solve_cubic( static_cast<f64>( b ) / a, static_cast<f64>( c ) / a, static_cast<f64>( d ) / a,
											&x[0], &x[1], &x[2] );
	return std::vector<f64>( x, x + count );
}

std::vector<f64> GslQuartic( const std::vector<f32> & k ) {
	const f64 ascending[5] = { k[4], k[3], k[2], k[1], k[0] };
	f64 z[8];
	gsl_poly_complex_workspace * const workspace = gsl_poly_complex_workspace_alloc( 5 );
	gsl_poly_complex_solve( ascending, 5, workspace, z );
	gsl_poly_complex_workspace_free( workspace );
	std::vector<f64> real;
	for ( s32 i = 0; i < 4; i++ ) {
		// Pairs have imaginary parts of at least 0.5; real roots none to speak of.
		if ( std::fabs( z[2 * i + 1] ) <= 1e-4 * std::max( 1.0, std::fabs( z[2 * i] ) ) ) {
			real.push_back( z[2 * i] );
		}
	}
	return real;
}

std::vector<f32> EngineQuadratic( const f32 a, const f32 b, const f32 c ) {
	DTQuadratic q = { a, b, c, 0.0f, 0.0f };
	const u32 count = q.Solve();
	const f32 roots[2] = { q.root0, q.root1 };
	return std::vector<f32>( roots, roots + count );
}

std::vector<f32> EngineCubic( const std::vector<f32> & k ) {
	DTCubic c = { k[0], k[1], k[2], k[3], 0.0f, 0.0f, 0.0f };
	const u32 count = c.Solve();
	const f32 roots[3] = { c.root0, c.root1, c.root2 };
	return std::vector<f32>( roots, roots + count );
}

std::vector<f32> EngineQuartic( const std::vector<f32> & k ) {
	DTQuartic q = { k[0], k[1], k[2], k[3], k[4], 0.0f, 0.0f, 0.0f, 0.0f };
	const u32 count = q.Solve();
	const f32 roots[4] = { q.root0, q.root1, q.root2, q.root3 };
	return std::vector<f32>( roots, roots + count );
}

TEST( DTPolynomialGsl, QuadraticRootsMatchGslEverywhere ) {
	RandomPolynomials random( 122 );
	Comparison comparison;
	for ( s32 i = 0; i < POLYNOMIALS; i++ ) {
		std::vector<Complex> roots;
		if ( i % 2 == 0 ) {
			roots = random.RealRoots( 2 );
		} else {
			random.AddPair( roots );
		}
		const std::vector<f32> k = random.Coefficients( roots );
		comparison.Add( EngineQuadratic( k[0], k[1], k[2] ), GslQuadratic( k[0], k[1], k[2] ) );
	}
	EXPECT_EQ( comparison.countsEqual, comparison.cases );
	EXPECT_EQ( comparison.nonFinite, 0 );
	EXPECT_LE( comparison.Worst(), 1e-5 );
}

TEST( DTPolynomialGsl, CubicRootsMatchGslInNearlyEveryCase ) {
	RandomPolynomials random( 123 );
	Comparison comparison;
	for ( s32 i = 0; i < POLYNOMIALS; i++ ) {
		std::vector<Complex> roots;
		if ( i % 2 == 0 ) {
			roots = random.RealRoots( 3 );
		} else {
			roots = random.RealRoots( 1 );
			random.AddPair( roots );
		}
		const std::vector<f32> k = random.Coefficients( roots );
		comparison.Add( EngineCubic( k ), GslCubic( k[0], k[1], k[2], k[3] ), k );
	}
	EXPECT_EQ( comparison.countsEqual, comparison.cases );
	EXPECT_EQ( comparison.nonFinite, 0 );
	EXPECT_LE( comparison.worstBackward, BACKWARD_ERROR_MAX );
	EXPECT_GE( comparison.ShareWithin( 1e-4 ), 0.995 );
	EXPECT_GE( comparison.ShareWithin( 1e-3 ), 0.998 );
}

TEST( DTPolynomialGsl, QuarticRootsMatchGslInNearlyEveryCase ) {
	RandomPolynomials random( 124 );
	Comparison comparison;
	for ( s32 i = 0; i < POLYNOMIALS; i++ ) {
		std::vector<Complex> roots;
		switch ( i % 3 ) {
		case 0:
			roots = random.RealRoots( 4 );
			break;
		case 1:
			roots = random.RealRoots( 2 );
			random.AddPair( roots );
			break;
		default:
			random.AddPair( roots );
			random.AddPair( roots );
			break;
		}
		const std::vector<f32> k = random.Coefficients( roots );
		comparison.Add( EngineQuartic( k ), GslQuartic( k ), k );
	}
	EXPECT_GE( static_cast<f64>( comparison.countsEqual ) / comparison.cases, 0.999 );
	EXPECT_EQ( comparison.nonFinite, 0 );
	EXPECT_LE( comparison.worstBackward, BACKWARD_ERROR_MAX );
	EXPECT_GE( comparison.ShareWithin( 1e-4 ), 0.99 );
	EXPECT_GE( comparison.ShareWithin( 1e-3 ), 0.995 );
}

TEST( DTPolynomialGsl, OrdinaryInputsThatDefeatTheFloatFormsStillGiveRoots ) {
	const struct {
		const char *		name;
		std::vector<f32>	k;
		std::vector<f64>	gsl;	// the real roots GSL finds
	} rows[] = {
		{ "cubic whose Cardano form loses its digits", { 0.665974736f, -99.761795f, 4964.35596f, 33051.8945f },
		  GslCubic( 0.665974736f, -99.761795f, 4964.35596f, 33051.8945f ) },
		{ "cubic with a triple root at 18.53", { 1.89508641f, -105.36116f, 1952.58899f, -12062.0146f }, {} },
		{ "quartic with large coefficients", { 30.246191f, -3727.62598f, 255698.375f, -8675544.0f, 105155600.0f },
		  GslQuartic( { 30.246191f, -3727.62598f, 255698.375f, -8675544.0f, 105155600.0f } ) },
		{ "quartic whose chosen factor has a zero constant", { 1.0f, 0.0f, -7.0f, 6.0f, 0.0f }, { -3.0, 0.0, 1.0, 2.0 } },
	};
	for ( const auto & row : rows ) {
		SCOPED_TRACE( row.name );
		const std::vector<f32> roots = row.k.size() == 4 ? EngineCubic( row.k ) : EngineQuartic( row.k );
		ASSERT_FALSE( roots.empty() );
		for ( const f32 root : roots ) {
			EXPECT_LE( BackwardError( row.k, root ), BACKWARD_ERROR_MAX ) << root;
		}
		if ( row.gsl.empty() ) {
			// A triple root: GSL's count depends on rounding; the root does not.
			EXPECT_NEAR( roots[0], 18.53, 0.01 );
			continue;
		}
		ASSERT_EQ( roots.size(), row.gsl.size() );
		std::vector<f64> sorted( roots.begin(), roots.end() );
		std::sort( sorted.begin(), sorted.end() );
		std::vector<f64> expected( row.gsl );
		std::sort( expected.begin(), expected.end() );
		for ( size_t i = 0; i < sorted.size(); i++ ) {
			EXPECT_NEAR( sorted[i], expected[i], 1e-4 * std::max( 1.0, std::fabs( expected[i] ) ) );
		}
	}
}

// Distance of root from the double-precision reference in float ulps of
// the reference.
f64 UlpsFrom( const f32 root, const f64 reference ) {
	const f32 nearest = std::fabs( static_cast<f32>( reference ) );
	const f64 ulp = static_cast<f64>( std::nextafter( nearest, std::numeric_limits<f32>::infinity() ) - nearest );
	return std::fabs( root - reference ) / ulp;
}

TEST( DTPolynomialGsl, FarApartRootsKeepTheirDigitsInTheSolversOrder ) {
	// With roots a factor 1e3 to 1e10 apart, s = sqrt (b^2 - 4ac) is |b|
	// to as many digits, and b and s cancel in the closed form of the
	// smaller root.
	// The cubic with a negligible leading coefficient solves the same
	// quadratic, and a x^4 + b x^2 + c is the biquadratic over it: its
	// roots are the square roots of the positive ones, the larger first.
	struct Row {
		f32		a;
		f32		b;
		f32		c;
	};
	std::vector<Row> rows = { { 1.0f, -342315.281f, 20.8757076f }, { 1.0f, 4785.30225f, 2.33446622f } };
	for ( s32 exponent = 3; exponent <= 10; exponent++ ) {
		const f64 large = 1.3 * std::pow( 10.0, 0.5 * exponent );
		const f64 small = large * std::pow( 10.0, -exponent );
		for ( const f64 a : { 1.0, -0.37 } ) {
			for ( const f64 largeSign : { 1.0, -1.0 } ) {
				for ( const f64 smallSign : { 1.0, -1.0 } ) {
					const f64 sum = largeSign * large + smallSign * small;
					const f64 product = largeSign * smallSign * large * small;
					rows.push_back( { static_cast<f32>( a ), static_cast<f32>( -a * sum ), static_cast<f32>( a * product ) } );
				}
			}
		}
	}
	constexpr f64 ULPS_MAX = 64.0;
	for ( const Row & row : rows ) {
		SCOPED_TRACE( testing::Message() << row.a << " x^2 + " << row.b << " x + " << row.c );
		// root0 is -0.5 (b + s) / a: the smaller root when a > 0.
		std::vector<f64> expected = GslQuadratic( row.a, row.b, row.c );
		ASSERT_EQ( expected.size(), 2u );
		if ( row.a < 0.0f ) {
			std::swap( expected[0], expected[1] );
		}
		const std::vector<f32> roots = EngineQuadratic( row.a, row.b, row.c );
		ASSERT_EQ( roots.size(), 2u );
		for ( size_t i = 0; i < 2; i++ ) {
			EXPECT_LE( UlpsFrom( roots[i], expected[i] ), ULPS_MAX ) << "root " << i << " " << roots[i];
			EXPECT_LE( BackwardError( { row.a, row.b, row.c }, roots[i] ), ULPS_MAX * FLT_EPSILON ) << "root " << i;
		}
		EXPECT_EQ( EngineCubic( { 1e-6f, row.a, row.b, row.c } ), roots );

		std::vector<f64> square( expected );
		std::sort( square.rbegin(), square.rend() );
		std::vector<f64> biquadratic;
		for ( const f64 z : square ) {
			if ( z > 0.0 ) {
				biquadratic.push_back( std::sqrt( z ) );
				biquadratic.push_back( -std::sqrt( z ) );
			}
		}
		const std::vector<f32> quartic = EngineQuartic( { row.a, 0.0f, row.b, 0.0f, row.c } );
		EXPECT_EQ( quartic.size(), biquadratic.size() );
		for ( size_t i = 0; i < std::min( quartic.size(), biquadratic.size() ); i++ ) {
			EXPECT_LE( UlpsFrom( quartic[i], biquadratic[i] ), ULPS_MAX ) << "quartic root " << i << " " << quartic[i];
		}
	}
}

TEST( DTPolynomialGsl, NegligibleLeadingCoefficientsSolveTheLowerDegree ) {
	RandomPolynomials random( 125 );
	Comparison linear;
	Comparison quadratic;
	for ( s32 i = 0; i < POLYNOMIALS / 4; i++ ) {
		const f32 tiny = static_cast<f32>( random.Uniform( -9e-6, 9e-6 ) );
		std::vector<Complex> roots;
		if ( i % 2 == 0 ) {
			roots = random.RealRoots( 2 );
		} else {
			random.AddPair( roots );
		}
		const std::vector<f32> k = random.Coefficients( roots );
		linear.Add( EngineQuadratic( tiny, k[1], k[2] ), GslQuadratic( 0.0f, k[1], k[2] ) );
		quadratic.Add( EngineCubic( { tiny, k[0], k[1], k[2] } ), GslQuadratic( k[0], k[1], k[2] ) );
	}
	EXPECT_EQ( linear.countsEqual, linear.cases );
	EXPECT_LE( linear.Worst(), 1e-5 );
	EXPECT_EQ( quadratic.countsEqual, quadratic.cases );
	EXPECT_LE( quadratic.Worst(), 1e-5 );
}

} // namespace
