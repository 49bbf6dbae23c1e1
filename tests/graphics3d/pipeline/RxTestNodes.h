/*
===============================================================================

	Shared set-up of the pipeline tests.

	Brings the library up with memory functions whose reallocation always
	moves the block (the old one is scribbled over and freed), so that a
	pointer left behind by a super-block reallocation shows under the
	address sanitizer. Node definitions are built from a compact
	description; their callbacks log what they are called with. Cluster
	definitions live in one static array, so their address order is known.

===============================================================================
*/
#ifndef RX_TEST_NODES_H
#define RX_TEST_NODES_H

#include "graphics3d/core/RwTestEngine.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/core/RxPipelineUnlock.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Allocations with a size prefix so that reallocation can always move.
struct RxTestMemory {
	static inline u32				reallocCalls = 0;
	static inline std::vector<void*>	freed;
	static inline bool				failRealloc = false;

	static void Reset() {
		reallocCalls = 0;
		freed.clear();
		failRealloc = false;
	}
	static void* Malloc( const u32 size ) {
		u8* const block = static_cast<u8*>( std::malloc( size + 16u ) );
		std::memcpy( block, &size, sizeof( size ) );
		return block + 16;
	}
	static void Free( void* block ) {
		if ( block != nullptr ) {
			freed.push_back( block );
			std::free( static_cast<u8*>( block ) - 16 );
		}
	}
	static void* Realloc( void* block, const u32 size ) {
		reallocCalls++;
		if ( failRealloc ) {
			return nullptr;
		}
		void* const moved = Malloc( size );
		if ( block != nullptr ) {
			u32 old = 0;
			std::memcpy( &old, static_cast<u8*>( block ) - 16, sizeof( old ) );
			std::memcpy( moved, block, old < size ? old : size );
			std::memset( block, 0xDD, old );
			Free( block );
		}
		return moved;
	}
	static void* Calloc( const u32 count, const u32 size ) {
		void* const block = Malloc( count * size );
		std::memset( block, 0, count * size );
		return block;
	}
	static u32 TimesFreed( const void* block ) {
		u32 times = 0;
		for ( const void* f : freed ) {
			times += f == block;
		}
		return times;
	}
};

inline const RwMemoryFunctions rxTestMovingMemory = { RxTestMemory::Malloc, RxTestMemory::Free, RxTestMemory::Realloc,
													  RxTestMemory::Calloc };

// Cluster definitions, in ascending address order.
inline RxClusterDefinition rxTestClusters[40];

// Calls the callbacks saw, in order: "<kind>:<definition name>".
inline std::vector<std::string> rxTestLog;

// Behaviour switches of the logging callbacks, by definition name.
struct RxTestFailures {
	std::string	nodeInit;
	std::string	pipelineNodeInit;
	std::string	pipelineNodeConfig;
	std::string	body;
};
inline RxTestFailures rxTestFailures;

// What a body saw.
inline void*			rxTestBodyData = nullptr;
inline RxHeap*			rxTestBodyHeap = nullptr;
inline RxPipelineNode*	rxTestBodyNode = nullptr;

// Written into private data at pipeline-node init, checked at term.
constexpr u32 RX_TEST_PRIVATE_MAGIC = 0x5EA1ED00;

inline bool RxTestBody( RxPipelineNode* self, const RxPipelineNodeParam* params ) {
	rxTestLog.push_back( std::string( "body:" ) + self->nodeDef->name );
	rxTestBodyData = params->dataParam;
	rxTestBodyHeap = params->heap;
	rxTestBodyNode = self;
	return rxTestFailures.body != self->nodeDef->name;
}
inline bool RxTestNodeInit( RxNodeDefinition* self ) {
	rxTestLog.push_back( std::string( "init:" ) + self->name );
	return rxTestFailures.nodeInit != self->name;
}
inline void RxTestNodeTerm( RxNodeDefinition* self ) {
	rxTestLog.push_back( std::string( "term:" ) + self->name );
}
inline bool RxTestPipelineNodeInit( RxPipelineNode* self ) {
	rxTestLog.push_back( std::string( "pinit:" ) + self->nodeDef->name );
	if ( self->privateData != nullptr ) {
		*static_cast<u32*>( self->privateData ) = RX_TEST_PRIVATE_MAGIC;
	}
	return rxTestFailures.pipelineNodeInit != self->nodeDef->name;
}
inline void RxTestPipelineNodeTerm( RxPipelineNode* self ) {
	const bool intact = self->privateData == nullptr || *static_cast<u32*>( self->privateData ) == RX_TEST_PRIVATE_MAGIC;
	rxTestLog.push_back( std::string( intact ? "pterm:" : "pterm-corrupt:" ) + self->nodeDef->name );
}
inline bool RxTestPipelineNodeConfig( RxPipelineNode* self, RxPipeline* ) {
	rxTestLog.push_back( std::string( "config:" ) + self->nodeDef->name );
	return rxTestFailures.pipelineNodeConfig != self->nodeDef->name;
}

// One cluster of interest: the cluster's index in rxTestClusters, what
// the node asks of it, whether it is forced present, and its disposition
// on each output.
struct RxTestInterest {
	s32					cluster;	// -1: a null cluster definition
	u32					requirement;
	u32					forcePresent;
	std::vector<u32>	dispositions;
};

// A node definition and the arrays it points at.
class RxTestDefinition {
public:
	RxTestDefinition( const std::string& name, const u32 numOutputs, const std::vector<RxTestInterest>& interests,
					  const u32 allOthers = rxCLVALID_NOCHANGE, const u32 privateSize = 8 )
		: name( name ) {
		for ( const RxTestInterest& interest : interests ) {
			refs.push_back( { interest.cluster >= 0 ? &rxTestClusters[interest.cluster] : nullptr, interest.forcePresent, 0 } );
			requirements.push_back( interest.requirement );
		}
		dispositions.resize( numOutputs );
		for ( u32 o = 0; o < numOutputs; o++ ) {
			for ( const RxTestInterest& interest : interests ) {
				dispositions[o].push_back( o < interest.dispositions.size() ? interest.dispositions[o] : rxCLVALID_NOCHANGE );
			}
			outputs.push_back( { "out", dispositions[o].data(), allOthers } );
		}
		definition = RxNodeDefinition{};
		definition.name = this->name.c_str();
		definition.nodeBody = RxTestBody;
		definition.nodeInit = RxTestNodeInit;
		definition.nodeTerm = RxTestNodeTerm;
		definition.pipelineNodeInit = RxTestPipelineNodeInit;
		definition.pipelineNodeTerm = RxTestPipelineNodeTerm;
		definition.pipelineNodeConfig = RxTestPipelineNodeConfig;
		definition.numClustersOfInterest = static_cast<u32>( refs.size() );
		definition.clustersOfInterest = refs.empty() ? nullptr : refs.data();
		definition.inputRequirements = requirements.empty() ? nullptr : requirements.data();
		definition.numOutputs = numOutputs;
		definition.outputs = outputs.empty() ? nullptr : outputs.data();
		definition.pipelineNodePrivateDataSize = privateSize;
		definition.editable = rxNODEDEFCONST;
	}
	RxNodeDefinition* Get() { return &definition; }

private:
	std::string							name;
	std::vector<RxClusterRef>			refs;
	std::vector<u32>					requirements;
	std::vector<std::vector<u32>>		dispositions;
	std::vector<RxOutputSpec>			outputs;
	RxNodeDefinition					definition;
};

// An editable copy of a definition, allocated through the engine's hook.
inline RxNodeDefinition* RxTestEditableCopy( const RxNodeDefinition* definition ) {
	RxNodeDefinition* const copy = static_cast<RxNodeDefinition*>( RwEngineInstance->memoryFunctions.rwmalloc( sizeof( RxNodeDefinition ) ) );
	*copy = *definition;
	copy->editable = rxNODEDEFEDITABLE;
	copy->useCount = 0;
	copy->nodeRecordCount = 0;
	return copy;
}

inline u32 RxTestIndex( const RxPipeline* pipeline, const RxPipelineNode* node ) {
	return static_cast<u32>( node - pipeline->nodes );
}

inline u32 RxTestCount( const std::string& entry ) {
	u32 count = 0;
	for ( const std::string& logged : rxTestLog ) {
		count += logged == entry;
	}
	return count;
}

// Every pipeline test runs with the library started on moving memory.
class RxPipelineTestCase : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		RxTestMemory::Reset();
		rxTestLog.clear();
		rxTestFailures = RxTestFailures{};
		rxTestBodyData = nullptr;
		rxTestBodyHeap = nullptr;
		rxTestBodyNode = nullptr;
		ASSERT_TRUE( RwTestBringUp( &rxTestMovingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		RwTestReadError();
	}
	void TearDown() override {
		for ( RxPipeline* pipeline : pipelines ) {
			_rxPipelineDestroy( pipeline );
		}
		pipelines.clear();
		definitions.clear();
		RwTestCase::TearDown();
	}
	// A definition that outlives every pipeline of the test.
	RxTestDefinition& Def( const std::string& name, const u32 numOutputs, const std::vector<RxTestInterest>& interests,
						   const u32 allOthers = rxCLVALID_NOCHANGE, const u32 privateSize = 8 ) {
		definitions.push_back( std::make_unique<RxTestDefinition>( name, numOutputs, interests, allOthers, privateSize ) );
		return *definitions.back();
	}
	// A pipeline destroyed at tear-down.
	RxPipeline* NewPipeline() {
		RxPipeline* const pipeline = RxPipelineCreate();
		pipelines.push_back( pipeline );
		return pipeline;
	}
	void Forget( RxPipeline* pipeline ) {
		std::erase( pipelines, pipeline );
	}
	// Locks, adds one fragment of the definitions and returns the pipeline.
	template< typename... Definitions >
	RxPipeline* LockedWith( Definitions*... definitions ) {
		RxPipeline* const pipeline = RxPipelineLock( NewPipeline() );
		EXPECT_NE( pipeline, nullptr );
		if ( sizeof...( definitions ) > 0 ) {
			EXPECT_NE( RxLockedPipeAddFragment( pipeline, nullptr, definitions... ), nullptr );
		}
		return pipeline;
	}
	// Joins output o of node from to node to.
	static void Path( RxPipeline* pipeline, const u32 from, const u32 o, const u32 to ) {
		ASSERT_NE( RxLockedPipeAddPath( pipeline, &pipeline->nodes[from].outputs[o], &pipeline->nodes[to] ), nullptr );
	}

	std::vector<RxPipeline*>							pipelines;
	std::vector<std::unique_ptr<RxTestDefinition>>	definitions;
};

#endif
