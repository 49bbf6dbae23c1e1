#include "graphics3d/core/RwTestEngine.h"
#include "graphics3d/world/RtAnim.h"
#include "graphics3d/world/RtAnimTesting.h"

namespace {

class RtAnimTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		_rtAnimResetRegistryForTests();
		ASSERT_TRUE( RwTestBringUp( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		RwTestCountingMemory::Reset();
	}
	void TearDown() override {
		_rtAnimResetRegistryForTests();
		RwTestCase::TearDown();
	}
	static RtAnimInterpolatorInfo Scheme( const s32 typeID ) {
		RtAnimInterpolatorInfo info = {};
		info.typeID = typeID;
		info.keyFrameSize = 36;
		info.keyFrameMulRecipCB = reinterpret_cast<RtAnimKeyFrameMulRecipCallBack>( 0x1000 + typeID );
		return info;
	}
};

TEST_F( RtAnimTest, RegistersSixteenSchemesAndRefusesFullAndDuplicateOnes ) {
	for ( s32 id = 1; id <= 16; id++ ) {
		RtAnimInterpolatorInfo info = Scheme( id );
		ASSERT_TRUE( RtAnimRegisterInterpolationScheme( &info ) );
		info.keyFrameSize = 0;	// the registry holds its own copy
	}
	EXPECT_EQ( RtAnimInterpolatorInfoBlockNumEntries, 16 );
	EXPECT_EQ( RtAnimInterpolatorInfoBlock[4].keyFrameSize, 36 );
	EXPECT_EQ( RtAnimInterpolatorInfoBlock[4].keyFrameMulRecipCB, Scheme( 5 ).keyFrameMulRecipCB );

	struct Case {
		const char*		name;
		bool			full;
		s32				typeID;
		u32				code;
	};
	const Case cases[] = {
		{ "seventeenth", true, 17, RTANIM_ERR_REGISTRY_FULL },
		{ "duplicate while full", true, 3, RTANIM_ERR_REGISTRY_FULL },
		{ "duplicate", false, 3, RTANIM_ERR_DUPLICATE_TYPE },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		_rtAnimResetRegistryForTests();
		const s32 entries = c.full ? 16 : 4;
		for ( s32 id = 1; id <= entries; id++ ) {
			const RtAnimInterpolatorInfo info = Scheme( id );
			ASSERT_TRUE( RtAnimRegisterInterpolationScheme( &info ) );
		}
		const RtAnimInterpolatorInfo info = Scheme( c.typeID );
		EXPECT_FALSE( RtAnimRegisterInterpolationScheme( &info ) );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, RTANIM_PLUGIN_ID );
		EXPECT_EQ( error.errorCode, c.code );
		EXPECT_EQ( RtAnimInterpolatorInfoBlockNumEntries, entries );
	}
}

TEST_F( RtAnimTest, CreatesOneBlockWithItsHeadAndKeyFrames ) {
	struct Case {
		s32		numNodes;
		s32		keyFrameSize;
	};
	const Case cases[] = { { 0, 36 }, { 3, 36 }, { 5, 1 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.numNodes );
		RwTestCountingMemory::Reset();
		RtAnimInterpolator* const interpolator = RtAnimInterpolatorCreate( c.numNodes, c.keyFrameSize );
		ASSERT_NE( interpolator, nullptr );
		ASSERT_EQ( RwTestCountingMemory::sizes.size(), 1u );
		EXPECT_EQ( RwTestCountingMemory::sizes[0], RTANIM_KEYFRAMES_OFFSET + static_cast<u32>( c.numNodes * c.keyFrameSize ) );
		EXPECT_EQ( RTANIM_KEYFRAMES_OFFSET % 8, 0u );
		EXPECT_EQ( interpolator->parentAnimation, interpolator );
		EXPECT_EQ( interpolator->pCurrentAnim, nullptr );
		EXPECT_EQ( interpolator->currentTime, 0.0f );
		EXPECT_EQ( interpolator->animCallBackTime, -1.0f );
		EXPECT_EQ( interpolator->maxKeyFrameSize, c.keyFrameSize );
		EXPECT_EQ( interpolator->currentKeyFrameSize, c.keyFrameSize );
		EXPECT_EQ( interpolator->numNodes, c.numNodes );
		EXPECT_EQ( interpolator->keyFrameApplyCB, nullptr );
		if ( c.numNodes > 0 ) {
			EXPECT_EQ( RtAnimInterpolatorGetKeyFrame( interpolator, c.numNodes - 1 ),
					   reinterpret_cast<u8*>( interpolator ) + RTANIM_KEYFRAMES_OFFSET + ( c.numNodes - 1 ) * c.keyFrameSize );
		}
		RtAnimInterpolatorDestroy( interpolator );
		EXPECT_EQ( RwTestCountingMemory::freeCalls, 1u );
	}
}

TEST_F( RtAnimTest, CreationFailsWithoutMemoryOrWithImpossibleSizes ) {
	RwTestCountingMemory::refusedSize = RTANIM_KEYFRAMES_OFFSET + 2 * 36;
	EXPECT_EQ( RtAnimInterpolatorCreate( 2, 36 ), nullptr );
	RwTestCountingMemory::refusedSize = 0;
	RwTestCountingMemory::Reset();
	EXPECT_EQ( RtAnimInterpolatorCreate( -1, 36 ), nullptr );
	EXPECT_EQ( RtAnimInterpolatorCreate( 4, -36 ), nullptr );
	EXPECT_EQ( RtAnimInterpolatorCreate( 0x40000000, 0x100 ), nullptr );
	EXPECT_EQ( RwTestCountingMemory::mallocCalls, 0u );
	RtAnimInterpolatorDestroy( nullptr );
}

}	// namespace
