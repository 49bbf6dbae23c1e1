/*
	The maths table: the float functions are the platform's own, and the
	vector and matrix slots agree with GLM (column vectors, so an engine
	row-vector product A then B is B * A there).
*/
#include "datatypes/maths/MathsTestSupport.h"

#include "framework/logic/api/LogicApiTables.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <cstring>
#include <limits>
#include <math.h>
#include <vector>

namespace {

constexpr f32 TOLERANCE = 2e-5f;

class LogicApiMathTest : public MathsTestCase {
protected:
	void SetUp() override {
		MathsTestCase::SetUp();
		Init_math();
	}
};

glm::mat4 ToGlm( const DTMatrix & m ) {
	glm::mat4 g( 1.0f );
	const DTVector3d * const rows[4] = { m.GetRight(), m.GetUp(), m.GetAt(), m.GetPos() };
	for ( s32 c = 0; c < 4; c++ ) {
		g[c] = glm::vec4( rows[c]->x, rows[c]->y, rows[c]->z, c == 3 ? 1.0f : 0.0f );
	}
	return g;
}

void ExpectMatrixNear( const DTMatrix & m, const glm::mat4 & g, const f32 tolerance ) {
	const DTVector3d * const rows[4] = { m.GetRight(), m.GetUp(), m.GetAt(), m.GetPos() };
	for ( s32 c = 0; c < 4; c++ ) {
		SCOPED_TRACE( c );
		EXPECT_VEC_NEAR( *rows[c], g[c].x, g[c].y, g[c].z, tolerance );
	}
}

// A general matrix: rotation, a little shear and scale, a position.
void SetGeneral( DTMatrix & m ) {
	m.SetToRotation( DTVector3d( 0.4f, -0.9f, 1.7f ) );
	m.GetRight()->x *= 1.5f;
	m.GetUp()->z += 0.25f;
	m.GetPos()->Set( 3.0f, -1.0f, 7.5f );
	m.oMat.flags = 0x3;
}

// The library's table square roots carry about 12 bits.
constexpr f32 ORTHONORMAL_TOLERANCE = 5e-4f;

void ExpectOrthonormal( const DTMatrix & m ) {
	const DTVector3d & r = *m.GetRight();
	const DTVector3d & u = *m.GetUp();
	const DTVector3d & a = *m.GetAt();
	EXPECT_NEAR( r.LengthSquare(), 1.0f, ORTHONORMAL_TOLERANCE );
	EXPECT_NEAR( u.LengthSquare(), 1.0f, ORTHONORMAL_TOLERANCE );
	EXPECT_NEAR( a.LengthSquare(), 1.0f, ORTHONORMAL_TOLERANCE );
	EXPECT_NEAR( r * u, 0.0f, ORTHONORMAL_TOLERANCE );
	EXPECT_NEAR( u * a, 0.0f, ORTHONORMAL_TOLERANCE );
	EXPECT_NEAR( a * r, 0.0f, ORTHONORMAL_TOLERANCE );
}

TEST_F( LogicApiMathTest, TheFloatSlotsAreThePlatformFunctionsBitForBit ) {
	typedef f32 ( *Unary )( f32 );
	struct Row {
		const char *	name;
		Unary			slot;
		Unary			platform;
	};
	const Row unary[] = {
		{ "acos", APImath.acos, ::acosf }, { "asin", APImath.asin, ::asinf }, { "atan", APImath.atan, ::atanf },
		{ "ceil", APImath.ceil, ::ceilf }, { "cos", APImath.cos, ::cosf }, { "cosh", APImath.cosh, ::coshf },
		{ "exp", APImath.exp, ::expf }, { "fabs", APImath.fabs, ::fabsf }, { "floor", APImath.floor, ::floorf },
		{ "log", APImath.log, ::logf }, { "log10", APImath.log10, ::log10f }, { "sin", APImath.sin, ::sinf },
		{ "sinh", APImath.sinh, ::sinhf }, { "sqrt", APImath.sqrt, ::sqrtf }, { "tan", APImath.tan, ::tanf },
		{ "tanh", APImath.tanh, ::tanhf },
	};
	std::vector<f32> sweep = { 0.0f, -0.0f, 1.0f, -1.0f, std::numeric_limits<f32>::infinity(),
							   -std::numeric_limits<f32>::infinity(), std::numeric_limits<f32>::denorm_min(),
							   std::numeric_limits<f32>::max() };
	for ( s32 i = -400; i <= 400; i++ ) {
		sweep.push_back( static_cast<f32>( i ) * 0.0371f );
		sweep.push_back( std::ldexp( 1.37f, i / 4 ) );
	}
	for ( const Row & row : unary ) {
		SCOPED_TRACE( row.name );
		for ( const f32 x : sweep ) {
			ASSERT_EQ( FloatBits( row.slot( x ) ), FloatBits( row.platform( x ) ) ) << x;
		}
	}
	for ( const f32 x : sweep ) {
		for ( const f32 y : { 0.5f, -2.25f, 3.0f, 1e-3f, -0.0f } ) {
			ASSERT_EQ( FloatBits( APImath.atan2( x, y ) ), FloatBits( ::atan2f( x, y ) ) );
			ASSERT_EQ( FloatBits( APImath.fmod( x, y ) ), FloatBits( ::fmodf( x, y ) ) );
			ASSERT_EQ( FloatBits( APImath.pow( y, x ) ), FloatBits( ::powf( y, x ) ) );
		}
		s32 exponent = 0;
		int platformExponent = 0;
		ASSERT_EQ( FloatBits( APImath.frexp( x, &exponent ) ), FloatBits( ::frexpf( x, &platformExponent ) ) );
		ASSERT_EQ( exponent, platformExponent );
		ASSERT_EQ( FloatBits( APImath.ldexp( x, -7 ) ), FloatBits( ::ldexpf( x, -7 ) ) );
		f32 integral = 0.0f;
		f32 platformIntegral = 0.0f;
		ASSERT_EQ( FloatBits( APImath.modf( x, &integral ) ), FloatBits( ::modff( x, &platformIntegral ) ) );
		ASSERT_EQ( FloatBits( integral ), FloatBits( platformIntegral ) );
	}
}

TEST_F( LogicApiMathTest, EqualityWithinAnEpsilonComparesExponentsWithASignedPower ) {
	struct Row {
		const char *	name;
		f32				difference;
		s32				e;
		u8				equal;
	};
	const Row rows[] = {
		{ "0.99 at e = 0", 0.99f, 0, 1 },
		{ "1.0 at e = 0", 1.0f, 0, 0 },
		{ "-1.0 at e = 0", -1.0f, 0, 0 },
		{ "2^-16 at e = -15", std::ldexp( 1.0f, -16 ), -15, 1 },
		{ "2^-15 at e = -15", std::ldexp( 1.0f, -15 ), -15, 0 },
		{ "a denormal at e = -126", std::numeric_limits<f32>::denorm_min(), -126, 1 },
		{ "infinity at e = 100", std::numeric_limits<f32>::infinity(), 100, 0 },
	};
	for ( const Row & row : rows ) {
		SCOPED_TRACE( row.name );
		for ( s32 component = 0; component < 3; component++ ) {
			DTVector3d a( 1.0f, 2.0f, 3.0f );
			DTVector3d b = a;
			( &b.x )[component] -= row.difference;
			( &a.x )[component] = ( &b.x )[component] + row.difference;
			EXPECT_EQ( APImath.CVectorAreEqualEpsilon( &a, &b, static_cast<u32>( row.e ) ), row.equal );
		}
	}
}

TEST_F( LogicApiMathTest, TheAngleOfUnitVectorsIsClampedWhereTheDotProductRoundsPastOne ) {
	// Find a normalised vector whose dot product with itself rounds above 1.
	DTVector3d rounded;
	bool found = false;
	for ( s32 i = 1; i < 200 && !found; i++ ) {
		DTVector3d v( 1.0f, 0.1f * static_cast<f32>( i ), 0.37f );
		APImath.CVectorNormalize( &rounded, &v );
		found = rounded * rounded > 1.0f;
	}
	ASSERT_TRUE( found );
	DTVector3d opposite;
	APImath.CVectorNegate( &opposite, &rounded );
	EXPECT_EQ( APImath.CVectorGetAngleTo( &rounded, &rounded ), 0.0f );
	EXPECT_EQ( APImath.CVectorGetAngleTo( &rounded, &opposite ), 3.1415927f );
	DTVector3d x( 1.0f, 0.0f, 0.0f );
	DTVector3d y( 0.0f, 1.0f, 0.0f );
	EXPECT_NEAR( APImath.CVectorGetAngleTo( &x, &y ), 1.5707964f, 1e-6f );
}

TEST_F( LogicApiMathTest, VectorSlotsAgreeWithGlm ) {
	DTVector3d a( 1.5f, -2.0f, 0.25f );
	DTVector3d b( -0.5f, 4.0f, 3.0f );
	const glm::vec3 ga( a.x, a.y, a.z );
	const glm::vec3 gb( b.x, b.y, b.z );
	DTVector3d out;
	EXPECT_EQ( APImath.CVectorAdd( &out, &a, &b ), &out );
	EXPECT_VEC_NEAR( out, ( ga + gb ).x, ( ga + gb ).y, ( ga + gb ).z, 0.0f );
	APImath.CVectorSub( &out, &a, &b );
	EXPECT_VEC_NEAR( out, ( ga - gb ).x, ( ga - gb ).y, ( ga - gb ).z, 0.0f );
	EXPECT_NEAR( APImath.CVectorDot( &a, &b ), glm::dot( ga, gb ), TOLERANCE );
	const glm::vec3 cross = glm::cross( ga, gb );
	APImath.CVectorCross( &out, &a, &b );
	EXPECT_VEC_NEAR( out, cross.x, cross.y, cross.z, TOLERANCE );
	EXPECT_NEAR( APImath.CVectorLength( &a ), glm::length( ga ), TOLERANCE );
	APImath.CVectorScale( &out, &a, -3.0f );
	EXPECT_VEC_NEAR( out, -3.0f * a.x, -3.0f * a.y, -3.0f * a.z, 0.0f );
	const glm::vec3 projected = gb * ( glm::dot( ga, gb ) / glm::dot( gb, gb ) );
	APImath.CVectorProjectOnto( &out, &a, &b );
	EXPECT_VEC_NEAR( out, projected.x, projected.y, projected.z, TOLERANCE );
	// Onto the plane of two orthonormal vectors: the normal part goes.
	DTVector3d px( 1.0f, 0.0f, 0.0f );
	DTVector3d py( 0.0f, 1.0f, 0.0f );
	APImath.CVectorProjectOntoPlane( &out, &a, &px, &py );
	EXPECT_VEC_NEAR( out, a.x, a.y, 0.0f, 0.0f );
	const f32 distance = APImath.CVectorGetDirectionAndDistanceTo( &out, &a, &b );
	EXPECT_NEAR( distance, glm::distance( ga, gb ), 1e-3f );
	const glm::vec3 direction = glm::normalize( gb - ga );
	EXPECT_VEC_NEAR( out, direction.x, direction.y, direction.z, 1e-3f );
	// A zero length is not guarded.
	DTVector3d zero;
	APImath.CVectorNormalize( &out, &zero );
	EXPECT_FALSE( std::isfinite( out.x ) );
	EXPECT_FALSE( std::isfinite( APImath.CVectorGetDirectionAndDistanceTo( &out, &a, &a ) * out.y ) );
}

TEST_F( LogicApiMathTest, MatrixProductsInversesAndTransformsAgreeWithGlm ) {
	DTMatrix a;
	DTMatrix b;
	DTMatrix out;
	SetGeneral( a );
	b.SetToRotation( DTVector3d( -1.2f, 0.3f, 0.8f ) );
	b.GetPos()->Set( -4.0f, 2.0f, 1.0f );
	b.oMat.flags = 0x20003;
	APImath.CMatMultiply( &out, &a, &b );
	ExpectMatrixNear( out, ToGlm( b ) * ToGlm( a ), TOLERANCE * 10.0f );
	EXPECT_EQ( out.oMat.flags, 0u );

	APImath.CMatInvert( &out, &a );
	ExpectMatrixNear( out, glm::inverse( ToGlm( a ) ), 1e-4f );
	EXPECT_EQ( a.oMat.flags, 0u );

	// Transforms, also with the output on the input.
	const DTVector3d in( 0.5f, -1.5f, 2.0f );
	const glm::vec4 point = ToGlm( a ) * glm::vec4( in.x, in.y, in.z, 1.0f );
	const glm::vec4 vector = ToGlm( a ) * glm::vec4( in.x, in.y, in.z, 0.0f );
	for ( const bool aliased : { false, true } ) {
		SCOPED_TRACE( aliased ? "aliased" : "apart" );
		DTVector3d source = in;
		DTVector3d result;
		DTVector3d * const target = aliased ? &source : &result;
		APImath.CMatTransformPoint( target, &source, &a );
		EXPECT_VEC_NEAR( *target, point.x, point.y, point.z, TOLERANCE * 10.0f );
		source = in;
		APImath.CMatTransformVector( target, &source, &a );
		EXPECT_VEC_NEAR( *target, vector.x, vector.y, vector.z, TOLERANCE * 10.0f );
	}
}

TEST_F( LogicApiMathTest, RotationKeepsThePositionAndScalingMovesIt ) {
	DTMatrix m;
	SetGeneral( m );
	const glm::mat4 before = ToGlm( m );
	DTVector3d axis( 0.0f, 0.6f, 0.8f );
	const f32 angle = 0.7f;
	APImath.CMatRotate( &m, &axis, angle );
	glm::mat4 rotated = glm::rotate( glm::mat4( 1.0f ), angle, glm::vec3( 0.0f, 0.6f, 0.8f ) ) * before;
	rotated[3] = before[3];
	ExpectMatrixNear( m, rotated, 1e-4f );
	EXPECT_EQ( m.oMat.flags, 0u );

	SetGeneral( m );
	APImath.CMatUniformScale( &m, 2.5f );
	ExpectMatrixNear( m, glm::scale( glm::mat4( 1.0f ), glm::vec3( 2.5f ) ) * before, TOLERANCE * 10.0f );
	EXPECT_EQ( m.oMat.flags, 0u );
}

TEST_F( LogicApiMathTest, AligningTurnsTheRowAlongTheTargetAndKeepsThePosition ) {
	struct Row {
		const char *	name;
		bool			up;
		DTVector3d		target;
	};
	const Row rows[] = {
		{ "at along a general target", false, DTVector3d( 1.0f, 2.0f, -0.5f ) },
		{ "up along a general target", true, DTVector3d( -3.0f, 0.5f, 1.0f ) },
		{ "at already along its target", false, DTVector3d( 0.0f, 0.0f, 4.0f ) },
	};
	for ( const Row & row : rows ) {
		SCOPED_TRACE( row.name );
		DTMatrix m;
		// The last row starts with its at row along the target.
		const bool identity = &row == &rows[2];
		m.SetToRotation( identity ? DTVector3d( 0.0f, 0.0f, 0.0f ) : DTVector3d( 0.3f, 0.2f, -0.4f ) );
		m.GetPos()->Set( 5.0f, 6.0f, 7.0f );
		m.oMat.flags = 0x20003;
		DTVector3d target = row.target;
		if ( row.up ) {
			APImath.CMatAlignUpWith( &m, &target );
		} else {
			APImath.CMatAlignAtWith( &m, &target );
		}
		const DTVector3d & turned = row.up ? *m.GetUp() : *m.GetAt();
		const glm::vec3 expected = glm::normalize( glm::vec3( target.x, target.y, target.z ) );
		EXPECT_VEC_NEAR( turned, expected.x, expected.y, expected.z, 1e-4f );
		ExpectOrthonormal( m );
		EXPECT_VEC_NEAR( *m.GetPos(), 5.0f, 6.0f, 7.0f, 0.0f );
		EXPECT_EQ( m.oMat.flags, 0u );
	}
	// The opposite target: a half turn negating the row and the right row.
	for ( const bool up : { false, true } ) {
		SCOPED_TRACE( up ? "up opposite" : "at opposite" );
		DTMatrix m;
		m.SetToRotation( DTVector3d( 0.3f, 0.2f, -0.4f ) );
		const DTMatrix before = m;
		DTVector3d target = up ? *m.GetUp() : *m.GetAt();
		target.Set( -2.0f * target.x, -2.0f * target.y, -2.0f * target.z );
		if ( up ) {
			APImath.CMatAlignUpWith( &m, &target );
		} else {
			APImath.CMatAlignAtWith( &m, &target );
		}
		const DTVector3d & kept = up ? *m.GetAt() : *m.GetUp();
		const DTVector3d & keptBefore = up ? *before.GetAt() : *before.GetUp();
		const DTVector3d & turned = up ? *m.GetUp() : *m.GetAt();
		const DTVector3d & turnedBefore = up ? *before.GetUp() : *before.GetAt();
		EXPECT_TRUE( SameBits( kept, keptBefore ) );
		EXPECT_VEC_NEAR( turned, -turnedBefore.x, -turnedBefore.y, -turnedBefore.z, 0.0f );
		EXPECT_VEC_NEAR( *m.GetRight(), -before.GetRight()->x, -before.GetRight()->y, -before.GetRight()->z, 0.0f );
	}
}

TEST_F( LogicApiMathTest, LookAtSlotsKeepTheFirstVectorAsGivenAndBuildTheOthersNormalised ) {
	const glm::vec3 given( 0.0f, 0.0f, 3.0f );
	const glm::vec3 hint( 0.2f, 2.0f, 0.1f );
	for ( const bool lookAt : { true, false } ) {
		SCOPED_TRACE( lookAt ? "look at, align up" : "look up, align at" );
		DTMatrix m;
		SetGeneral( m );
		DTVector3d first( given.x, given.y, given.z );
		DTVector3d second( hint.x, hint.y, hint.z );
		glm::vec3 right;
		glm::vec3 third;
		if ( lookAt ) {
			APImath.CMatLookAtAlignUp( &m, &first, &second );
			right = glm::normalize( glm::cross( hint, given ) );
			third = glm::normalize( glm::cross( given, right ) );
		} else {
			APImath.CMatLookUpAlignAt( &m, &first, &second );
			right = glm::normalize( glm::cross( given, hint ) );
			third = glm::normalize( glm::cross( right, given ) );
		}
		const DTVector3d & firstRow = lookAt ? *m.GetAt() : *m.GetUp();
		const DTVector3d & thirdRow = lookAt ? *m.GetUp() : *m.GetAt();
		EXPECT_TRUE( SameBits( firstRow, first ) );
		EXPECT_VEC_NEAR( *m.GetRight(), right.x, right.y, right.z, 1e-4f );
		EXPECT_VEC_NEAR( thirdRow, third.x, third.y, third.z, 1e-4f );
		EXPECT_VEC_NEAR( *m.GetPos(), 3.0f, -1.0f, 7.5f, 0.0f );
		EXPECT_EQ( m.oMat.flags, 0u );
	}
}

TEST_F( LogicApiMathTest, CopiesTakeTheSourceFirstAndEveryWord ) {
	DTMatrix source;
	SetGeneral( source );
	source.oMat.pad1 = 0x11;
	DTMatrix target;
	std::memset( &target, 0, sizeof( target ) );
	APImath.CMatCopy( &source, &target );
	EXPECT_EQ( std::memcmp( &source, &target, sizeof( DTMatrix ) ), 0 );

	f32 words[16];
	for ( s32 i = 0; i < 16; i++ ) {
		words[i] = static_cast<f32>( i ) * 0.5f;
	}
	const u32 flags = 0x00020003;
	std::memcpy( &words[3], &flags, sizeof( flags ) );
	APImath.CMatCopyFromArray( words, &target );
	EXPECT_EQ( std::memcmp( words, &target, sizeof( words ) ), 0 );
	EXPECT_EQ( target.oMat.flags, flags );
}

TEST_F( LogicApiMathTest, IdentityRowsAndFlagsFollowTheirOwnRules ) {
	DTMatrix m;
	SetGeneral( m );
	m.oMat.flags = 0x100;
	APImath.CMatSetIdentity( &m );
	ExpectMatrixNear( m, glm::mat4( 1.0f ), 0.0f );
	EXPECT_EQ( m.oMat.flags, 0x20103u );
	DTVector3d v( 1.0f, 2.0f, 3.0f );
	APImath.CMatSetRight( &m, &v );
	EXPECT_EQ( m.oMat.flags, 0u );
	DTVector3d out;
	APImath.CMatGetRight( &out, &m );
	EXPECT_TRUE( SameBits( out, v ) );

	EXPECT_EQ( APImath.CMatGetWorkMatrix(), DTMatrix::mpoWork );
	DTMatrix * const created = APImath.CMatCreateIdentity();
	ASSERT_NE( created, nullptr );
	ExpectMatrixNear( *created, glm::mat4( 1.0f ), 0.0f );
	APImath.CMatDestroy( created );
}

}
