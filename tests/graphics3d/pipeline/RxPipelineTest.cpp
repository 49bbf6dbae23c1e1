#include "RxTestNodes.h"

#include "graphics3d/core/RxHeap.h"
#include "graphics3d/core/RxHeapTesting.h"
#include "graphics3d/core/RxPipelineLayout.h"

namespace {

class RxPipelineTest : public RxPipelineTestCase {};

TEST_F( RxPipelineTest, RefusesNullEmptyAndLockedPipelinesWithoutCallingABody ) {
	RxTestDefinition& a = Def( "A", 0, {} );
	RxPipeline* const locked = LockedWith( a.Get() );
	RxPipeline* const empty = NewPipeline();
	RxPipeline* const unlockedEmpty = RxLockedPipeUnlock( RxPipelineLock( NewPipeline() ) );
	ASSERT_NE( unlockedEmpty, nullptr );
	RwTestReadError();

	struct Case {
		const char*		name;
		RxPipeline*		pipeline;
		bool			lock;		// RxPipelineLock instead of RxPipelineExecute
		RwError			error;
	};
	const Case cases[] = {
		{ "lock null", nullptr, true, { 0, RWERR_NULL_ARGUMENT } },
		{ "execute null", nullptr, false, { 0, RWERR_NULL_ARGUMENT } },
		{ "execute never locked", empty, false, { 0, RXERR_UNUSABLE_ARGUMENT } },
		{ "execute unlocked empty", unlockedEmpty, false, { 0, RXERR_UNUSABLE_ARGUMENT } },
		{ "execute locked", locked, false, { 0, RXERR_UNUSABLE_ARGUMENT } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		rxTestLog.clear();
		RxPipeline* const result = c.lock ? RxPipelineLock( c.pipeline ) : RxPipelineExecute( c.pipeline, this, true );
		EXPECT_EQ( result, nullptr );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, c.error.pluginID );
		EXPECT_EQ( error.errorCode, c.error.errorCode );
		EXPECT_TRUE( rxTestLog.empty() );
	}
	_rxPipelineDestroy( nullptr );
}

TEST_F( RxPipelineTest, ExecutesTheFirstBodyWithTheDataAndTheGlobalHeap ) {
	RxTestDefinition& a = Def( "A", 1, {} );
	RxTestDefinition& b = Def( "B", 0, {} );
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( a.Get(), b.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	rxTestLog.clear();
	int object = 0;

	EXPECT_EQ( RxPipelineExecute( pipeline, &object, false ), pipeline );
	EXPECT_EQ( rxTestLog, std::vector<std::string>{ "body:A" } );
	EXPECT_EQ( rxTestBodyData, &object );
	EXPECT_EQ( rxTestBodyHeap, RxHeapGetGlobalHeap() );
	EXPECT_EQ( rxTestBodyNode, &pipeline->nodes[0] );
	EXPECT_EQ( _rxExecCtxGlobal.pipeline, nullptr );

	rxTestFailures.body = "A";
	EXPECT_EQ( RxPipelineExecute( pipeline, &object, false ), nullptr );
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.errorCode, RWERR_NONE );
}

TEST_F( RxPipelineTest, ResetsTheHeapOnlyWhenAskedAndDirty ) {
	RxTestDefinition& a = Def( "A", 0, {} );
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( a.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	RxHeap* const heap = RxHeapGetGlobalHeap();
	struct Case {
		bool	dirty;
		bool	reset;
		bool	expectReset;
	};
	const Case cases[] = { { true, true, true }, { true, false, false }, { false, true, false } };
	for ( const Case& c : cases ) {
		ASSERT_TRUE( _rxHeapReset( heap ) );
		void* const block = c.dirty ? _rxHeapAllocBestFitForTests( heap, 64 ) : nullptr;
		EXPECT_NE( RxPipelineExecute( pipeline, nullptr, c.reset ), nullptr );
		EXPECT_EQ( heap->dirty == 0, !c.dirty || c.expectReset );
		// A reset leaves one free block covering the whole super block.
		EXPECT_EQ( heap->entriesUsed == 1 && heap->freeBlocks[0].size == heap->superBlockSize - 3 * sizeof( rxHeapBlockHeader ),
				   !c.dirty || c.expectReset );
		(void)block;
	}
}

// A body that leaves cluster data in the embedded packet.
static RxPipeline*	packetPipeline = nullptr;
static void*		packetExternalData = nullptr;
static bool PacketBody( RxPipelineNode*, const RxPipelineNodeParam* params ) {
	RxPacket* const packet = packetPipeline->embeddedPacket;
	RxCluster* const clusters = RxPacketClusters( packet );
	clusters[0].clusterRef = packetPipeline->nodes[0].slotClusterRefs[0];
	clusters[0].data = _rxHeapAllocBestFitForTests( params->heap, 32 );
	clusters[0].numUsed = 3;
	clusters[1].clusterRef = packetPipeline->nodes[0].slotClusterRefs[1];
	clusters[1].flags = RXCLUSTER_EXTERNAL;
	clusters[1].data = packetExternalData;
	packet->flags = 0x10;
	packetPipeline->embeddedPacketState = rxPKST_PENDING;
	return true;
}

TEST_F( RxPipelineTest, DestroysALeftOverPacketHandingOnlyHeapDataBack ) {
	RxTestDefinition& a = Def( "A", 0, { { 0, rxCLREQ_DONTWANT, rxCLFORCEPRESENT, {} }, { 1, rxCLREQ_DONTWANT, rxCLFORCEPRESENT, {} } } );
	a.Get()->nodeBody = PacketBody;
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( a.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	ASSERT_EQ( pipeline->packetNumClusterSlots, 2u );
	ASSERT_TRUE( _rxHeapReset( RxHeapGetGlobalHeap() ) );
	u8 external[16];
	packetPipeline = pipeline;
	packetExternalData = external;

	EXPECT_EQ( RxPipelineExecute( pipeline, nullptr, false ), pipeline );
	RxHeap* const heap = RxHeapGetGlobalHeap();
	EXPECT_EQ( heap->entriesUsed, 1u );
	EXPECT_EQ( heap->freeBlocks[0].size, heap->superBlockSize - 3 * sizeof( rxHeapBlockHeader ) );
	EXPECT_EQ( pipeline->embeddedPacketState, static_cast<u32>( rxPKST_UNUSED ) );
	const RxCluster* const clusters = RxPacketClusters( pipeline->embeddedPacket );
	for ( u32 s = 0; s < 2; s++ ) {
		EXPECT_EQ( clusters[s].clusterRef, nullptr );
		EXPECT_EQ( clusters[s].data, nullptr );
		EXPECT_EQ( clusters[s].numUsed, 0u );
		EXPECT_EQ( clusters[s].flags, 0u );
	}
	EXPECT_EQ( pipeline->embeddedPacket->flags, 0u );
}

TEST_F( RxPipelineTest, RefusesFragmentsAndLeavesThePipelineAsItWas ) {
	RxTestDefinition& ok = Def( "Ok", 1, {} );
	RxTestDefinition& end = Def( "End", 0, {} );
	std::vector<RxTestInterest> many;
	for ( s32 c = 0; c < 33; c++ ) {
		many.push_back( { c, rxCLREQ_OPTIONAL, rxCLALLOWABSENT, {} } );
	}
	RxTestDefinition& manyOutputs = Def( "ManyOutputs", 33, {} );
	RxTestDefinition& manyClusters = Def( "ManyClusters", 1, many );
	RxTestDefinition& both = Def( "Both", 33, many );

	struct Case {
		const char*							name;
		std::vector<RxNodeDefinition*>		fragment;
		RwError								error;
	};
	const std::vector<Case> cases = {
		{ "33 outputs", { ok.Get(), manyOutputs.Get() }, { 1, RXERR_TOO_MANY_OUTPUTS } },
		{ "33 clusters", { manyClusters.Get() }, { 1, RXERR_TOO_MANY_CLUSTERS } },
		{ "both, first error kept", { both.Get() }, { 1, RXERR_TOO_MANY_OUTPUTS } },
		{ "no output to chain from", { ok.Get(), end.Get(), ok.Get() }, { 0, RWERR_NONE } },
		{ "65 nodes", std::vector<RxNodeDefinition*>( 63, ok.Get() ), { 1, RXERR_TOO_MANY_NODES } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RxPipeline* const pipeline = LockedWith( ok.Get(), ok.Get() );
		std::vector<RxNodeDefinition*> list = c.fragment;
		list.push_back( nullptr );
		u32 first = 77;
		EXPECT_EQ( _rxLockedPipeAddFragmentList( pipeline, &first, list.data() ), nullptr );
		EXPECT_EQ( first, 77u );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, c.error.pluginID );
		EXPECT_EQ( error.errorCode, c.error.errorCode );
		ASSERT_EQ( pipeline->numNodes, 2u );
		EXPECT_EQ( pipeline->nodes[0].outputs[0], 1u );
		EXPECT_EQ( pipeline->nodes[1].outputs[0], RX_NO_NODE );
		EXPECT_EQ( ok.Get()->nodeRecordCount, static_cast<s32>( 2 * ( &c - &cases[0] + 1 ) ) );
	}

	RxPipeline* const unlocked = NewPipeline();
	EXPECT_EQ( RxLockedPipeAddFragment( unlocked, nullptr, ok.Get() ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, static_cast<u32>( RXERR_NOT_LOCKED ) );
	EXPECT_EQ( RxLockedPipeAddFragment( nullptr, nullptr, ok.Get() ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NULL_ARGUMENT );
}

TEST_F( RxPipelineTest, ChainsAFragmentAfterTheNodesAlreadyThere ) {
	RxTestDefinition& ok = Def( "Ok", 2, {} );
	RxPipeline* const pipeline = LockedWith( ok.Get() );
	u32 first = 0;
	ASSERT_EQ( RxLockedPipeAddFragment( pipeline, &first, ok.Get(), ok.Get(), ok.Get() ), pipeline );
	EXPECT_EQ( first, 1u );
	ASSERT_EQ( pipeline->numNodes, 4u );
	const u32 expected[4][2] = { { RX_NO_NODE, RX_NO_NODE }, { 2, RX_NO_NODE }, { 3, RX_NO_NODE }, { RX_NO_NODE, RX_NO_NODE } };
	for ( u32 i = 0; i < 4; i++ ) {
		EXPECT_EQ( pipeline->nodes[i].outputs[0], expected[i][0] );
		EXPECT_EQ( pipeline->nodes[i].outputs[1], expected[i][1] );
	}
}

TEST_F( RxPipelineTest, RefusesPathsThatAreNotBetweenItsOwnNodes ) {
	RxTestDefinition& ok = Def( "Ok", 2, {} );
	RxPipeline* const pipeline = LockedWith( ok.Get(), ok.Get() );
	RxPipeline* const other = LockedWith( ok.Get() );
	RxPipeline* const unlocked = NewPipeline();
	RxPipelineNode* const nodes = pipeline->nodes;
	u32 stray = RX_NO_NODE;

	struct Case {
		const char*			name;
		RxPipeline*			pipeline;
		u32*				slot;
		RxPipelineNode*		dest;
	};
	const Case cases[] = {
		{ "null pipeline", nullptr, &nodes[1].outputs[0], &nodes[0] },
		{ "unlocked", unlocked, &nodes[1].outputs[0], &nodes[0] },
		{ "null slot", pipeline, nullptr, &nodes[0] },
		{ "slot outside the pipeline", pipeline, &stray, &nodes[0] },
		{ "slot past the node's outputs", pipeline, &nodes[1].outputs[2], &nodes[0] },
		{ "connected slot", pipeline, &nodes[0].outputs[0], &nodes[1] },
		{ "null destination", pipeline, &nodes[1].outputs[0], nullptr },
		{ "destination past the nodes", pipeline, &nodes[1].outputs[0], &nodes[2] },
		{ "destination inside a record",
		  pipeline, &nodes[1].outputs[0],
		  reinterpret_cast<RxPipelineNode*>( reinterpret_cast<u8*>( &nodes[1] ) + 8 ) },
		{ "destination of another pipeline", pipeline, &nodes[1].outputs[0], &other->nodes[0] },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		EXPECT_EQ( RxLockedPipeAddPath( c.pipeline, c.slot, c.dest ), nullptr );
	}
	EXPECT_EQ( nodes[1].outputs[0], RX_NO_NODE );
	EXPECT_EQ( stray, RX_NO_NODE );
	EXPECT_EQ( RxLockedPipeAddPath( pipeline, &nodes[1].outputs[1], &nodes[0] ), pipeline );
	EXPECT_EQ( nodes[1].outputs[1], 0u );
}

TEST_F( RxPipelineTest, RemovingALockedNodeRenumbersTheOthers ) {
	RxTestDefinition& ok = Def( "Ok", 2, {} );
	RxPipeline* const pipeline = LockedWith( ok.Get(), ok.Get(), ok.Get() );	// 0 -> 1 -> 2
	ASSERT_NE( RxLockedPipeAddFragment( pipeline, nullptr, ok.Get() ), nullptr );	// 3
	Path( pipeline, 0, 1, 2 );
	Path( pipeline, 3, 0, 2 );
	Path( pipeline, 2, 1, 3 );

	_rxPipelineNodeDestroy( &pipeline->nodes[1], pipeline );
	ASSERT_EQ( pipeline->numNodes, 3u );
	const u32 expected[3][2] = { { RX_NO_NODE, 1 }, { RX_NO_NODE, 2 }, { 1, RX_NO_NODE } };
	for ( u32 i = 0; i < 3; i++ ) {
		SCOPED_TRACE( i );
		EXPECT_EQ( pipeline->nodes[i].outputs, _rxLockedOutputArea( pipeline, i ) );
		EXPECT_EQ( pipeline->nodes[i].topSortData, _rxLockedSortRecord( pipeline, i ) );
		EXPECT_EQ( pipeline->nodes[i].outputs[0], expected[i][0] );
		EXPECT_EQ( pipeline->nodes[i].outputs[1], expected[i][1] );
	}
	EXPECT_EQ( ok.Get()->nodeRecordCount, 3 );
}

TEST_F( RxPipelineTest, FreesAnEditableDefinitionOnceWithItsLastNodeRecord ) {
	RxTestDefinition& base = Def( "Editable", 1, {} );
	RxTestDefinition& end = Def( "End", 0, {} );
	RxTestDefinition& bad = Def( "Bad", 33, {} );
	enum Way { UNLOCKED, LOCKED, FAILED_FRAGMENT, SHARED };
	for ( const Way way : { UNLOCKED, LOCKED, FAILED_FRAGMENT, SHARED } ) {
		SCOPED_TRACE( way );
		RxTestMemory::freed.clear();
		RxNodeDefinition* const editable = RxTestEditableCopy( base.Get() );
		RxPipeline* const pipeline = RxPipelineLock( RxPipelineCreate() );
		RxPipeline* sharer = nullptr;
		if ( way == SHARED ) {
			sharer = RxLockedPipeUnlock( LockedWith( editable ) );
			ASSERT_NE( sharer, nullptr );
		}
		if ( way == FAILED_FRAGMENT || way == SHARED ) {
			EXPECT_EQ( RxLockedPipeAddFragment( pipeline, nullptr, editable, editable, bad.Get() ), nullptr );
			RwTestReadError();
			EXPECT_EQ( pipeline->numNodes, 0u );
		} else {
			ASSERT_NE( RxLockedPipeAddFragment( pipeline, nullptr, editable, editable, end.Get() ), nullptr );
			if ( way == UNLOCKED ) {
				ASSERT_NE( RxLockedPipeUnlock( pipeline ), nullptr );
			}
			EXPECT_EQ( RxTestMemory::TimesFreed( editable ), 0u );
			_rxPipelineDestroy( pipeline );
		}
		if ( way == SHARED ) {
			EXPECT_EQ( RxTestMemory::TimesFreed( editable ), 0u );
			Forget( sharer );
			_rxPipelineDestroy( sharer );
		}
		if ( way == FAILED_FRAGMENT || way == SHARED ) {
			_rxPipelineDestroy( pipeline );
		}
		EXPECT_EQ( RxTestMemory::TimesFreed( editable ), 1u );
	}
}

TEST_F( RxPipelineTest, FindsNodesByNameAfterTheStartNode ) {
	RxTestDefinition& a = Def( "Alpha", 1, {} );
	RxTestDefinition& b = Def( "Beta", 1, {} );
	RxPipeline* const pipeline = LockedWith( a.Get(), b.Get(), a.Get(), b.Get() );
	RxPipeline* const other = LockedWith( a.Get() );
	struct Case {
		const char*		name;
		s32				start;		// -1 none, -2 a node of another pipeline
		s32				found;		// -1 none
		u32				count;
	};
	const Case cases[] = {
		{ "Alpha", -1, 0, 4 },		{ "Beta", -1, 1, 3 },	{ "Alpha", 0, 2, 2 },
		{ "Beta", 1, 3, 1 },		{ "Beta", 3, -1, RX_NO_NODE },	{ "Gamma", -1, -1, RX_NO_NODE },
		{ "Alpha", -2, -1, RX_NO_NODE },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( std::string( c.name ) + " from " + std::to_string( c.start ) );
		RxPipelineNode* const start = c.start >= 0 ? &pipeline->nodes[c.start] : ( c.start == -2 ? &other->nodes[0] : nullptr );
		u32 count = 12345;
		RxPipelineNode* const found = RxPipelineFindNodeByName( pipeline, c.name, start, &count );
		EXPECT_EQ( found, c.found >= 0 ? &pipeline->nodes[c.found] : nullptr );
		EXPECT_EQ( count, c.count );
	}
	u32 count = 0;
	EXPECT_EQ( RxPipelineFindNodeByName( nullptr, "Alpha", nullptr, &count ), nullptr );
	EXPECT_EQ( count, RX_NO_NODE );
	EXPECT_EQ( RxPipelineFindNodeByName( pipeline, nullptr, nullptr, nullptr ), nullptr );
}

// Builds a chain of count nodes with private data, unlocks it, locks it,
// adds one node, unlocks again.
TEST_F( RxPipelineTest, KeepsTheGraphThroughLockAndUnlockCyclesWhenTheBlockMoves ) {
	RxTestDefinition& link = Def( "Link", 1, { { 0, rxCLREQ_OPTIONAL, rxCLFORCEPRESENT, { rxCLVALID_NOCHANGE } } },
						   rxCLVALID_NOCHANGE, 40 );
	for ( const u32 count : { 2u, 63u } ) {
		SCOPED_TRACE( count );
		rxTestLog.clear();
		RxPipeline* const pipeline = LockedWith();
		std::vector<RxNodeDefinition*> list( count, link.Get() );
		list.push_back( nullptr );
		ASSERT_NE( _rxLockedPipeAddFragmentList( pipeline, nullptr, list.data() ), nullptr );
		ASSERT_EQ( RxLockedPipeUnlock( pipeline ), pipeline );
		const u32 reallocs = RxTestMemory::reallocCalls;
		ASSERT_EQ( RxPipelineLock( pipeline ), pipeline );
		EXPECT_GT( RxTestMemory::reallocCalls, reallocs );
		EXPECT_EQ( RxTestCount( "pterm-corrupt:Link" ), 0u );
		EXPECT_EQ( RxTestCount( "pterm:Link" ), count );
		u32 first = 0;
		ASSERT_NE( RxLockedPipeAddFragment( pipeline, &first, link.Get() ), nullptr );
		Path( pipeline, count - 1, 0, first );
		ASSERT_EQ( RxLockedPipeUnlock( pipeline ), pipeline );
		ASSERT_EQ( pipeline->numNodes, count + 1 );
		for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
			const RxPipelineNode& node = pipeline->nodes[i];
			ASSERT_EQ( node.numOutputs, 1u );
			EXPECT_EQ( node.outputs[0], i + 1 < pipeline->numNodes ? i + 1 : RX_NO_NODE );
			EXPECT_EQ( *static_cast<u32*>( node.privateData ), RX_TEST_PRIVATE_MAGIC );
			EXPECT_EQ( node.slotClusterRefs[0]->clusterRef, &rxTestClusters[0] );
			EXPECT_EQ( node.inputToClusterSlot[0], 0u );
		}
		EXPECT_EQ( RxPipelineExecute( pipeline, nullptr, true ), pipeline );
		rxTestLog.clear();
		Forget( pipeline );
		_rxPipelineDestroy( pipeline );
		EXPECT_EQ( RxTestCount( "pterm:Link" ), count + 1 );
		EXPECT_EQ( RxTestCount( "term:Link" ), 1u );
	}
	EXPECT_EQ( link.Get()->useCount, 0 );
	EXPECT_EQ( link.Get()->nodeRecordCount, 0 );
}

TEST_F( RxPipelineTest, AnEmptyPipelineKeepsItsBlockAcrossLocks ) {
	RxPipeline* const pipeline = RxPipelineLock( NewPipeline() );
	ASSERT_NE( pipeline, nullptr );
	ASSERT_EQ( RxLockedPipeUnlock( pipeline ), pipeline );
	EXPECT_EQ( pipeline->locked, 0u );
	void* const block = pipeline->superBlock;
	ASSERT_EQ( RxPipelineLock( pipeline ), pipeline );
	EXPECT_EQ( pipeline->superBlock, block );
	EXPECT_EQ( pipeline->superBlockSize, _rxPipelineLockedSize() );
	// Destroyed at tear-down; the leak checker sees any lost block.
}

TEST_F( RxPipelineTest, ALockThatCannotGrowItsBlockLeavesThePipelineUnlocked ) {
	RxTestDefinition& a = Def( "A", 0, {} );
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( a.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	RxTestMemory::failRealloc = true;
	EXPECT_EQ( RxPipelineLock( pipeline ), nullptr );
	RxTestMemory::failRealloc = false;
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NO_MEMORY );
	EXPECT_EQ( pipeline->locked, 0u );
	EXPECT_EQ( RxPipelineExecute( pipeline, nullptr, false ), pipeline );
}

}	// namespace
