#include "video/m4/M4Idct.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

// The accuracy procedure's pseudo-random integers in -low .. high.
class AccuracyRandom {
public:
	explicit AccuracyRandom( u32 seed ) : state( seed ) {}
	s32 Next( const s32 low, const s32 high ) {
		state = state * 1103515245u + 12345u;
		const double x = static_cast<double>( state & 0x7ffffffeu ) / static_cast<double>( 0x7fffffff ) * ( low + high + 1 );
		return static_cast<s32>( x ) - low;
	}

private:
	u32 state;
};

double Basis( const u32 k, const u32 n ) {
	const double scale = k == 0 ? std::sqrt( 0.125 ) : 0.5;
	return scale * std::cos( ( 2.0 * n + 1.0 ) * k * M_PI / 16.0 );
}

// Double-precision forward and inverse transforms, separable.
void ForwardDct( const double in[64], double out[64] ) {
	double tmp[64];
	for ( u32 y = 0; y < 8; y++ ) {
		for ( u32 u = 0; u < 8; u++ ) {
			double sum = 0;
			for ( u32 x = 0; x < 8; x++ ) {
				sum += Basis( u, x ) * in[8 * y + x];
			}
			tmp[8 * y + u] = sum;
		}
	}
	for ( u32 u = 0; u < 8; u++ ) {
		for ( u32 v = 0; v < 8; v++ ) {
			double sum = 0;
			for ( u32 y = 0; y < 8; y++ ) {
				sum += Basis( v, y ) * tmp[8 * y + u];
			}
			out[8 * v + u] = sum;
		}
	}
}

void InverseDct( const double in[64], double out[64] ) {
	double tmp[64];
	for ( u32 v = 0; v < 8; v++ ) {
		for ( u32 x = 0; x < 8; x++ ) {
			double sum = 0;
			for ( u32 u = 0; u < 8; u++ ) {
				sum += Basis( u, x ) * in[8 * v + u];
			}
			tmp[8 * v + x] = sum;
		}
	}
	for ( u32 x = 0; x < 8; x++ ) {
		for ( u32 y = 0; y < 8; y++ ) {
			double sum = 0;
			for ( u32 v = 0; v < 8; v++ ) {
				sum += Basis( v, y ) * tmp[8 * v + x];
			}
			out[8 * y + x] = sum;
		}
	}
}

double Clip( const double v, const double low, const double high ) {
	return v < low ? low : ( v > high ? high : v );
}

} // namespace

TEST( M4Idct, MeetsTheAccuracyLimitsOnRandomBlocksOfEveryRangeAndSign ) {
	struct Range {
		s32 low;
		s32 high;
	};
	const Range ranges[] = { { 256, 255 }, { 5, 5 }, { 300, 300 } };
	const u32 kBlocks = 10000;
	for ( const Range& range : ranges ) {
		for ( s32 sign : { 1, -1 } ) {
			AccuracyRandom random( 1 );
			double errorSum[64] = {};
			double squareSum[64] = {};
			s32 peak = 0;
			for ( u32 n = 0; n < kBlocks; n++ ) {
				double pixels[64];
				for ( double& p : pixels ) {
					p = random.Next( range.low, range.high );
				}
				double coefficients[64];
				ForwardDct( pixels, coefficients );
				s16 block[64];
				double input[64];
				for ( u32 i = 0; i < 64; i++ ) {
					input[i] = sign * Clip( std::floor( coefficients[i] + 0.5 ), -2048, 2047 );
					block[i] = static_cast<s16>( input[i] );
				}
				double reference[64];
				InverseDct( input, reference );
				M4idct( block );
				for ( u32 i = 0; i < 64; i++ ) {
					const s32 expected = static_cast<s32>( Clip( std::floor( reference[i] + 0.5 ), -256, 255 ) );
					const s32 error = static_cast<s32>( Clip( block[i], -256, 255 ) ) - expected;
					peak = std::max( peak, std::abs( error ) );
					errorSum[i] += error;
					squareSum[i] += error * error;
				}
			}
			double overallError = 0;
			double overallSquare = 0;
			double worstMean = 0;
			double worstSquare = 0;
			for ( u32 i = 0; i < 64; i++ ) {
				EXPECT_LE( squareSum[i] / kBlocks, 0.06 ) << "position " << i;
				EXPECT_LE( std::fabs( errorSum[i] / kBlocks ), 0.015 ) << "position " << i;
				worstMean = std::max( worstMean, std::fabs( errorSum[i] / kBlocks ) );
				worstSquare = std::max( worstSquare, squareSum[i] / kBlocks );
				overallError += errorSum[i];
				overallSquare += squareSum[i];
			}
			EXPECT_LE( peak, 1 );
			EXPECT_LE( overallSquare / ( 64.0 * kBlocks ), 0.02 );
			EXPECT_LE( std::fabs( overallError / ( 64.0 * kBlocks ) ), 0.0015 );
			std::printf( "range -%d..%d sign %+d: peak %d, worst position mse %.5f mean %.5f, overall mse %.5f mean %.6f\n", range.low, range.high, sign, peak, worstSquare, worstMean,
				overallSquare / ( 64.0 * kBlocks ), overallError / ( 64.0 * kBlocks ) );
		}
	}
}

TEST( M4Idct, ZeroInGivesZeroOut ) {
	s16 block[64] = {};
	M4idct( block );
	for ( s16 v : block ) {
		EXPECT_EQ( v, 0 );
	}
}

TEST( M4Idct, RoundsHalvesAwayFromZeroExceptMinusAHalfAndSaturates ) {
	struct Case {
		f32 value;
		s16 expected;
	};
	const Case cases[] = {
		{ 2.5f, 3 }, { -0.5f, 0 }, { -0.51f, -1 }, { -1.5f, -2 }, { 0.49f, 0 }, { -2.49f, -2 }, { 1.5f, 2 },
		{ 40000.0f, 32767 }, { -40000.0f, -32768 }, { 32767.4f, 32767 },
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( M4IdctStore( c.value ), c.expected ) << c.value;
	}
	// A DC-only block transforms to DC / 8 everywhere, away from the
	// halves: the single-precision constants put DC -4 a hair below -0.5.
	struct DCCase {
		s16 dc;
		s16 expected;
	};
	const DCCase dcCases[] = { { 8, 1 }, { -8, -1 }, { 11, 1 }, { -11, -1 }, { 13, 2 }, { -13, -2 }, { 2047, 256 }, { -2048, -256 } };
	for ( const DCCase& c : dcCases ) {
		s16 block[64] = {};
		block[0] = c.dc;
		M4idct( block );
		for ( s16 v : block ) {
			EXPECT_EQ( v, c.expected ) << "DC " << c.dc;
		}
	}
}
