/*
	Quaternions and rotation matrices checked against GLM on seeded random
	rotations. GLM uses column vectors: the engine's rows right, up and at
	are GLM's columns 0, 1 and 2.
*/
#include "datatypes/maths/DTQuaternion.h"
#include "MathsTestSupport.h"

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtx/quaternion.hpp>

#include <random>
#include <vector>

namespace {

typedef MathsTestCase DTQuaternionGlmTest;

constexpr s32 CASES = 4000;
// Float rounding of the engine's single-precision formulas.
constexpr f64 TOLERANCE = 2e-5;

class RandomRotations {
public:
	explicit RandomRotations( const u32 seed ) : mEngine( seed ) {}

	f32 Uniform( const f32 low, const f32 high ) { return std::uniform_real_distribution<f32>( low, high )( mEngine ); }

	// A uniformly distributed unit quaternion, in float.
	glm::dquat Quaternion() {
		std::normal_distribution<f64> normal;
		glm::dquat q( normal( mEngine ), normal( mEngine ), normal( mEngine ), normal( mEngine ) );
		q = glm::normalize( q );
		return glm::dquat( static_cast<f32>( q.w ), static_cast<f32>( q.x ), static_cast<f32>( q.y ), static_cast<f32>( q.z ) );
	}

	glm::dvec3 UnitVector() {
		std::normal_distribution<f64> normal;
		const glm::dvec3 v = glm::normalize( glm::dvec3( normal( mEngine ), normal( mEngine ), normal( mEngine ) ) );
		return glm::dvec3( static_cast<f32>( v.x ), static_cast<f32>( v.y ), static_cast<f32>( v.z ) );
	}

private:
	std::mt19937 mEngine;
};

DTQuaternion ToEngine( const glm::dquat & q ) {
	return DTQuaternion( static_cast<f32>( q.x ), static_cast<f32>( q.y ), static_cast<f32>( q.z ), static_cast<f32>( q.w ) );
}

glm::dquat ToGlm( const DTQuaternion & q ) {
	return glm::dquat( q.mfScalaire, q.x, q.y, q.z );
}

DTVector3d ToEngine( const glm::dvec3 & v ) {
	return DTVector3d( static_cast<f32>( v.x ), static_cast<f32>( v.y ), static_cast<f32>( v.z ) );
}

f64 Distance( const DTVector3d & a, const glm::dvec3 & b ) {
	return glm::length( glm::dvec3( a.x, a.y, a.z ) - b );
}

// Up to sign, as a quaternion and its negation are one rotation.
f64 Distance( const DTQuaternion & a, const glm::dquat & b ) {
	const glm::dvec4 va( a.x, a.y, a.z, a.mfScalaire );
	const glm::dvec4 vb( b.x, b.y, b.z, b.w );
	return std::min( glm::length( va - vb ), glm::length( va + vb ) );
}

f64 RowsDistance( const DTMatrix & m, const glm::dmat3 & g ) {
	return std::max( { Distance( *m.GetRight(), g[0] ), Distance( *m.GetUp(), g[1] ), Distance( *m.GetAt(), g[2] ) } );
}

// Which MatToQuat case a matrix takes: 0 trace, 1 y, 2 x, 3 z.
s32 MatToQuatCase( const DTMatrix & m ) {
	const f32 m00 = m.oMat.right.x;
	const f32 m11 = m.oMat.up.y;
	const f32 m22 = m.oMat.at.z;
	if ( m00 + m11 + m22 > 0.0f ) {
		return 0;
	}
	if ( m11 > m00 && m11 > m22 ) {
		return 1;
	}
	if ( m00 > m11 && m00 > m22 ) {
		return 2;
	}
	return 3;
}

TEST_F( DTQuaternionGlmTest, MatrixConversionsMatchGlmInEveryCase ) {
	RandomRotations random( 1201 );
	s32 perCase[4] = { 0, 0, 0, 0 };
	DTMatrix & m = *DTMatrix::mpoWork;
	for ( s32 i = 0; i < CASES; i++ ) {
		const glm::dquat q = random.Quaternion();
		ToEngine( q ).QuatToMat( &m );
		ASSERT_LT( RowsDistance( m, glm::mat3_cast( q ) ), TOLERANCE ) << i;
		perCase[MatToQuatCase( m )]++;
		DTQuaternion back;
		back.MatToQuat( &m );
		const glm::dmat3 rows( glm::dvec3( m.oMat.right.x, m.oMat.right.y, m.oMat.right.z ),
							   glm::dvec3( m.oMat.up.x, m.oMat.up.y, m.oMat.up.z ),
							   glm::dvec3( m.oMat.at.x, m.oMat.at.y, m.oMat.at.z ) );
		ASSERT_LT( Distance( back, glm::quat_cast( rows ) ), TOLERANCE ) << i << " case " << MatToQuatCase( m );
	}
	for ( const s32 count : perCase ) {
		EXPECT_GT( count, CASES / 10 );
	}
}

TEST_F( DTQuaternionGlmTest, HalfTurnsAndNearHalfTurnsGiveAUnitQuaternionThatRotatesAsTheMatrix ) {
	// Near a half turn the trace is close to -1 and every w is small. About
	// the axes and the face diagonals two diagonal entries tie; about
	// (1, 1, 0) and (1, -1, 0) right.x and up.y tie above at.z, where the
	// z case's radicand is a rounding error.
	RandomRotations random( 1208 );
	std::vector<glm::dvec3> axes = { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 },  { 1, 1, 0 },  { 1, -1, 0 },
									 { 1, 0, 1 }, { 1, 0, -1 }, { 0, 1, 1 }, { 0, 1, -1 } };
	for ( s32 i = 0; i < 64; i++ ) {
		axes.push_back( random.UnitVector() );
	}
	const f64 offsets[] = { 0.0, 1e-6, -1e-6, 1e-4, -1e-4, 3e-3, -3e-3, 0.01, -0.01 };
	const glm::dvec3 probes[] = { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
	constexpr f64 HALF_TURN_TOLERANCE = 4e-6;
	DTMatrix & m = *DTMatrix::mpoWork;
	for ( const glm::dvec3 & axis : axes ) {
		for ( const f64 offset : offsets ) {
			const glm::dmat3 exact = glm::mat3_cast( glm::angleAxis( glm::pi<f64>() + offset, glm::normalize( axis ) ) );
			m.oMat.right = { static_cast<f32>( exact[0].x ), static_cast<f32>( exact[0].y ), static_cast<f32>( exact[0].z ) };
			m.oMat.up = { static_cast<f32>( exact[1].x ), static_cast<f32>( exact[1].y ), static_cast<f32>( exact[1].z ) };
			m.oMat.at = { static_cast<f32>( exact[2].x ), static_cast<f32>( exact[2].y ), static_cast<f32>( exact[2].z ) };
			const glm::dmat3 rows( glm::dvec3( m.oMat.right.x, m.oMat.right.y, m.oMat.right.z ),
								   glm::dvec3( m.oMat.up.x, m.oMat.up.y, m.oMat.up.z ),
								   glm::dvec3( m.oMat.at.x, m.oMat.at.y, m.oMat.at.z ) );
			DTQuaternion q;
			q.MatToQuat( &m );
			const glm::dquat got = ToGlm( q );
			SCOPED_TRACE( testing::Message() << "axis " << axis.x << " " << axis.y << " " << axis.z << " offset " << offset );
			EXPECT_NEAR( glm::length( got ), 1.0, HALF_TURN_TOLERANCE );
			for ( const glm::dvec3 & probe : probes ) {
				EXPECT_LT( glm::length( got * probe - rows * probe ), HALF_TURN_TOLERANCE );
			}
		}
	}
}

TEST( DTQuaternionGlm, ProductAndAxisAngleMatchGlm ) {
	RandomRotations random( 1202 );
	for ( s32 i = 0; i < CASES; i++ ) {
		const glm::dquat a = random.Quaternion();
		const glm::dquat b = random.Quaternion();
		ASSERT_LT( Distance( ToEngine( a ) * ToEngine( b ), glm::normalize( a * b ) ), TOLERANCE ) << i;

		const glm::dvec3 axis = random.UnitVector();
		const f32 angle = random.Uniform( -6.0f, 6.0f );
		DTQuaternion q;
		q.SetValue( ToEngine( axis ), angle, true );
		ASSERT_LT( Distance( q, glm::angleAxis( static_cast<f64>( angle ), axis ) ), TOLERANCE ) << i;
	}
}

TEST_F( DTQuaternionGlmTest, EulerAnglesRotateAboutXThenYThenZ ) {
	RandomRotations random( 1203 );
	DTMatrix & m = *DTMatrix::mpoWork;
	for ( s32 i = 0; i < CASES; i++ ) {
		const DTVector3d euler( random.Uniform( -3.2f, 3.2f ), random.Uniform( -3.2f, 3.2f ), random.Uniform( -3.2f, 3.2f ) );
		const glm::dquat expected = glm::angleAxis( static_cast<f64>( euler.z ), glm::dvec3( 0, 0, 1 ) ) *
									glm::angleAxis( static_cast<f64>( euler.y ), glm::dvec3( 0, 1, 0 ) ) *
									glm::angleAxis( static_cast<f64>( euler.x ), glm::dvec3( 1, 0, 0 ) );
		DTQuaternion q;
		q.EulerToQuatf( euler );
		ASSERT_LT( Distance( q, expected ), TOLERANCE ) << i;
		m.SetToRotation( euler );
		ASSERT_LT( RowsDistance( m, glm::mat3_cast( expected ) ), TOLERANCE ) << i;
	}
}

TEST( DTQuaternionGlm, SphericalInterpolationsMatchGlm ) {
	RandomRotations random( 1204 );
	for ( s32 i = 0; i < CASES; i++ ) {
		const glm::dquat a = random.Quaternion();
		const glm::dquat b = random.Quaternion();
		const f32 t = random.Uniform( 0.0f, 1.0f );
		const glm::dquat expected = glm::slerp( a, b, static_cast<f64>( t ) );
		DTQuaternion q;
		q.Slerp( ToEngine( a ), ToEngine( b ), t );
		ASSERT_LT( Distance( q, expected ), TOLERANCE ) << i;
		q.Slerpf( ToEngine( a ), ToEngine( b ), t );
		// Single-precision acos and sines lose a little more near c = 1.
		ASSERT_LT( Distance( q, expected ), 5e-5 ) << i;
	}
}

TEST( DTQuaternionGlm, CorrectedLerpStaysCloseToSlerpForNearbyRotations ) {
	RandomRotations random( 1205 );
	s32 checked = 0;
	f64 worstAngle = 0.0;
	f64 worstNorm = 0.0;
	while ( checked < CASES ) {
		glm::dquat a = random.Quaternion();
		glm::dquat b = random.Quaternion();
		if ( glm::dot( a, b ) < 0.6 ) {
			continue;
		}
		checked++;
		const f32 t = random.Uniform( 0.0f, 1.0f );
		DTQuaternion q;
		q.QLerp( ToEngine( a ), ToEngine( b ), t );
		const glm::dquat got = ToGlm( q );
		const glm::dquat expected = glm::slerp( a, b, static_cast<f64>( t ) );
		const f64 cosine = std::min( 1.0, std::fabs( glm::dot( glm::normalize( got ), expected ) ) );
		worstAngle = std::max( worstAngle, 2.0 * std::acos( cosine ) );
		worstNorm = std::max( worstNorm, std::fabs( glm::length( got ) - 1.0 ) );
	}
	EXPECT_LT( worstAngle, 1e-3 );
	EXPECT_LT( worstNorm, 1e-3 );
}

TEST_F( DTQuaternionGlmTest, ShortestArcMapsOneDirectionOntoTheOther ) {
	RandomRotations random( 1206 );
	DTMatrix & m = *DTMatrix::mpoWork;
	for ( s32 i = 0; i < CASES; i++ ) {
		const glm::dvec3 a = random.UnitVector();
		glm::dvec3 b = random.UnitVector();
		// A quarter of the cases are nearly opposite.
		if ( i % 4 == 0 ) {
			b = glm::normalize( -a + 1e-7 * b );
		}
		DTQuaternion q;
		q.SetFromAxes( ToEngine( a ), ToEngine( b ) );
		q.QuatToMat( &m );
		const DTVector3d from = ToEngine( a );
		const DTVector3d mapped = from.x * *m.GetRight() + from.y * *m.GetUp() + from.z * *m.GetAt();
		ASSERT_LT( Distance( mapped, b ), 1e-4 ) << i;
		if ( glm::dot( a, b ) > -0.9 ) {
			ASSERT_LT( Distance( q, glm::rotation( a, b ) ), TOLERANCE ) << i;
		}
	}
}

TEST( DTQuaternionGlm, AxisAndAngleMatchGlm ) {
	RandomRotations random( 1207 );
	for ( s32 i = 0; i < CASES; i++ ) {
		const glm::dvec3 axis = random.UnitVector();
		const f64 angle = random.Uniform( 0.01f, 3.13f );
		glm::dquat q = glm::angleAxis( angle, axis );
		DTVector3d gotAxis;
		f32 gotAngle = 0.0f;
		ToEngine( q ).GetValue( gotAxis, gotAngle );
		const glm::dquat rounded = ToGlm( ToEngine( q ) );
		ASSERT_NEAR( gotAngle, glm::angle( rounded ), 1e-4 ) << i;
		// GLM's axis divides by sqrt (1 - w^2), which small angles make
		// ill-conditioned: the true axis is the reference, within the
		// float rounding of the vector part.
		ASSERT_LT( Distance( gotAxis, axis ), 1e-6 / std::sin( angle / 2.0 ) + 1e-6 ) << i;
		if ( angle > 0.5 ) {
			ASSERT_LT( Distance( gotAxis, glm::axis( rounded ) ), TOLERANCE ) << i;
		}
	}
}

} // namespace
