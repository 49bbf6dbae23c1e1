#include "datatypes/maths/DTLimits.h"
#include "datatypes/maths/DTVector3d.h"
#include "MathsTestSupport.h"

#include <cfloat>
#include <cstring>
#include <limits>
#include <string>

namespace {

typedef MathsTestCase DTVector3dTest;

const f32 INF = std::numeric_limits<f32>::infinity();
const f32 NaN = std::numeric_limits<f32>::quiet_NaN();

TEST( DTLimits, NullIsOnlyTheAllZeroBitPattern ) {
	const struct {
		f32		value;
		bool	null;
	} rows[] = {
		{ 0.0f, true },
		{ -0.0f, false },
		{ 1e-30f, false },
		{ std::numeric_limits<f32>::denorm_min(), false },
		{ NaN, false },
	};
	for ( const auto & row : rows ) {
		EXPECT_EQ( DT_IsNull( row.value ), row.null ) << row.value;
	}
}

TEST( DTLimits, FloatLimitsAreTheIeeeExtremes ) {
	EXPECT_EQ( DT_MAX_FLOAT, FLT_MAX );
	EXPECT_EQ( DT_MIN_FLOAT, FLT_MIN );
	EXPECT_EQ( DT_EPSILON_FLOAT, FLT_EPSILON );
	EXPECT_EQ( DT_MAX_INT16, 32767 );
	EXPECT_EQ( DT_MAX_UINT32, 0xFFFFFFFFu );
}

TEST( DTVector3d, CrossAndRemoveComponentMayWriteOverTheirInput ) {
	DTVector3d a( 1.0f, 2.0f, 3.0f );
	const DTVector3d b( -2.0f, 0.5f, 4.0f );
	DTVector3d expected;
	a.Cross( b, &expected );
	EXPECT_VEC_NEAR( expected, 2.0f * 4.0f - 3.0f * 0.5f, 3.0f * -2.0f - 1.0f * 4.0f, 1.0f * 0.5f - 2.0f * -2.0f, 0.0f );
	a.Cross( b, &a );
	EXPECT_TRUE( SameBits( a, expected ) );

	DTVector3d v( 3.0f, 4.0f, 5.0f );
	const DTVector3d n( 0.0f, 1.0f, 0.0f );
	v.RemoveComponent( n, &v );
	EXPECT_VEC_NEAR( v, 3.0f, 0.0f, 5.0f, 0.0f );
}

TEST( DTVector3d, OperatorsWorkComponentWise ) {
	const DTVector3d a( 1.0f, -2.0f, 3.0f );
	const DTVector3d b( 0.5f, 4.0f, -1.0f );
	EXPECT_VEC_NEAR( a + b, 1.5f, 2.0f, 2.0f, 0.0f );
	EXPECT_VEC_NEAR( a - b, 0.5f, -6.0f, 4.0f, 0.0f );
	EXPECT_VEC_NEAR( 2.0f * a, 2.0f, -4.0f, 6.0f, 0.0f );
	EXPECT_VEC_NEAR( -a, -1.0f, 2.0f, -3.0f, 0.0f );
	EXPECT_EQ( a * b, 0.5f - 8.0f - 3.0f );
	EXPECT_EQ( a.LengthSquare(), 14.0f );
	DTVector3d c = a;
	c += b;
	c *= 2.0f;
	c -= a;
	EXPECT_VEC_NEAR( c, 2.0f, 6.0f, 1.0f, 0.0f );
}

TEST( DTVector3d, AngleToIsClampedAtBothEnds ) {
	// The normalised diagonal's dot product with itself rounds above 1.
	const f32 d = 0.57735032f;
	const DTVector3d diagonal( d, d, d );
	ASSERT_GT( diagonal * diagonal, 1.0f );
	const struct {
		DTVector3d	a;
		DTVector3d	b;
		f32			angle;
	} rows[] = {
		{ diagonal, diagonal, 0.0f },
		{ diagonal, -diagonal, 3.1415927f },
		{ DTVector3d( 1, 0, 0 ), DTVector3d( -1, 0, 0 ), 3.1415927f },
		{ DTVector3d( 1, 0, 0 ), DTVector3d( 0, 1, 0 ), 1.5707964f },
		{ DTVector3d( 1, 0, 0 ), DTVector3d( 0.5f, 0.8660254f, 0 ), 1.0471976f },
	};
	for ( const auto & row : rows ) {
		EXPECT_FLOAT_EQ( row.a.GetAngleTo( row.b ), row.angle );
	}
}

TEST( DTVector3d, EqualEpsilonComparesTheExponentOfEveryDifference ) {
	const DTVector3d base( 1.0f, 2.0f, 3.0f );
	const f32 denormal = std::numeric_limits<f32>::denorm_min();
	const struct {
		DTVector3d	other;
		s32			n;
		bool		equal;
	} rows[] = {
		{ DTVector3d( 1.1f, 2.1f, 3.1f ), -3, true },
		{ DTVector3d( 0.9f, 1.9f, 2.9f ), -3, true },
		{ DTVector3d( 1.1f, 2.125f, 3.0f ), -3, false },
		{ DTVector3d( 1.0f, 2.0f, 3.2f ), -3, false },
		{ DTVector3d( 1.0f, 2.0f, 3.0f ), -126, true },
		{ DTVector3d( 1.0f, INF, 3.0f ), 127, false },
		{ DTVector3d( NaN, 2.0f, 3.0f ), 127, false },
		{ DTVector3d( 1.9f, 2.0f, 3.0f ), 0, true },
		{ DTVector3d( 2.0f, 2.0f, 3.0f ), 0, false },
	};
	for ( const auto & row : rows ) {
		EXPECT_EQ( base.IsEqualEpsilon( row.other, row.n ), row.equal ) << row.other.x << " " << row.other.y << " "
																		 << row.other.z << " n " << row.n;
	}
	// A denormal difference passes whatever the bound.
	const DTVector3d zero;
	EXPECT_TRUE( zero.IsEqualEpsilon( DTVector3d( denormal, -denormal, 0.0f ), -126 ) );
}

TEST_F( DTVector3dTest, RotationToAnotherDirectionGivesItsAxisAndAngle ) {
	const DTVector3d from( 1.0f, 0.0f, 0.0f );
	const struct {
		DTVector3d	to;
		bool		found;
		f32			angle;
		DTVector3d	axis;
	} rows[] = {
		{ DTVector3d( 0.0f, 1.0f, 0.0f ), true, 1.5707964f, DTVector3d( 0, 0, 1 ) },
		{ DTVector3d( 0.7071068f, 0.7071068f, 0.0f ), true, 0.7853982f, DTVector3d( 0, 0, 1 ) },
		{ DTVector3d( -0.7071068f, 0.0f, 0.7071068f ), true, 2.3561945f, DTVector3d( 0, -1, 0 ) },
		{ DTVector3d( -1.0f, 0.0f, 0.0f ), false, 3.1415927f, DTVector3d( 0, 0, 0 ) },
		{ DTVector3d( 1.0f, 0.0f, 0.0f ), false, 0.0f, DTVector3d( 0, 0, 0 ) },
	};
	for ( const auto & row : rows ) {
		DTVector3d axis( 9.0f, 9.0f, 9.0f );
		f32 angle = -1.0f;
		EXPECT_EQ( from.GetRotationTo( row.to, &axis, &angle ), row.found );
		// The table square roots are good to about 1e-4.
		EXPECT_NEAR( angle, row.angle, 2e-4f );
		EXPECT_VEC_NEAR( axis, row.axis.x, row.axis.y, row.axis.z, 2e-4f );
	}
}

TEST_F( DTVector3dTest, NearlyParallelVectorsKeepTheirRawCrossProduct ) {
	const DTVector3d from( 1.0f, 0.0f, 0.0f );
	const DTVector3d to( 1.0f, 2e-5f, 0.0f );
	DTVector3d axis;
	f32 angle = -1.0f;
	EXPECT_FALSE( from.GetRotationTo( to, &axis, &angle ) );
	EXPECT_EQ( angle, 0.0f );
	EXPECT_EQ( axis.z, 2e-5f );
}

TEST_F( DTVector3dTest, NormalisesThroughTheLibrary ) {
	DTVector3d v( 3.0f, 0.0f, 4.0f );
	DTVector3d out;
	v.Normalize( &out );
	EXPECT_VEC_NEAR( out, 0.6f, 0.0f, 0.8f, 1e-4f );
	v.Normalize();
	EXPECT_VEC_NEAR( v, 0.6f, 0.0f, 0.8f, 1e-4f );
	// A zero vector has no direction: out is not finite.
	DTVector3d zero;
	zero.Normalize( &out );
	EXPECT_FALSE( std::isfinite( out.x ) );
}

TEST( DTVector3d, ToStringWritesAngleBracketsIntoTheSharedBuffer ) {
	const DTVector3d v( 1.0f, 2.0f, 3.0f );
	char * const shared = v.ToString( nullptr, nullptr );
	EXPECT_STREQ( shared, "< 1 2 3 >" );
	EXPECT_EQ( DTVector3d( 4.0f, 5.0f, 6.0f ).ToString( nullptr, nullptr ), shared );
	EXPECT_STREQ( shared, "< 4 5 6 >" );
	char own[DT_VECTOR3D_STRING_MAX];
	EXPECT_EQ( v.ToString( "%.1f,%.1f,%.1f", own ), own );
	EXPECT_STREQ( own, "1.0,2.0,3.0" );
}

TEST( DTVector3d, ToStringStopsALongResultAtTwoHundredBytes ) {
	const std::string format = std::string( 300, 'x' ) + " %g %g %g";
	const DTVector3d v( 1.0f, 2.0f, 3.0f );
	char buffer[DT_VECTOR3D_STRING_MAX + 64];
	std::memset( buffer, 0x5A, sizeof( buffer ) );
	v.ToString( format.c_str(), buffer );
	EXPECT_EQ( std::strlen( buffer ), DT_VECTOR3D_STRING_MAX - 1 );
	for ( u32 i = DT_VECTOR3D_STRING_MAX; i < sizeof( buffer ); i++ ) {
		ASSERT_EQ( buffer[i], 0x5A ) << "byte " << i << " was written";
	}
	const char * const shared = v.ToString( format.c_str(), nullptr );
	EXPECT_EQ( std::strlen( shared ), DT_VECTOR3D_STRING_MAX - 1 );
}

} // namespace
