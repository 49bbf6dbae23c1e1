#include "RxTestNodes.h"

#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RxHeap.h"

namespace {

class RxPipelineModuleTest : public RxPipelineTestCase {};

TEST_F( RxPipelineModuleTest, OpensWithItsDefaultsAndRefusesASecondOpen ) {
	const RxPipelineGlobals* const globals = _rxPipelineGlobals();
	ASSERT_NE( globals, nullptr );
	EXPECT_EQ( _rxPipelineGlobalsOffset, RwEngineGetPluginOffset( RWID_PIPELINE_MODULE ) );
	EXPECT_EQ( globals->maxNodesPerPipeline, 64u );
	EXPECT_EQ( globals->clearedAtOpen[0], 0u );
	EXPECT_EQ( globals->clearedAtOpen[1], 0u );
	EXPECT_NE( globals->pipesFreeList, nullptr );
	EXPECT_NE( RxHeapGetGlobalHeap(), nullptr );
	const RxRenderStateVector& rsv = globals->defaultRenderStateVector;
	const u32 words[] = { rsv.Flags, rsv.ShadeMode, rsv.SrcBlend, rsv.DestBlend, rsv.AddressModeU, rsv.AddressModeV,
						  rsv.FilterMode, rsv.BorderColor, rsv.FogType, rsv.FogColor };
	const u32 expected[] = { 7, 2, 5, 6, 1, 1, 2, 0xFFFFFFFF, 0, 0xFFFFFFFF };
	EXPECT_TRUE( std::equal( std::begin( words ), std::end( words ), std::begin( expected ) ) );
	EXPECT_EQ( rsv.TextureRaster, nullptr );

	EXPECT_FALSE( _rxPipelineOpen() );
	EXPECT_EQ( _rxPipelineGlobals(), globals );
	EXPECT_EQ( _rwRenderPipelineOpen( RwEngineInstance, 8, 96 ), nullptr );
	EXPECT_EQ( _rxPipelineGlobals(), globals );
}

TEST_F( RxPipelineModuleTest, ClosingTwiceSucceeds ) {
	ASSERT_TRUE( RwEngineStop() );
	EXPECT_EQ( _rxPipelineGlobals(), nullptr );
	EXPECT_EQ( RxHeapGetGlobalHeap(), nullptr );
	EXPECT_TRUE( _rxPipelineClose() );
	EXPECT_FALSE( RxPipelineInstanced );
	EXPECT_EQ( RxPipelineCreate(), nullptr );
}

TEST_F( RxPipelineModuleTest, AFreeListFailureTakesTheHeapBackAndFailsTheStart ) {
	RwTestShutDown();
	RwTestCountingMemory::Reset();
	const u32 entry = ( sizeof( RxPipeline ) + RWFREELIST_MIN_ALIGNMENT - 1 ) / RWFREELIST_MIN_ALIGNMENT * RWFREELIST_MIN_ALIGNMENT;
	RwTestCountingMemory::refusedSize = static_cast<u32>( _rxPipesFreeListBlockSize * entry + _rxPipesFreeListBlockSize / 8 +
														   sizeof( RwLLLink ) + RWFREELIST_MIN_ALIGNMENT - 1 );
	EXPECT_FALSE( RwTestBringUp( &rwTestCountingMemory, 0, 0 ) );
	EXPECT_FALSE( RxPipelineInstanced );
	EXPECT_EQ( RxHeapGetGlobalHeap(), nullptr );
	RwTestShutDown();
	// The refusal hit the free list; the leak checker sees a heap left behind.
	EXPECT_NE( std::find( RwTestCountingMemory::sizes.begin(), RwTestCountingMemory::sizes.end(), RwTestCountingMemory::refusedSize ),
			   RwTestCountingMemory::sizes.end() );
}

TEST_F( RxPipelineModuleTest, SetsTheDefaultRenderStateVectorByTheEngineState ) {
	RxPipelineGlobals* const globals = _rxPipelineGlobals();
	RxRenderStateVector own = {};
	struct Case {
		const char*				name;
		s32						state;
		RxRenderStateVector*	vector;
		bool					accepted;
		RwError					error;
	};
	const Case cases[] = {
		{ "null", RWENGINE_STATE_STARTED, nullptr, false, { 0, RWERR_NULL_ARGUMENT } },
		{ "started, caller's vector", RWENGINE_STATE_STARTED, &own, true, { 0, RWERR_NONE } },
		{ "opening, module's vector", RWENGINE_STATE_OPENED, &globals->defaultRenderStateVector, true, { 0, RWERR_NONE } },
		{ "opening, caller's vector", RWENGINE_STATE_OPENED, &own, false, { 0, RXERR_UNUSABLE_ARGUMENT } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		own = RxRenderStateVector{};
		globals->defaultRenderStateVector.FogType = 3;
		RwEngineInstance->engineState = c.state;
		RxRenderStateVector* const result = RxRenderStateVectorSetDefaultRenderStateVector( c.vector );
		RwEngineInstance->engineState = RWENGINE_STATE_STARTED;
		EXPECT_EQ( result, c.accepted ? c.vector : nullptr );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.errorCode, c.error.errorCode );
		if ( c.vector == &own ) {
			// A started engine hands out the module's vector as it stands.
			EXPECT_EQ( own.FogType, c.accepted ? 3u : 0u );
			EXPECT_EQ( own.Flags, c.accepted ? 7u : 0u );
		} else if ( c.accepted ) {
			EXPECT_EQ( globals->defaultRenderStateVector.FogType, 0u );
		}
	}
}

TEST_F( RxPipelineModuleTest, KeepsTheFourPipelineWords ) {
	RxPipeline* const pipelines[4] = { NewPipeline(), NewPipeline(), NewPipeline(), NewPipeline() };
	_rxPipelineSetDefaultAtomicPipeline( pipelines[0] );
	_rxPipelineSetDefaultWorldSectorPipeline( pipelines[1] );
	_rxPipelineSetPlatformAtomicPipeline( pipelines[2] );
	_rxPipelineSetPlatformWorldSectorPipeline( pipelines[3] );
	const RxPipelineGlobals* const globals = _rxPipelineGlobals();
	EXPECT_EQ( globals->currentAtomicPipeline, pipelines[0] );
	EXPECT_EQ( _rxPipelineGetDefaultAtomicPipeline(), pipelines[0] );
	EXPECT_EQ( _rxPipelineGetDefaultWorldSectorPipeline(), pipelines[1] );
	EXPECT_EQ( _rxPipelineGetPlatformAtomicPipeline(), pipelines[2] );
	EXPECT_EQ( _rxPipelineGetPlatformWorldSectorPipeline(), pipelines[3] );
}

}	// namespace
