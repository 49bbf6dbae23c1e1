#include "RxTestNodes.h"

namespace {

class RxPipelineUnlockTest : public RxPipelineTestCase {
protected:
	void SetUp() override {
		RxPipelineTestCase::SetUp();
		for ( u32 i = 0; i < std::size( rxTestClusters ); i++ ) {
			rxTestClusters[i] = RxClusterDefinition{ "cluster", 4 * i, 0x100 + i, nullptr };
		}
	}
	// The slot of a cluster in a node, or RX_NO_SLOT.
	static u32 SlotOf( const RxPipeline* pipeline, const u32 node, const s32 cluster ) {
		const RxPipelineNode& record = pipeline->nodes[node];
		for ( u32 s = 0; s < pipeline->packetNumClusterSlots; s++ ) {
			if ( record.slotClusterRefs[s] != nullptr && record.slotClusterRefs[s]->clusterRef == &rxTestClusters[cluster] ) {
				return s;
			}
		}
		return RX_NO_SLOT;
	}
	static std::vector<u32> Outputs( const RxPipeline* pipeline ) {
		std::vector<u32> outputs;
		for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
			outputs.insert( outputs.end(), pipeline->nodes[i].outputs, pipeline->nodes[i].outputs + pipeline->nodes[i].numOutputs );
		}
		return outputs;
	}
};

constexpr u32 KEEP = rxCLVALID_NOCHANGE;
constexpr u32 MAKE = rxCLVALID_VALID;
constexpr u32 DROP = rxCLVALID_INVALID;

TEST_F( RxPipelineUnlockTest, UnlockingAnEmptyPipelineOnlyClearsTheLock ) {
	RxPipeline* const pipeline = RxPipelineLock( NewPipeline() );
	EXPECT_EQ( RxLockedPipeUnlock( pipeline ), pipeline );
	EXPECT_EQ( pipeline->locked, 0u );
	EXPECT_EQ( RxLockedPipeUnlock( pipeline ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, static_cast<u32>( RXERR_NOT_LOCKED ) );
	EXPECT_EQ( RxLockedPipeUnlock( nullptr ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NULL_ARGUMENT );
}

TEST_F( RxPipelineUnlockTest, RefusesGraphsItCannotSortAndStaysLocked ) {
	RxTestDefinition& one = Def( "One", 1, {} );
	RxTestDefinition& two = Def( "Two", 2, {} );
	struct Case {
		const char*		name;
		u32				code;
		void			( *build )( RxPipeline*, RxNodeDefinition*, RxNodeDefinition* );
	};
	const Case cases[] = {
		{ "cycle", RXERR_UNSORTED_NODES,
		  []( RxPipeline* p, RxNodeDefinition* one, RxNodeDefinition* two ) {
			  RxLockedPipeAddFragment( p, nullptr, one, two, one );
			  Path( p, 2, 0, 1 );
		  } },
		{ "orphan", RXERR_NODE_WITHOUT_INPUT,
		  []( RxPipeline* p, RxNodeDefinition* one, RxNodeDefinition* ) {
			  RxLockedPipeAddFragment( p, nullptr, one, one );
			  RxLockedPipeAddFragment( p, nullptr, one );
		  } },
		{ "entry with an input", RXERR_BAD_ENTRY_POINT,
		  []( RxPipeline* p, RxNodeDefinition* one, RxNodeDefinition* ) {
			  RxLockedPipeAddFragment( p, nullptr, one, one );
			  Path( p, 1, 0, 0 );
		  } },
		{ "entry point past the nodes", RXERR_BAD_ENTRY_POINT,
		  []( RxPipeline* p, RxNodeDefinition* one, RxNodeDefinition* ) {
			  RxLockedPipeAddFragment( p, nullptr, one, one );
			  p->entryPoint = 2;
		  } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RxPipeline* const pipeline = LockedWith();
		c.build( pipeline, one.Get(), two.Get() );
		const std::vector<u32> before = Outputs( pipeline );
		const u32 numNodes = pipeline->numNodes;
		rxTestLog.clear();
		EXPECT_EQ( RxLockedPipeUnlock( pipeline ), nullptr );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, RXPLUGIN_PIPELINE );
		EXPECT_EQ( error.errorCode, c.code );
		EXPECT_EQ( pipeline->locked, 1u );
		EXPECT_EQ( pipeline->numNodes, numNodes );
		EXPECT_EQ( Outputs( pipeline ), before );
		EXPECT_TRUE( rxTestLog.empty() );
	}
}

TEST_F( RxPipelineUnlockTest, SortsNodesSoThatEveryNodeFollowsAllItsInputs ) {
	// Created as D, C, B, A with A the entry: A -> B, A -> C, B -> D, C -> D.
	RxTestDefinition& a = Def( "A", 2, {} );
	RxTestDefinition& b = Def( "B", 1, {} );
	RxTestDefinition& c = Def( "C", 1, {} );
	RxTestDefinition& d = Def( "D", 0, {} );
	RxPipeline* const pipeline = LockedWith();
	for ( RxTestDefinition* definition : { &d, &c, &b, &a } ) {
		ASSERT_NE( RxLockedPipeAddFragment( pipeline, nullptr, definition->Get() ), nullptr );
	}
	Path( pipeline, 3, 0, 2 );
	Path( pipeline, 3, 1, 1 );
	Path( pipeline, 2, 0, 0 );
	Path( pipeline, 1, 0, 0 );
	pipeline->entryPoint = 3;
	ASSERT_EQ( RxLockedPipeUnlock( pipeline ), pipeline );

	EXPECT_EQ( pipeline->entryPoint, 0u );
	const char* const order[4] = { "A", "B", "C", "D" };
	for ( u32 i = 0; i < 4; i++ ) {
		EXPECT_STREQ( pipeline->nodes[i].nodeDef->name, order[i] );
	}
	// D waits until C, its second input, is placed.
	EXPECT_STREQ( pipeline->nodes[pipeline->nodes[0].outputs[0]].nodeDef->name, "B" );
	EXPECT_STREQ( pipeline->nodes[pipeline->nodes[0].outputs[1]].nodeDef->name, "C" );
	for ( u32 i = 0; i < 4; i++ ) {
		for ( u32 o = 0; o < pipeline->nodes[i].numOutputs; o++ ) {
			EXPECT_GT( pipeline->nodes[i].outputs[o], i );
		}
	}
	(void)order;
}

TEST_F( RxPipelineUnlockTest, GivesAContinuingClusterOneSlotAndANodesClustersDistinctOnes ) {
	// A makes X; B keeps it and forces Y and Z present; C and D require X.
	RxTestDefinition& a = Def( "A", 1, { { 0, rxCLREQ_DONTWANT, rxCLALLOWABSENT, { MAKE } } } );
	RxTestDefinition& b = Def( "B", 1, { { 1, rxCLREQ_DONTWANT, rxCLFORCEPRESENT, { KEEP } },
										   { 2, rxCLREQ_DONTWANT, rxCLFORCEPRESENT, { KEEP } } } );
	RxTestDefinition& c = Def( "C", 1, { { 0, rxCLREQ_REQUIRED, rxCLALLOWABSENT, { KEEP } } } );
	RxTestDefinition& d = Def( "D", 0, { { 0, rxCLREQ_REQUIRED, rxCLALLOWABSENT, {} } } );
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( a.Get(), b.Get(), c.Get(), d.Get() ) );
	ASSERT_NE( pipeline, nullptr );

	EXPECT_EQ( pipeline->packetNumClusterSlots, 3u );
	const u32 x = SlotOf( pipeline, 0, 0 );
	ASSERT_NE( x, RX_NO_SLOT );
	for ( u32 node = 1; node < 4; node++ ) {
		EXPECT_EQ( SlotOf( pipeline, node, 0 ), x ) << node;
	}
	const u32 y = SlotOf( pipeline, 1, 1 );
	const u32 z = SlotOf( pipeline, 1, 2 );
	EXPECT_NE( y, RX_NO_SLOT );
	EXPECT_NE( z, RX_NO_SLOT );
	EXPECT_NE( y, x );
	EXPECT_NE( z, x );
	EXPECT_NE( y, z );
	// One cluster record per definition, with the definition's attributes.
	for ( const s32 cluster : { 0, 1, 2 } ) {
		const RxPipelineCluster* const record = pipeline->nodes[cluster == 0 ? 0 : 1].slotClusterRefs[SlotOf( pipeline, cluster == 0 ? 0 : 1, cluster )];
		EXPECT_EQ( record->creationAttributes, 0x100u + cluster );
	}
	EXPECT_EQ( pipeline->nodes[0].slotClusterRefs[x], pipeline->nodes[3].slotClusterRefs[x] );

	// Continuity: word 1 + slot holds the outputs a cluster continues on,
	// word 0 their AND.
	struct Expected {
		u32		node;
		u32		word0;
		u32		xWord;
	};
	const Expected expected[] = { { 0, 1, 1 }, { 1, 0, 1 }, { 2, 1, 1 }, { 3, 0, 0 } };
	for ( const Expected& e : expected ) {
		SCOPED_TRACE( e.node );
		EXPECT_EQ( pipeline->nodes[e.node].slotsContinue[0], e.word0 );
		EXPECT_EQ( pipeline->nodes[e.node].slotsContinue[1 + x], e.xWord );
	}
	EXPECT_EQ( pipeline->nodes[1].slotsContinue[1 + y], 0u );
	EXPECT_EQ( pipeline->nodes[2].inputToClusterSlot[0], x );
	EXPECT_EQ( pipeline->nodes[3].inputToClusterSlot[0], x );
	EXPECT_EQ( pipeline->nodes[1].inputToClusterSlot[0], y );
	EXPECT_EQ( pipeline->nodes[1].inputToClusterSlot[1], z );

	const RxPacket* const packet = pipeline->embeddedPacket;
	ASSERT_NE( packet, nullptr );
	EXPECT_EQ( packet->numClusters, 3u );
	EXPECT_EQ( packet->pipeline, pipeline );
	EXPECT_EQ( pipeline->embeddedPacketState, static_cast<u32>( rxPKST_PACKETLESS ) );
	EXPECT_EQ( pipeline->numInputRequirements, 0u );
}

TEST_F( RxPipelineUnlockTest, ANodeWithoutClustersHasAllOnesContinuity ) {
	RxTestDefinition& a = Def( "A", 0, {} );
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( a.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	EXPECT_EQ( pipeline->packetNumClusterSlots, 0u );
	EXPECT_EQ( pipeline->nodes[0].slotsContinue[0], 0xFFFFFFFFu );
	EXPECT_EQ( pipeline->embeddedPacket->numClusters, 0u );
}

TEST_F( RxPipelineUnlockTest, ResolvesWhatTheLastNodeWantsThroughTheChain ) {
	// A -> B -> C; C wants W; the table says what A and B do to W.
	struct Case {
		const char*		name;
		u32				wanted;
		u32				byA;
		u32				byB;
		u32				error;			// 0: unlocks
		u32				slots;
		bool			reachesC;
		u32				inputRequirements;
	};
	const Case cases[] = {
		{ "passed through", rxCLREQ_OPTIONAL, KEEP, KEEP, 0, 1, true, 1 },
		{ "optional dropped upstream", rxCLREQ_OPTIONAL, DROP, KEEP, 0, 0, false, 0 },
		{ "optional dropped next door", rxCLREQ_OPTIONAL, KEEP, DROP, 0, 0, false, 0 },
		{ "made on the way", rxCLREQ_REQUIRED, DROP, MAKE, 0, 1, true, 0 },
		{ "required dropped upstream", rxCLREQ_REQUIRED, DROP, KEEP, RXERR_REQUIRED_INVALIDATED, 0, false, 0 },
		{ "required passed through", rxCLREQ_REQUIRED, KEEP, KEEP, 0, 1, true, 1 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RxTestDefinition& a = Def( "A", 1, { { 3, rxCLREQ_DONTWANT, rxCLALLOWABSENT, { c.byA } } } );
		RxTestDefinition& b = Def( "B", 1, { { 3, rxCLREQ_DONTWANT, rxCLALLOWABSENT, { c.byB } } } );
		RxTestDefinition& w = Def( "C", 0, { { 3, c.wanted, rxCLALLOWABSENT, {} } } );
		RxPipeline* const locked = LockedWith( a.Get(), b.Get(), w.Get() );
		RxPipeline* const pipeline = RxLockedPipeUnlock( locked );
		const RwError error = RwTestReadError();
		if ( c.error != 0 ) {
			EXPECT_EQ( pipeline, nullptr );
			EXPECT_EQ( error.pluginID, RXPLUGIN_PIPELINE );
			EXPECT_EQ( error.errorCode, c.error );
			EXPECT_EQ( locked->locked, 1u );
			continue;
		}
		ASSERT_NE( pipeline, nullptr );
		EXPECT_EQ( pipeline->packetNumClusterSlots, c.slots );
		EXPECT_EQ( pipeline->nodes[2].inputToClusterSlot[0] != RX_NO_SLOT, c.reachesC );
		ASSERT_EQ( pipeline->numInputRequirements, c.inputRequirements );
		if ( c.inputRequirements > 0 ) {
			EXPECT_EQ( pipeline->inputRequirements[0].clusterDef, &rxTestClusters[3] );
			EXPECT_EQ( pipeline->inputRequirements[0].rqdOrOpt, c.wanted );
			EXPECT_EQ( pipeline->inputRequirements[0].slotIndex, pipeline->nodes[0].inputToClusterSlot[0] );
		}
	}
}

TEST_F( RxPipelineUnlockTest, EliminatesAnOptionalClusterOnlyWhenNoInputDeliversIt ) {
	// A branches to B (drops W) and C (keeps W); both lead to D, which
	// wants W optionally: W still reaches D through C.
	RxTestDefinition& a = Def( "A", 2, {} );
	RxTestDefinition& dropper = Def( "B", 1, { { 4, rxCLREQ_DONTWANT, rxCLALLOWABSENT, { DROP } } } );
	RxTestDefinition& keeper = Def( "C", 1, {} );
	RxTestDefinition& d = Def( "D", 0, { { 4, rxCLREQ_OPTIONAL, rxCLALLOWABSENT, {} } } );
	RxPipeline* const pipeline = LockedWith( a.Get(), dropper.Get(), d.Get() );
	ASSERT_NE( RxLockedPipeAddFragment( pipeline, nullptr, keeper.Get() ), nullptr );
	Path( pipeline, 0, 1, 3 );
	Path( pipeline, 3, 0, 2 );
	ASSERT_EQ( RxLockedPipeUnlock( pipeline ), pipeline );
	const u32 dIndex = 3;
	ASSERT_STREQ( pipeline->nodes[dIndex].nodeDef->name, "D" );
	EXPECT_NE( pipeline->nodes[dIndex].inputToClusterSlot[0], RX_NO_SLOT );
	EXPECT_EQ( pipeline->numInputRequirements, 1u );
}

TEST_F( RxPipelineUnlockTest, ListsTheFirstNodesWantsByAscendingDefinitionAddress ) {
	const s32 clusters[] = { 7, 2, 9, 0, 5 };
	const u32 wants[] = { rxCLREQ_REQUIRED, rxCLREQ_OPTIONAL, rxCLREQ_DONTWANT, rxCLREQ_REQUIRED, rxCLREQ_OPTIONAL };
	std::vector<RxTestInterest> interests;
	for ( u32 i = 0; i < 5; i++ ) {
		interests.push_back( { clusters[i], wants[i], i == 2 ? rxCLFORCEPRESENT : rxCLALLOWABSENT, {} } );
	}
	RxTestDefinition& a = Def( "A", 0, interests );
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( a.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	ASSERT_EQ( pipeline->numInputRequirements, 4u );
	for ( u32 i = 0; i < 4; i++ ) {
		const RxPipelineRequiresCluster& requirement = pipeline->inputRequirements[i];
		if ( i > 0 ) {
			EXPECT_LT( reinterpret_cast<uintptr_t>( pipeline->inputRequirements[i - 1].clusterDef ),
					   reinterpret_cast<uintptr_t>( requirement.clusterDef ) );
		}
		const s32 c = static_cast<s32>( requirement.clusterDef - rxTestClusters );
		const u32 interest = static_cast<u32>( std::find( std::begin( clusters ), std::end( clusters ), c ) - clusters );
		EXPECT_EQ( requirement.rqdOrOpt, wants[interest] );
		EXPECT_EQ( requirement.slotIndex, pipeline->nodes[0].inputToClusterSlot[interest] );
	}
	// The forced-present cluster has a slot but is no requirement.
	EXPECT_EQ( pipeline->packetNumClusterSlots, 5u );
}

TEST_F( RxPipelineUnlockTest, RefusesBadClustersOfInterest ) {
	struct Case {
		const char*						name;
		std::vector<RxTestInterest>		interests;
		u32								code;
	};
	const std::vector<Case> cases = {
		{ "null cluster", { { 1, rxCLREQ_OPTIONAL, 0, {} }, { -1, rxCLREQ_OPTIONAL, 0, {} } }, RXERR_NULL_CLUSTER },
		{ "listed twice", { { 1, rxCLREQ_OPTIONAL, 0, {} }, { 1, rxCLREQ_REQUIRED, 0, {} } }, RXERR_DUPLICATE_CLUSTER },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RxTestDefinition& a = Def( "A", 0, c.interests );
		RxPipeline* const pipeline = LockedWith( a.Get() );
		EXPECT_EQ( RxLockedPipeUnlock( pipeline ), nullptr );
		EXPECT_EQ( RwTestReadError().errorCode, c.code );
		EXPECT_EQ( pipeline->locked, 1u );
	}
}

TEST_F( RxPipelineUnlockTest, RefusesAGraphThatNeedsMoreSlotsThanANodeCanHold ) {
	// B requires 32 clusters that A passes on, and A requires one more.
	std::vector<RxTestInterest> wants;
	for ( s32 c = 1; c <= 32; c++ ) {
		wants.push_back( { c, rxCLREQ_REQUIRED, rxCLALLOWABSENT, {} } );
	}
	RxTestDefinition& a = Def( "A", 1, { { 0, rxCLREQ_REQUIRED, rxCLALLOWABSENT, { KEEP } } } );
	RxTestDefinition& b = Def( "B", 0, wants );
	RxPipeline* const pipeline = LockedWith( a.Get(), b.Get() );
	EXPECT_EQ( RxLockedPipeUnlock( pipeline ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, static_cast<u32>( RXERR_DEPENDENCY_MEMORY ) );
	EXPECT_EQ( pipeline->locked, 1u );

	// With 32 in all it fits.
	wants.pop_back();
	RxTestDefinition& fewer = Def( "B", 0, wants );
	RxPipeline* const fits = RxLockedPipeUnlock( LockedWith( a.Get(), fewer.Get() ) );
	ASSERT_NE( fits, nullptr );
	EXPECT_EQ( fits->packetNumClusterSlots, 32u );
}

TEST_F( RxPipelineUnlockTest, RollsBackNodeInitialisationOnAnyFailure ) {
	struct Case {
		const char*					name;
		RxTestFailures				failures;
		std::vector<std::string>	log;
	};
	const std::vector<Case> cases = {
		{ "definition init", { "B", "", "", "" }, { "init:C", "pinit:C", "init:B", "pterm:C", "term:C" } },
		{ "pipeline-node init", { "", "B", "", "" }, { "init:C", "pinit:C", "init:B", "pinit:B", "term:B", "pterm:C", "term:C" } },
		{ "config",
		  { "", "", "A", "" },
		  { "init:C", "pinit:C", "init:B", "pinit:B", "init:A", "pinit:A", "config:C", "config:B", "config:A", "pterm:A", "term:A",
			"pterm:B", "term:B", "pterm:C", "term:C" } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RxTestDefinition& a = Def( "A", 1, {} );
		RxTestDefinition& b = Def( "B", 1, {}, rxCLVALID_NOCHANGE, 24 );
		RxTestDefinition& w = Def( "C", 0, {} );
		RxPipeline* const pipeline = LockedWith( a.Get(), b.Get(), w.Get() );
		rxTestLog.clear();
		rxTestFailures = c.failures;
		EXPECT_EQ( RxLockedPipeUnlock( pipeline ), nullptr );
		EXPECT_EQ( rxTestLog, c.log );
		EXPECT_EQ( pipeline->locked, 1u );
		for ( RxTestDefinition* definition : { &a, &b, &w } ) {
			EXPECT_EQ( definition->Get()->useCount, 0 );
		}
		ASSERT_EQ( pipeline->numNodes, 3u );
		EXPECT_EQ( pipeline->nodes[0].outputs[0], 1u );
		EXPECT_EQ( pipeline->nodes[1].outputs[0], 2u );

		rxTestFailures = RxTestFailures{};
		ASSERT_EQ( RxLockedPipeUnlock( pipeline ), pipeline );
		EXPECT_EQ( a.Get()->useCount, 1 );
		EXPECT_EQ( RxPipelineExecute( pipeline, nullptr, false ), pipeline );
	}
}

TEST_F( RxPipelineUnlockTest, SharesADefinitionsInitialisationBetweenItsNodes ) {
	RxTestDefinition& shared = Def( "S", 1, {} );
	RxPipeline* const pipeline = RxLockedPipeUnlock( LockedWith( shared.Get(), shared.Get(), shared.Get() ) );
	ASSERT_NE( pipeline, nullptr );
	EXPECT_EQ( RxTestCount( "init:S" ), 1u );
	EXPECT_EQ( RxTestCount( "pinit:S" ), 3u );
	EXPECT_EQ( shared.Get()->useCount, 3 );
	ASSERT_EQ( RxPipelineLock( pipeline ), pipeline );
	EXPECT_EQ( RxTestCount( "term:S" ), 1u );
	EXPECT_EQ( RxTestCount( "pterm:S" ), 3u );
	EXPECT_EQ( shared.Get()->useCount, 0 );
}

}	// namespace
