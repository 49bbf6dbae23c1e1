#include "datatypes/node/DTFCurve.h"
#include "datatypes/node/DTFloatComp.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Independent reading of a half: (1 + m / 1024) 2^(e - 20), or m 2^-136 for e = 0.
f64 HalfValue( const u16 half ) {
	const u32 e = ( half >> 10 ) & 0x1F;
	const u32 m = half & 0x3FF;
	const f64 magnitude = e != 0 ? std::ldexp( 1024.0 + m, static_cast<int>( e ) - 30 ) : std::ldexp( static_cast<f64>( m ), -136 );
	return ( half & 0x8000 ) != 0 ? -magnitude : magnitude;
}

// The time a curve of [start, start + length] plays at t: floor-based
// repetitions, every odd one backwards under mode 5.
f64 ReferenceTime( const f64 start, const f64 length, const u8 pre, const u8 post, const f64 t ) {
	if ( t >= start && t <= start + length ) {
		return t;
	}
	const u8 mode = t < start ? pre : post;
	if ( mode == 0 ) {
		return t < start ? start : start + length;
	}
	const f64 k = std::floor( ( t - start ) / length );
	f64 r = t - start - k * length;
	if ( mode == 5 && std::fmod( std::fabs( k ), 2.0 ) == 1.0 ) {
		r = length - r;
	}
	return start + r;
}

struct ReferenceKey {
	f64 end, a, b, c, d;
};

f64 ReferenceValue( const f64 start, const std::vector<ReferenceKey> & keys, const f64 t ) {
	f64 from = start;
	for ( size_t i = 0; i < keys.size(); i++ ) {
		if ( t <= keys[i].end || i + 1 == keys.size() ) {
			const f64 u = ( t - from ) / ( keys[i].end - from );
			return keys[i].a * u * u * u + keys[i].b * u * u + keys[i].c * u + keys[i].d;
		}
		from = keys[i].end;
	}
	return 0.0;
}

f32 Evaluate( const std::vector<u8> & bytes, const f32 t ) {
	return DTFCurve( bytes.data(), static_cast<u32>( bytes.size() ) ).Evaluate( t );
}

TEST( DTFCurve, ACompressedCubicCurveIsPinnedByteForByte ) {
	ToolCurve curve;
	curve.start = 0.0f;
	curve.end = 1.0f;
	curve.preInfinity = TOOL_CURVE_OSCILLATE;
	curve.postInfinity = TOOL_CURVE_CYCLE;
	curve.kind = TOOL_CURVE_COMPRESSED;
	curve.keys = { { 1.0f, 0.03125f, -0.03125f, 1.0f, 0.0f } };
	const std::vector<u8> expected = {
		0x00, 0x00, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00, 0x53, 0x04, 0x00, 0x01,
		0x3F, 0x80, 0x00, 0x00, 0xBC, 0x00, 0x3C, 0x00, 0x00, 0x00, 0x50, 0x00,
	};
	const std::vector<u8> bytes = ToolAnimCurveWriter::Encode( curve );
	EXPECT_EQ( bytes, expected );
	const DTFCurve view( bytes.data(), static_cast<u32>( bytes.size() ) );
	EXPECT_EQ( view.GetPreInfinity(), 5 );
	EXPECT_EQ( view.GetPostInfinity(), 3 );
	EXPECT_EQ( view.GetKeyCount(), 1u );
	EXPECT_FLOAT_EQ( view.Evaluate( 0.5f ), 0.03125f * 0.125f - 0.03125f * 0.25f + 0.5f );
}

TEST( DTFloatComp, HalvesExpandAndEveryHalfPacksBackToItself ) {
	f32 first = 0.0f;
	f32 second = 0.0f;
	// Exponent field 15, mantissa 0, both halves: 2^(15 - 20).
	DTFloatComp::Decompress1075( 0x3C003C00u, first, second );
	EXPECT_EQ( first, 0.03125f );
	EXPECT_EQ( second, 0.03125f );
	// Low half first: 31 + 107 = 138; the high half's sign lands on bit 31,
	// its exponent 0 stays 0.
	DTFloatComp::Decompress1075( 0x83FF7C00u, first, second );
	EXPECT_EQ( std::bit_cast<u32>( first ), 0x45000000u );
	EXPECT_EQ( std::bit_cast<u32>( second ), 0x807FE000u );
	for ( u32 half = 0; half < 0x10000; half++ ) {
		const u32 bits = DTFloatComp::ExpandHalf( static_cast<u16>( half ) );
		ASSERT_EQ( static_cast<f64>( std::bit_cast<f32>( bits ) ), HalfValue( static_cast<u16>( half ) ) ) << half;
		ASSERT_EQ( ToolAnimCurveWriter::PackHalf( std::bit_cast<f32>( bits ) ), half ) << half;
	}
	// Packing clamps large magnitudes and flushes tiny ones to a signed zero.
	EXPECT_EQ( ToolAnimCurveWriter::PackHalf( 1.0e9f ), 0x7FFF );
	EXPECT_EQ( ToolAnimCurveWriter::PackHalf( -1.0e-9f ), 0x8000 );
	EXPECT_EQ( ToolAnimCurveWriter::PackPair( 1.0f, -2.0f ), 0xD4005000u );
}

TEST( DTFCurve, InfinityModesMapTimesOutsideTheCurve ) {
	// Start 2, length 4: the cases a fraction of L before and after.
	struct Case {
		u8 pre, post;
		f32 lengths;
		f32 expectedLengths;
	};
	const Case cases[] = {
		{ 0, 5, 1.25f, 0.75f }, { 0, 5, 2.25f, 0.25f }, { 0, 3, 1.25f, 0.25f }, { 0, 7, 2.5f, 0.5f },
		{ 5, 0, -0.25f, 0.25f }, { 3, 0, -0.25f, 0.75f }, { 5, 0, -1.25f, 0.75f }, { 1, 0, -1.25f, 0.75f },
		{ 0, 0, 3.0f, 1.0f }, { 0, 0, -3.0f, 0.0f }, { 5, 5, 0.5f, 0.5f },
		// Far times saturate their repetition count and stay finite.
		{ 3, 3, 1.0e12f, -1.0f },
	};
	for ( const Case & c : cases ) {
		ToolCurve curve = ToolAnimCurveWriter::Linear( 2.0f, 6.0f, 0.0f, 1.0f );
		curve.preInfinity = c.pre;
		curve.postInfinity = c.post;
		const std::vector<u8> bytes = ToolAnimCurveWriter::Encode( curve );
		const DTFCurve view( bytes.data(), static_cast<u32>( bytes.size() ) );
		const f32 mapped = view.FindSegmentTime( 2.0f + c.lengths * 4.0f );
		if ( c.expectedLengths < 0.0f ) {
			EXPECT_TRUE( std::isfinite( mapped ) );
			continue;
		}
		EXPECT_FLOAT_EQ( mapped, 2.0f + c.expectedLengths * 4.0f ) << int( c.pre ) << " " << int( c.post ) << " " << c.lengths;
		EXPECT_FLOAT_EQ( view.Evaluate( 2.0f + c.lengths * 4.0f ), c.expectedLengths );
	}
}

TEST( DTFCurve, SeededRandomCurvesAgreeWithADoublePrecisionEvaluation ) {
	std::mt19937 random( 1075 );
	std::uniform_real_distribution<f32> coefficient( -8.0f, 8.0f );
	std::uniform_real_distribution<f32> gap( 0.05f, 1.0f );
	const u8 kinds[] = { TOOL_CURVE_CUBIC, TOOL_CURVE_COMPRESSED, 0, 9 };
	for ( int round = 0; round < 400; round++ ) {
		ToolCurve curve;
		curve.kind = kinds[round % 4];
		curve.start = coefficient( random );
		curve.preInfinity = static_cast<u8>( random() % 7 );
		curve.postInfinity = static_cast<u8>( random() % 7 );
		std::vector<ReferenceKey> reference;
		f32 end = curve.start;
		const int keys = 1 + static_cast<int>( random() % 5 );
		for ( int k = 0; k < keys; k++ ) {
			end += gap( random );
			ToolCurveKey key{ end, coefficient( random ), coefficient( random ), coefficient( random ), coefficient( random ) };
			curve.keys.push_back( key );
			if ( curve.kind == TOOL_CURVE_COMPRESSED ) {
				const u32 ab = ToolAnimCurveWriter::PackPair( key.a, key.b );
				const u32 cd = ToolAnimCurveWriter::PackPair( key.c, key.d );
				reference.push_back( { end, HalfValue( static_cast<u16>( ab ) ), HalfValue( static_cast<u16>( ab >> 16 ) ),
									   HalfValue( static_cast<u16>( cd ) ), HalfValue( static_cast<u16>( cd >> 16 ) ) } );
			} else {
				reference.push_back( { end, key.a, key.b, key.c, key.d } );
			}
		}
		curve.end = end;
		const std::vector<u8> bytes = ToolAnimCurveWriter::Encode( curve );
		const f64 length = static_cast<f64>( curve.end ) - curve.start;
		for ( int sample = 0; sample < 50; sample++ ) {
			const f32 t = curve.start + std::uniform_real_distribution<f32>( -3.0f, 4.0f )( random ) * static_cast<f32>( length );
			const f64 mapped = ReferenceTime( curve.start, length, curve.preInfinity, curve.postInfinity, t );
			// Times within rounding of a segment boundary may take either side.
			bool nearBoundary = std::fabs( mapped - curve.start ) < 1e-3;
			for ( const ReferenceKey & key : reference ) {
				nearBoundary = nearBoundary || std::fabs( mapped - key.end ) < 1e-3;
			}
			if ( nearBoundary ) {
				continue;
			}
			const f64 expected = ReferenceValue( curve.start, reference, mapped );
			EXPECT_NEAR( Evaluate( bytes, t ), expected, 2e-3 * ( 1.0 + std::fabs( expected ) ) )
				<< "round " << round << " kind " << int( curve.kind ) << " t " << t;
		}
	}
	EXPECT_EQ( Evaluate( ToolAnimCurveWriter::Encode( ToolAnimCurveWriter::Constant( -4.5f ) ), 123.0f ), -4.5f );
}

TEST( DTFCurve, DegenerateCurvesStayFiniteAndInsideTheirBytes ) {
	// An end not after the start maps outside times to the start.
	ToolCurve empty = ToolAnimCurveWriter::Linear( 1.0f, 1.0f, 3.0f, 7.0f );
	empty.postInfinity = TOOL_CURVE_CYCLE;
	empty.preInfinity = TOOL_CURVE_OSCILLATE;
	const std::vector<u8> emptyBytes = ToolAnimCurveWriter::Encode( empty );
	EXPECT_EQ( Evaluate( emptyBytes, 5.0f ), 3.0f );
	EXPECT_EQ( Evaluate( emptyBytes, -5.0f ), 3.0f );
	// A segment of no length is read at its start.
	ToolCurve stall = ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 1.0f );
	stall.keys.insert( stall.keys.begin(), { 0.0f, 0.0f, 0.0f, 5.0f, 9.0f } );
	EXPECT_EQ( Evaluate( ToolAnimCurveWriter::Encode( stall ), 0.0f ), 9.0f );
	// Keys past the bytes are never read: the walk ends at the last whole key.
	ToolCurve two = ToolAnimCurveWriter::Linear( 0.0f, 1.0f, 0.0f, 1.0f );
	two.keys.push_back( { 2.0f, 0.0f, 0.0f, 0.0f, 42.0f } );
	two.end = 2.0f;
	const std::vector<u8> twoBytes = ToolAnimCurveWriter::Encode( two );
	const struct {
		u32 bytes;
		f32 t;
		f32 expected;
	} cut[] = { { 52, 1.5f, 42.0f }, { 51, 1.5f, 1.5f }, { 32, 0.5f, 0.5f }, { 31, 0.5f, 0.0f }, { 11, 0.5f, 0.0f }, { 0, 0.5f, 0.0f } };
	for ( const auto & c : cut ) {
		const std::vector<u8> bounded( twoBytes.begin(), twoBytes.begin() + c.bytes );
		EXPECT_EQ( DTFCurve( bounded.empty() ? nullptr : bounded.data(), c.bytes ).Evaluate( c.t ), c.expected ) << c.bytes;
	}
	EXPECT_EQ( DTFCurve( nullptr, 100 ).Evaluate( 1.0f ), 0.0f );
}

} // namespace
