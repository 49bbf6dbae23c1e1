#include "graphics3d/core/RwBBox.h"
#include "graphics3d/core/RwMatrixCombine.h"
#include "RwTestChunks.h"

#include <cstring>

namespace {

typedef RwStartedTestCase RwMatrixTest;

RwMatrix Make( const RwV3d right, const RwV3d up, const RwV3d at, const RwV3d pos, const u32 flags ) {
	return RwMatrix{ right, flags, up, 0, at, 0, pos, 0 };
}

void ExpectNear( const RwV3d& actual, const RwV3d& expected, const char* what, const f32 tolerance = 1e-4f ) {
	EXPECT_NEAR( actual.x, expected.x, tolerance ) << what;
	EXPECT_NEAR( actual.y, expected.y, tolerance ) << what;
	EXPECT_NEAR( actual.z, expected.z, tolerance ) << what;
}

void ExpectRows( const RwMatrix& m, const RwMatrix& expected, const char* what ) {
	ExpectNear( m.right, expected.right, what );
	ExpectNear( m.up, expected.up, what );
	ExpectNear( m.at, expected.at, what );
	ExpectNear( m.pos, expected.pos, what );
}

// A rotation of 90 degrees about z: right -> y, up -> -x.
const RwMatrix rotationZ = Make( { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { 1, 2, 3 }, 0x3 );

TEST_F( RwMatrixTest, InversionTakesTheIdentityOrthonormalAndGeneralPaths ) {
	const u32 extraBit = 0x100;
	RwMatrix identity = Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0x20003 | extraBit );
	identity.pad1 = 0xABCD;
	// Flagged identity is copied whole, even when the rows say otherwise.
	RwMatrix flaggedButScaled = identity;
	flaggedButScaled.right.x = 2.0f;
	const RwMatrix general = Make( { 2, 0, 0 }, { 0, 4, 0 }, { 0, 0, 0.5f }, { 2, 4, 1 }, extraBit );
	struct Case {
		const char*	name;
		RwMatrix	src;
		u32			dstFlagsBefore;
		RwMatrix	expected;
		u32			flags;
	};
	const Case cases[] = {
		{ "identity copy", flaggedButScaled, 0x40, flaggedButScaled, 0x20003 | extraBit },
		{ "orthonormal", rotationZ, 0x40 | 0x20000,
		  Make( { 0, -1, 0 }, { 1, 0, 0 }, { 0, 0, 1 }, { -2, 1, -3 }, 0 ), 0x43 },
		{ "general", general, 0x40 | 0x20001,
		  Make( { 0.5f, 0, 0 }, { 0, 0.25f, 0 }, { 0, 0, 2 }, { -1, -1, -2 }, 0 ), 0x41 },
	};
	for ( const Case& c : cases ) {
		RwMatrix dst;
		std::memset( &dst, 0, sizeof( dst ) );
		dst.flags = c.dstFlagsBefore;
		EXPECT_EQ( RwMatrixInvert( &dst, &c.src ), &dst );
		ExpectRows( dst, c.expected, c.name );
		EXPECT_EQ( dst.flags, c.flags ) << c.name;
	}
	RwMatrix copy;
	RwMatrixInvert( &copy, &flaggedButScaled );
	EXPECT_EQ( std::memcmp( &copy, &flaggedButScaled, sizeof( RwMatrix ) ), 0 );
}

TEST_F( RwMatrixTest, InversionUndoesTheMatrixAndADegenerateOneDividesByOne ) {
	RwMatrix m = Make( { 1, 2, 0 }, { 0, 1, 3 }, { 2, 0, 1 }, { 5, -1, 2 }, 0 );
	RwMatrix inverse;
	RwMatrixInvert( &inverse, &m );
	RwMatrix product;
	RwMatrixMultiply( &product, &m, &inverse );
	ExpectRows( product, Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ), "m * inverse" );

	const RwMatrix flat = Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 0 }, { 1, 1, 1 }, 0 );
	RwMatrix adjugate;
	RwMatrixInvert( &adjugate, &flat );
	// The adjugate of diag (1, 1, 0) is diag (0, 0, 1).
	ExpectRows( adjugate, Make( { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 1 }, { 0, 0, -1 }, 0 ), "degenerate" );
	// Here the determinant is -0 (every product is -1 x 0): it divides by
	// one as well, not into infinities and NaN.
	const RwMatrix negativeZero = Make( { -1, -1, -1 }, { 1, 0, 2 }, { 2, 0, 4 }, { 1, 1, 1 }, 0 );
	RwMatrixInvert( &adjugate, &negativeZero );
	ExpectRows( adjugate, Make( { 0, 4, -2 }, { 0, -2, 1 }, { 0, -2, 1 }, { 0, 0, 0 }, 0 ), "degenerate, -0" );
	RwMatrix self = m;
	RwMatrixInvert( &self, &self );
	ExpectRows( self, inverse, "in place" );
}

TEST_F( RwMatrixTest, MultiplyAppliesTheFirstMatrixFirstAndAndsTheFlags ) {
	const RwMatrix scale = Make( { 2, 0, 0 }, { 0, 2, 0 }, { 0, 0, 2 }, { 0, 0, 0 }, 0x100 | 0x1 );
	const RwMatrix move = Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 1, 0, 0 }, 0x100 | 0x3 );
	RwMatrix product;
	RwMatrixMultiply( &product, &scale, &move );
	ExpectRows( product, Make( { 2, 0, 0 }, { 0, 2, 0 }, { 0, 0, 2 }, { 1, 0, 0 }, 0 ), "scale then move" );
	EXPECT_EQ( product.flags, 0x101u );
	RwMatrixMultiply( &product, &move, &scale );
	ExpectNear( product.pos, { 2, 0, 0 }, "move then scale" );
}

TEST_F( RwMatrixTest, OrthoNormalizeKeepsTheRowsItChoosesAndRebuildsTheThird ) {
	struct Case {
		const char*	name;
		RwMatrix	src;
		RwMatrix	expected;
	};
	const f32 tilt = 0.1f;
	const Case cases[] = {
		{ "at zero", Make( { 2, 0, 0 }, { 0, 3, 0 }, { 0, 0, 0 }, { 4, 5, 6 }, 0 ),
		  Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 4, 5, 6 }, 0 ) },
		{ "right zero", Make( { 0, 0, 0 }, { 0, 3, 0 }, { 0, 0, 5 }, { 0, 0, 0 }, 0 ),
		  Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ) },
		{ "up zero", Make( { 2, 0, 0 }, { 0, 0, 0 }, { 0, 0, 7 }, { 0, 0, 0 }, 0 ),
		  Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ) },
		// up and at are the only exactly orthogonal pair: right is rebuilt.
		{ "up-at pair kept", Make( { 1, tilt, tilt }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ),
		  Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ) },
		// Ties between the pairs fall to the right-up pair: at is rebuilt.
		{ "right-up pair kept", Make( { 1, 0, 0 }, { 0, 1, 0 }, { tilt, 0, 1 }, { 0, 0, 0 }, 0 ),
		  Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ) },
	};
	for ( const Case& c : cases ) {
		RwMatrix dst;
		std::memset( &dst, 0, sizeof( dst ) );
		dst.flags = 0x20000 | 0x80;
		RwMatrixOrthoNormalize( &dst, &c.src );
		ExpectRows( dst, c.expected, c.name );
		EXPECT_EQ( dst.flags, 0x83u ) << c.name;
	}
}

TEST_F( RwMatrixTest, OptimizeSetsEachFlagFromItsError ) {
	const RwMatrixTolerance loose = { 0.5f, 0.5f, 0.5f };
	struct Case {
		const char*					name;
		RwMatrix					m;
		const RwMatrixTolerance*	tolerance;
		u32							flags;
	};
	const Case cases[] = {
		{ "identity", Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0x400 ), nullptr, 0x20403 },
		{ "moved", Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 1 }, 0x20000 ), nullptr, 0x3 },
		{ "scaled", Make( { 2, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0x3 ), nullptr, 0x2 },
		{ "sheared", Make( { 1, 0, 0 }, { 0.6f, 0.8f, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0x3 ), nullptr, 0x1 },
		{ "near identity, loose", Make( { 1.1f, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0.2f, 0, 0 }, 0 ), &loose, 0x20003 },
	};
	for ( const Case& c : cases ) {
		RwMatrix m = c.m;
		RwMatrixOptimize( &m, c.tolerance );
		EXPECT_EQ( m.flags, c.flags ) << c.name;
	}
	const RwMatrixTolerance tight = { 0.001f, 0.001f, 0.001f };
	RwEngineSetMatrixTolerances( &tight );
	RwMatrix nearly = Make( { 1.02f, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 );
	RwMatrixOptimize( &nearly, nullptr );
	EXPECT_EQ( nearly.flags, 0x2u );
}

TEST_F( RwMatrixTest, ScaleTranslateAndTransformCombineAsAsked ) {
	const RwMatrix start = Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 1, 2, 3 }, 0x20003 | 0x40 );
	static const RwV3d s = { 2, 3, 4 };
	static const RwV3d t = { 1, 1, 1 };
	static const RwMatrix scaled = Make( { 2, 0, 0 }, { 0, 3, 0 }, { 0, 0, 4 }, { 5, 6, 7 }, 0x40 );
	struct Case {
		const char*	name;
		RwMatrix	( *apply )( RwMatrix m );
		RwMatrix	expected;
		u32			flags;
	};
	const Case cases[] = {
		{ "scale replace", []( RwMatrix m ) { RwMatrixScale( &m, &s, rwCOMBINEREPLACE ); return m; },
		  Make( { 2, 0, 0 }, { 0, 3, 0 }, { 0, 0, 4 }, { 0, 0, 0 }, 0 ), 0x40 },
		{ "scale pre keeps pos", []( RwMatrix m ) { RwMatrixScale( &m, &s, rwCOMBINEPRECONCAT ); return m; },
		  Make( { 2, 0, 0 }, { 0, 3, 0 }, { 0, 0, 4 }, { 1, 2, 3 }, 0 ), 0x40 },
		{ "scale post scales pos", []( RwMatrix m ) { RwMatrixScale( &m, &s, rwCOMBINEPOSTCONCAT ); return m; },
		  Make( { 2, 0, 0 }, { 0, 3, 0 }, { 0, 0, 4 }, { 2, 6, 12 }, 0 ), 0x40 },
		{ "translate replace on a scale", []( RwMatrix ) {
			  RwMatrix m = scaled;
			  RwMatrixTranslate( &m, &t, rwCOMBINEREPLACE );
			  return m; },
		  Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 1, 1, 1 }, 0 ), 0x43 },
		{ "translate pre goes through the rows", []( RwMatrix ) {
			  RwMatrix m = scaled;
			  RwMatrixTranslate( &m, &t, rwCOMBINEPRECONCAT );
			  return m; },
		  Make( { 2, 0, 0 }, { 0, 3, 0 }, { 0, 0, 4 }, { 7, 9, 11 }, 0 ), 0x40 },
		{ "translate post adds", []( RwMatrix m ) { RwMatrixTranslate( &m, &t, rwCOMBINEPOSTCONCAT ); return m; },
		  Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 2, 3, 4 }, 0 ), 0x43 },
		{ "transform pre", []( RwMatrix m ) { RwMatrixTransform( &m, &rotationZ, rwCOMBINEPRECONCAT ); return m; },
		  Make( { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { 2, 4, 6 }, 0 ), 0x3 },
		{ "transform post", []( RwMatrix m ) { RwMatrixTransform( &m, &rotationZ, rwCOMBINEPOSTCONCAT ); return m; },
		  Make( { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { -1, 3, 6 }, 0 ), 0x3 },
		{ "transform replace", []( RwMatrix m ) { RwMatrixTransform( &m, &rotationZ, rwCOMBINEREPLACE ); return m; },
		  rotationZ, 0x3 },
	};
	for ( const Case& c : cases ) {
		const RwMatrix m = c.apply( start );
		ExpectRows( m, c.expected, c.name );
		EXPECT_EQ( m.flags, c.flags ) << c.name;
	}
}

TEST_F( RwMatrixTest, RotationKeepsTheFlagsLessTheIdentityBit ) {
	const RwV3d axis = { 0, 0, 5 };
	struct Case {
		RwOpCombineType	combine;
		RwMatrix		expected;
	};
	const RwMatrix moved = Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 1, 0, 0 }, 0x20000 | 0x3 | 0x10 );
	const Case cases[] = {
		{ rwCOMBINEREPLACE, Make( { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ) },
		{ rwCOMBINEPRECONCAT, Make( { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { 1, 0, 0 }, 0 ) },
		{ rwCOMBINEPOSTCONCAT, Make( { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { 0, 1, 0 }, 0 ) },
	};
	for ( const Case& c : cases ) {
		RwMatrix m = moved;
		EXPECT_EQ( RwMatrixRotate( &m, &axis, 90.0f, c.combine ), &m );
		ExpectRows( m, c.expected, "rotate" );
		EXPECT_EQ( m.flags, 0x13u ) << c.combine;
	}
}

TEST_F( RwMatrixTest, AnInvalidCombinationIsRefusedAndChangesNothing ) {
	static const RwV3d v = { 1, 2, 3 };
	const RwMatrix original = Make( { 1, 2, 3 }, { 4, 5, 6 }, { 7, 8, 9 }, { 10, 11, 12 }, 0x5 );
	struct Case {
		const char*	name;
		RwMatrix*	( *call )( RwMatrix* m );
	};
	const Case cases[] = {
		{ "rotate", []( RwMatrix* m ) { return RwMatrixRotate( m, &v, 10.0f, static_cast<RwOpCombineType>( 3 ) ); } },
		{ "rotate cos sin", []( RwMatrix* m ) {
			  return RwMatrixRotateOneMinusCosineSine( m, &v, static_cast<RwOpCombineType>( 3 ), 0.5f, 0.5f ); } },
		{ "scale", []( RwMatrix* m ) { return RwMatrixScale( m, &v, static_cast<RwOpCombineType>( 3 ) ); } },
		{ "translate", []( RwMatrix* m ) { return RwMatrixTranslate( m, &v, static_cast<RwOpCombineType>( -1 ) ); } },
		{ "transform", []( RwMatrix* m ) { return RwMatrixTransform( m, m, static_cast<RwOpCombineType>( 3 ) ); } },
	};
	for ( const Case& c : cases ) {
		RwMatrix m = original;
		EXPECT_EQ( c.call( &m ), nullptr ) << c.name;
		EXPECT_EQ( std::memcmp( &m, &original, sizeof( RwMatrix ) ), 0 ) << c.name;
		EXPECT_EQ( RwTestReadError().errorCode, RWERR_BAD_PARAMETER ) << c.name;
	}
}

TEST_F( RwMatrixTest, CreatedMatricesAreIdentitiesFromTheModule ) {
	RwMatrix* const m = RwMatrixCreate();
	ASSERT_NE( m, nullptr );
	EXPECT_EQ( m->flags, 0x20003u );
	ExpectRows( *m, Make( { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 0, 0, 0 }, 0 ), "created" );
	EXPECT_TRUE( RwMatrixDestroy( m ) );
	EXPECT_NEAR( _rwMatrixDeterminant( &rotationZ ), 1.0f, 1e-6f );
	const RwMatrix skew = Make( { 1, 1, 0 }, { 0, 2, 0 }, { 0, 0, 3 }, { 0, 0, 0 }, 0 );
	EXPECT_NEAR( _rwMatrixDeterminant( &skew ), 6.0f, 1e-6f );
	EXPECT_NEAR( _rwMatrixNormalError( &skew ), 1.0f + 9.0f + 64.0f, 1e-4f );
	EXPECT_NEAR( _rwMatrixOrthogonalError( &skew ), 4.0f, 1e-4f );
}

TEST_F( RwMatrixTest, BoundingBoxesHoldTheMaximumThenTheMinimumCorner ) {
	const RwV3d points[] = { { 1, -2, 3 }, { -4, 5, 0 }, { 2, 2, -6 } };
	RwBBox box;
	ASSERT_EQ( RwBBoxCalculate( &box, points, 3 ), &box );
	ExpectNear( box.sup, { 2, 5, 3 }, "sup" );
	ExpectNear( box.inf, { -4, -2, -6 }, "inf" );
	RwBBoxInitialize( &box, &points[0] );
	ExpectNear( box.sup, points[0], "initialised" );
	ExpectNear( box.inf, points[0], "initialised" );
	RwBBoxAddPoint( &box, &points[2] );
	ExpectNear( box.sup, { 2, 2, 3 }, "added" );
	ExpectNear( box.inf, { 1, -2, -6 }, "added" );
	const RwBBox before = box;
	EXPECT_EQ( RwBBoxCalculate( &box, points, 0 ), nullptr );
	EXPECT_EQ( std::memcmp( &box, &before, sizeof( box ) ), 0 );
}

}	// namespace
