#include "datatypes/maths/DTQuaternion.h"
#include "MathsTestSupport.h"

namespace {

typedef MathsTestCase DTQuaternionTest;

const f32 HALF_SQRT2 = 0.70710678f;

TEST( DTQuaternion, StoresXYZThenW ) {
	const DTQuaternion q( 1.0f, 2.0f, 3.0f, 4.0f );
	f32 words[4];
	std::memcpy( words, &q, sizeof( words ) );
	EXPECT_EQ( words[0], 1.0f );
	EXPECT_EQ( words[1], 2.0f );
	EXPECT_EQ( words[2], 3.0f );
	EXPECT_EQ( words[3], 4.0f );
}

TEST_F( DTQuaternionTest, MatrixRoundTripTakesEveryBranch ) {
	// Half turns about x, y and z have trace -1 and reach the three
	// diagonal branches; the others reach the trace branch and the
	// fall-through of equal diagonal entries.
	const struct {
		const char *	name;
		DTQuaternion	q;
	} rows[] = {
		{ "half turn about x", DTQuaternion( 1, 0, 0, 0 ) },
		{ "half turn about y", DTQuaternion( 0, 1, 0, 0 ) },
		{ "half turn about z", DTQuaternion( 0, 0, 1, 0 ) },
		{ "identity", DTQuaternion( 0, 0, 0, 1 ) },
		{ "quarter turn about x", DTQuaternion( HALF_SQRT2, 0, 0, HALF_SQRT2 ) },
		{ "general", DTQuaternion( 0.5f, -0.5f, 0.5f, 0.5f ) },
		{ "near half turn about diagonal", DTQuaternion( 0.57735026f, 0.57735026f, 0.57735026f, 0.0f ) },
	};
	for ( const auto & row : rows ) {
		DTMatrix & m = *DTMatrix::mpoWork;
		m.oMat.pos = { 7.0f, 8.0f, 9.0f };
		m.oMat.flags = 0x12345678;
		row.q.QuatToMat( &m );
		EXPECT_EQ( m.oMat.flags, 0x12345678u ) << row.name;
		EXPECT_VEC_NEAR( *m.GetPos(), 7.0f, 8.0f, 9.0f, 0.0f );
		DTQuaternion back;
		back.MatToQuat( &m );
		EXPECT_LT( QuaternionDistance( back, row.q ), 1e-6f ) << row.name;
	}
}

TEST_F( DTQuaternionTest, HalfTurnAboutXGivesItsRows ) {
	DTMatrix & m = *DTMatrix::mpoWork;
	DTQuaternion( 1, 0, 0, 0 ).QuatToMat( &m );
	EXPECT_VEC_NEAR( *m.GetRight(), 1.0f, 0.0f, 0.0f, 0.0f );
	EXPECT_VEC_NEAR( *m.GetUp(), 0.0f, -1.0f, 0.0f, 0.0f );
	EXPECT_VEC_NEAR( *m.GetAt(), 0.0f, 0.0f, -1.0f, 0.0f );
}

TEST( DTQuaternion, ProductWithTheConjugateIsTheIdentity ) {
	const DTQuaternion rows[] = {
		DTQuaternion( 0.5f, -0.5f, 0.5f, 0.5f ),
		DTQuaternion( 0.1f, 0.2f, 0.3f, 0.9273618f ),
		DTQuaternion( 2.0f, 0.0f, -1.0f, 3.0f ),
	};
	for ( const DTQuaternion & q : rows ) {
		const DTQuaternion p = q * DTQuaternion( -q.x, -q.y, -q.z, q.mfScalaire );
		EXPECT_NEAR( p.x, 0.0f, 1e-6f );
		EXPECT_NEAR( p.y, 0.0f, 1e-6f );
		EXPECT_NEAR( p.z, 0.0f, 1e-6f );
		EXPECT_NEAR( p.mfScalaire, 1.0f, 1e-6f );
	}
}

TEST( DTQuaternion, ProductIsTheHamiltonProduct ) {
	// A quarter turn about z times a quarter turn about x.
	const DTQuaternion z( 0, 0, HALF_SQRT2, HALF_SQRT2 );
	const DTQuaternion x( HALF_SQRT2, 0, 0, HALF_SQRT2 );
	const DTQuaternion p = z * x;
	EXPECT_NEAR( p.x, 0.5f, 1e-6f );
	EXPECT_NEAR( p.y, 0.5f, 1e-6f );
	EXPECT_NEAR( p.z, 0.5f, 1e-6f );
	EXPECT_NEAR( p.mfScalaire, 0.5f, 1e-6f );
}

TEST( DTQuaternion, ShortestArcBetweenAxes ) {
	const struct {
		DTVector3d		a;
		DTVector3d		b;
		DTQuaternion	expected;
	} rows[] = {
		{ DTVector3d( 0, 0, 1 ), DTVector3d( 0, 0, 1 ), DTQuaternion( 0, 0, 0, 1 ) },
		{ DTVector3d( 0, 1, 0 ), DTVector3d( 0, 0.99999994f, 0.0003f ), DTQuaternion( 0, 0, 0, 1 ) },
		// Opposite: the first candidate (-a.y, a.x, 0), or (-a.z, 0, a.x)
		// when that one vanishes.
		{ DTVector3d( 0, 0, 1 ), DTVector3d( 0, 0, -1 ), DTQuaternion( -1, 0, 0, 0 ) },
		{ DTVector3d( 1, 0, 0 ), DTVector3d( -1, 0, 0 ), DTQuaternion( 0, 1, 0, 0 ) },
		{ DTVector3d( 0, 1, 0 ), DTVector3d( 0, -1, 0 ), DTQuaternion( -1, 0, 0, 0 ) },
		{ DTVector3d( 1, 0, 0 ), DTVector3d( 0, 1, 0 ), DTQuaternion( 0, 0, HALF_SQRT2, HALF_SQRT2 ) },
	};
	for ( const auto & row : rows ) {
		DTQuaternion q( 9, 9, 9, 9 );
		q.SetFromAxes( row.a, row.b );
		EXPECT_NEAR( q.x, row.expected.x, 1e-6f );
		EXPECT_NEAR( q.y, row.expected.y, 1e-6f );
		EXPECT_NEAR( q.z, row.expected.z, 1e-6f );
		EXPECT_NEAR( q.mfScalaire, row.expected.mfScalaire, 1e-6f );
	}
}

TEST( DTQuaternion, AxisAngleRoundTrip ) {
	const DTVector3d u( 0.48f, 0.6f, 0.64f );
	DTQuaternion q;
	q.SetValue( u, 1.0f, true );
	DTVector3d axis;
	f32 angle = 0.0f;
	q.GetValue( axis, angle );
	EXPECT_VEC_NEAR( axis, u.x, u.y, u.z, 1e-6f );
	EXPECT_NEAR( angle, 1.0f, 1e-6f );

	// An axis of any length is divided by its length when the flag is false.
	DTQuaternion scaled;
	scaled.SetValue( u * 5.0f, 1.0f, false );
	EXPECT_LT( QuaternionDistance( scaled, q ), 1e-6f );

	DTQuaternion( 0, 0, 0, 1 ).GetValue( axis, angle );
	EXPECT_VEC_NEAR( axis, 0.0f, 0.0f, 1.0f, 0.0f );
	EXPECT_EQ( angle, 0.0f );

	// A w slightly below -1 through rounding still gives at most pi.
	DTQuaternion( 0.002f, 0.0f, 0.0f, -1.0f ).GetValue( axis, angle );
	EXPECT_EQ( angle, 3.1415927f );

	// A zero axis with the flag false has no direction.
	DTQuaternion broken;
	broken.SetValue( DTVector3d( 0, 0, 0 ), 1.0f, false );
	EXPECT_FALSE( std::isfinite( broken.x ) );
}

TEST( DTQuaternion, NormaliseLeavesAZeroQuaternionAlone ) {
	DTQuaternion zero( 0, 0, 0, 0 );
	zero.Normalise();
	EXPECT_EQ( zero.x, 0.0f );
	EXPECT_EQ( zero.mfScalaire, 0.0f );
	DTQuaternion q( 0, 3, 0, 4 );
	q.Normalise();
	EXPECT_NEAR( q.y, 0.6f, 1e-7f );
	EXPECT_NEAR( q.mfScalaire, 0.8f, 1e-7f );
}

TEST( DTQuaternion, SelfAssignmentKeepsTheValue ) {
	DTQuaternion q( 1, 2, 3, 4 );
	DTQuaternion & alias = q;
	q = alias;
	EXPECT_EQ( q.z, 3.0f );
	EXPECT_EQ( q.mfScalaire, 4.0f );
}

TEST( DTQuaternion, InterpolationsTakeTheShorterWayForEitherSign ) {
	DTQuaternion a;
	a.SetValue( DTVector3d( 0, 1, 0 ), 0.3f, true );
	DTQuaternion b;
	b.SetValue( DTVector3d( 0.6f, 0, 0.8f ), 1.7f, true );
	const DTQuaternion minusB( -b.x, -b.y, -b.z, -b.mfScalaire );
	for ( const f32 t : { 0.0f, 0.25f, 0.5f, 0.9f, 1.0f } ) {
		DTQuaternion plain;
		DTQuaternion flipped;
		plain.Lerp( a, b, t );
		flipped.Lerp( a, minusB, t );
		EXPECT_LT( QuaternionDistance( plain, flipped ), 1e-6f ) << t;
		plain.Slerp( a, b, t );
		flipped.Slerp( a, minusB, t );
		EXPECT_LT( QuaternionDistance( plain, flipped ), 1e-6f ) << t;
		plain.Slerpf( a, b, t );
		flipped.Slerpf( a, minusB, t );
		EXPECT_LT( QuaternionDistance( plain, flipped ), 1e-6f ) << t;
	}
}

TEST( DTQuaternion, QLerpEndsAreTheInputsScaledByTheApproximateNorm ) {
	DTQuaternion a;
	a.SetValue( DTVector3d( 1, 0, 0 ), 0.4f, true );
	DTQuaternion b;
	b.SetValue( DTVector3d( 0, 0, 1 ), -0.9f, true );
	// For a unit input s = 1: r = 1.0214351 - 0.5325156 * (1 - 0.9590660).
	const f32 r = 1.0214351f - 0.5325156f * ( 1.0f - 0.9590660f );
	DTQuaternion q;
	q.QLerp( a, b, 0.0f );
	EXPECT_NEAR( q.x, a.x * r, 1e-6f );
	EXPECT_NEAR( q.mfScalaire, a.mfScalaire * r, 1e-6f );
	q.QLerp( a, b, 1.0f );
	EXPECT_NEAR( q.z, b.z * r, 1e-6f );
	EXPECT_NEAR( q.mfScalaire, b.mfScalaire * r, 1e-6f );
}

TEST( DTQuaternion, SlerpOfNearlyEqualInputsIsLinear ) {
	const DTQuaternion a( 0, 0, 0, 1 );
	const DTQuaternion b( 1e-4f, 0, 0, 0.999999995f );
	DTQuaternion q;
	q.Slerp( a, b, 0.5f );
	EXPECT_TRUE( std::isfinite( q.x ) );
	EXPECT_NEAR( q.x, 0.5e-4f, 1e-9f );
	q.Slerpf( a, b, 0.5f );
	EXPECT_NEAR( q.x, 0.5e-4f, 1e-9f );
}

} // namespace
