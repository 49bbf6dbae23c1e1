#include "graphics3d/core/RwMatrixCombine.h"
#include "RwTestChunks.h"

#include <bit>
#include <cmath>

namespace {

typedef RwStartedTestCase RwV3dTest;

TEST_F( RwV3dTest, SquareRootsOfExactSquaresAreExact ) {
	struct Case {
		f32 x;
		f32 sqrt;
		f32 invSqrt;
	};
	const Case cases[] = {
		{ 4.0f, 2.0f, 0.5f },
		{ 1.0f, 1.0f, 1.0f },
		{ 0.0f, 0.0f, 0.0f },
		{ 16.0f, 4.0f, 0.25f },
		{ 0.25f, 0.5f, 2.0f },
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( std::bit_cast<u32>( _rwSqrt( c.x ) ), std::bit_cast<u32>( c.sqrt ) ) << c.x;
		EXPECT_EQ( std::bit_cast<u32>( _rwInvSqrt( c.x ) ), std::bit_cast<u32>( c.invSqrt ) ) << c.x;
	}
}

TEST_F( RwV3dTest, SquareRootsStayWithinTheTableStepOverASweep ) {
	// One table step covers 1/2048 of an octave: the relative error stays
	// well below 1/4096 of the root.
	const f64 bound = 1.0 / 4096.0;
	f64 worstSqrt = 0.0;
	f64 worstInv = 0.0;
	for ( f32 x = 1e-6f; x < 1e7f; x *= 1.0007f ) {
		const f64 exact = std::sqrt( static_cast<f64>( x ) );
		worstSqrt = std::fmax( worstSqrt, std::fabs( _rwSqrt( x ) - exact ) / exact );
		worstInv = std::fmax( worstInv, std::fabs( _rwInvSqrt( x ) - 1.0 / exact ) * exact );
	}
	EXPECT_LT( worstSqrt, bound );
	EXPECT_LT( worstInv, bound );
	EXPECT_GT( worstSqrt, 0.0 );
}

TEST_F( RwV3dTest, NormalizeReturnsTheLengthAndRecordsAZeroLength ) {
	struct Case {
		RwV3d	in;
		f32		length;
		RwV3d	out;
		u32		error;
	};
	const Case cases[] = {
		{ { 3.0f, 0.0f, 4.0f }, 5.0f, { 0.6f, 0.0f, 0.8f }, RWERR_NONE },
		{ { 0.0f, -2.0f, 0.0f }, 2.0f, { 0.0f, -1.0f, 0.0f }, RWERR_NONE },
		{ { 0.0f, 0.0f, 0.0f }, 0.0f, { 0.0f, 0.0f, 0.0f }, RWERR_ZERO_LENGTH_VECTOR },
	};
	for ( const Case& c : cases ) {
		RwV3d out = { 9.0f, 9.0f, 9.0f };
		EXPECT_NEAR( RwV3dNormalize( &out, &c.in ), c.length, 1e-3f );
		EXPECT_NEAR( out.x, c.out.x, 1e-3f );
		EXPECT_NEAR( out.y, c.out.y, 1e-3f );
		EXPECT_NEAR( out.z, c.out.z, 1e-3f );
		EXPECT_EQ( RwTestReadError().errorCode, c.error );
	}
	EXPECT_NEAR( RwV3dLength( &cases[0].in ), 5.0f, 1e-3f );
}

RwMatrix TestMatrix() {
	RwMatrix m;
	_rwMatrixSetIdentity( &m );
	const RwV3d axis = { 1.0f, 2.0f, 0.5f };
	RwMatrixRotate( &m, &axis, 37.0f, rwCOMBINEREPLACE );
	const RwV3d scale = { 1.5f, 0.75f, 2.0f };
	RwMatrixScale( &m, &scale, rwCOMBINEPOSTCONCAT );
	const RwV3d move = { 10.0f, -3.0f, 0.125f };
	RwMatrixTranslate( &m, &move, rwCOMBINEPOSTCONCAT );
	return m;
}

std::vector<RwV3d> TestPoints() {
	std::vector<RwV3d> points;
	for ( s32 i = 0; i < 17; i++ ) {
		points.push_back( { i * 0.37f - 3.0f, std::sin( i * 1.0f ) * 5.0f, 1.0f / ( i + 1.0f ) } );
	}
	return points;
}

void ExpectSameBits( const std::vector<RwV3d>& a, const std::vector<RwV3d>& b ) {
	ASSERT_EQ( a.size(), b.size() );
	for ( size_t i = 0; i < a.size(); i++ ) {
		EXPECT_EQ( std::bit_cast<u32>( a[i].x ), std::bit_cast<u32>( b[i].x ) ) << i;
		EXPECT_EQ( std::bit_cast<u32>( a[i].y ), std::bit_cast<u32>( b[i].y ) ) << i;
		EXPECT_EQ( std::bit_cast<u32>( a[i].z ), std::bit_cast<u32>( b[i].z ) ) << i;
	}
}

TEST_F( RwV3dTest, TheDevicesInstalledRoutinesGiveTheModulesResults ) {
	const RwMatrix m = TestMatrix();
	const std::vector<RwV3d> in = TestPoints();
	const s32 count = static_cast<s32>( in.size() );
	for ( const bool points : { true, false } ) {
		std::vector<RwV3d> installed( in.size() );
		std::vector<RwV3d> own( in.size() );
		// The device installed its routines when the engine started.
		if ( points ) {
			RwV3dTransformPoints( installed.data(), in.data(), count, &m );
		} else {
			RwV3dTransformVectors( installed.data(), in.data(), count, &m );
		}
		ASSERT_TRUE( _rwVectorSetMultFn( nullptr, nullptr ) );
		if ( points ) {
			RwV3dTransformPoints( own.data(), in.data(), count, &m );
		} else {
			RwV3dTransformVectors( own.data(), in.data(), count, &m );
		}
		ExpectSameBits( installed, own );
		ASSERT_TRUE( _rwVectorSetMultFn( TestDeviceTransformPoints, TestDeviceTransformVectors ) );
	}
}

// Counts the calls of an installed hook.
u32 hookCalls = 0;
RwV3d* CountingHook( RwV3d* out, const RwV3d*, s32, const RwMatrix* ) {
	hookCalls++;
	return out;
}

TEST_F( RwV3dTest, TransformsGoThroughTheHooksAndANullHookRestoresTheModules ) {
	hookCalls = 0;
	const RwMatrix m = TestMatrix();
	RwV3d v = { 1.0f, 2.0f, 3.0f };
	ASSERT_TRUE( _rwVectorSetMultFn( CountingHook, nullptr ) );
	RwV3dTransformPoints( &v, &v, 1, &m );
	EXPECT_EQ( hookCalls, 1u );
	RwV3dTransformVectors( &v, &v, 1, &m );
	EXPECT_EQ( hookCalls, 1u );
	ASSERT_TRUE( _rwVectorSetMultFn( nullptr, CountingHook ) );
	RwV3dTransformVectors( &v, &v, 1, &m );
	EXPECT_EQ( hookCalls, 2u );
	RwV3dTransformPoints( &v, &v, 1, &m );
	EXPECT_EQ( hookCalls, 2u );
}

TEST_F( RwV3dTest, TransformsMayWriteOverTheirInput ) {
	const RwMatrix m = TestMatrix();
	for ( const bool device : { true, false } ) {
		if ( !device ) {
			_rwVectorSetMultFn( nullptr, nullptr );
		}
		std::vector<RwV3d> inPlace = TestPoints();
		std::vector<RwV3d> separate( inPlace.size() );
		const s32 count = static_cast<s32>( inPlace.size() );
		RwV3dTransformPoints( separate.data(), inPlace.data(), count, &m );
		RwV3dTransformPoints( inPlace.data(), inPlace.data(), count, &m );
		ExpectSameBits( inPlace, separate );
	}
	const RwV3d p = { 1.0f, 1.0f, 1.0f };
	RwV3d out;
	RwV3dTransformPoints( &out, &p, 1, &m );
	EXPECT_NEAR( out.x, m.right.x + m.up.x + m.at.x + m.pos.x, 1e-5f );
	EXPECT_NEAR( out.z, m.right.z + m.up.z + m.at.z + m.pos.z, 1e-5f );
}

TEST_F( RwV3dTest, TheTablesNeedTheirMemoryToStart ) {
	RwTestShutDown();
	RwTestCountingMemory::refusedSize = 0x4000;
	EXPECT_FALSE( RwTestBringUp( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NO_MEMORY );
	EXPECT_EQ( RwTestEngineState(), RWENGINE_STATE_OPENED );
}

}	// namespace
