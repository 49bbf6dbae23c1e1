#include "graphics3d/core/RxPipeline.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RxHeap.h"
#include "graphics3d/core/RxPipelineLayout.h"
#include "graphics3d/core/RxPipelineModule.h"

#include <cstdint>
#include <cstring>

RxExecutionContext _rxExecCtxGlobal;

static RwMemoryFunctions& Memory() {
	return ( RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals )->memoryFunctions;
}

// Frees an editable definition once no node record refers to it and no
// pipeline node of it is initialised.
static void FreeDefinitionIfUnused( RxNodeDefinition* definition ) {
	if ( definition != nullptr && definition->editable == rxNODEDEFEDITABLE && definition->useCount == 0 &&
		 definition->nodeRecordCount == 0 ) {
		Memory().rwfree( definition );
	}
}

void _rxPipelineNodeTerm( RxPipelineNode* node ) {
	RxNodeDefinition* const definition = node->nodeDef;
	if ( definition == nullptr ) {
		return;
	}
	if ( definition->pipelineNodeTerm != nullptr ) {
		definition->pipelineNodeTerm( node );
	}
	definition->useCount--;
	if ( definition->useCount == 0 && definition->nodeTerm != nullptr ) {
		definition->nodeTerm( definition );
	}
}

// Locked: the node leaves the arrays; later records, output areas and sort
// records move down and every output is renumbered. Unlocked: the node is
// terminated and its record zeroed in place.
void _rxPipelineNodeDestroy( RxPipelineNode* node, RxPipeline* pipeline ) {
	RxNodeDefinition* const definition = node->nodeDef;
	if ( !pipeline->locked ) {
		_rxPipelineNodeTerm( node );
	}
	Memory().rwfree( node->initializationData );
	if ( definition != nullptr ) {
		definition->nodeRecordCount--;
		FreeDefinitionIfUnused( definition );
	}
	if ( !pipeline->locked ) {
		std::memset( node, 0, sizeof( RxPipelineNode ) );
		pipeline->numNodes--;
		return;
	}

	const u32 removed = static_cast<u32>( node - pipeline->nodes );
	const u32 last = pipeline->numNodes - 1;
	for ( u32 i = removed; i < last; i++ ) {
		RxPipelineNode* const into = &pipeline->nodes[i];
		*into = pipeline->nodes[i + 1];
		into->outputs = _rxLockedOutputArea( pipeline, i );
		std::memcpy( into->outputs, _rxLockedOutputArea( pipeline, i + 1 ), RXNODEMAXOUTPUTS * sizeof( u32 ) );
		into->topSortData = _rxLockedSortRecord( pipeline, i );
		*into->topSortData = *_rxLockedSortRecord( pipeline, i + 1 );
	}
	std::memset( &pipeline->nodes[last], 0, sizeof( RxPipelineNode ) );
	pipeline->numNodes--;
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		RxPipelineNode* const other = &pipeline->nodes[i];
		for ( u32 o = 0; o < other->numOutputs; o++ ) {
			if ( other->outputs[o] == removed ) {
				other->outputs[o] = RX_NO_NODE;
			} else if ( other->outputs[o] != RX_NO_NODE && other->outputs[o] > removed ) {
				other->outputs[o]--;
			}
		}
	}
}

RxPipeline* RxPipelineCreate() {
	RxPipelineGlobals* const globals = _rxPipelineGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RxPipeline* const pipeline = static_cast<RxPipeline*>( RwEngineInstance->freeListAllocHook( globals->pipesFreeList ) );
	if ( pipeline == nullptr ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( sizeof( RxPipeline ) ) ) );
		return nullptr;
	}
	std::memset( pipeline, 0, sizeof( RxPipeline ) );
	return pipeline;
}

void _rxPipelineDestroy( RxPipeline* pipeline ) {
	if ( pipeline == nullptr ) {
		return;
	}
	// Last first, so that a locked pipeline moves no record.
	while ( pipeline->numNodes > 0 ) {
		_rxPipelineNodeDestroy( &pipeline->nodes[pipeline->numNodes - 1], pipeline );
	}
	Memory().rwfree( pipeline->superBlock );
	pipeline->superBlock = nullptr;
	if ( RxPipelineGlobals* const globals = _rxPipelineGlobals() ) {
		RwEngineInstance->freeListFreeHook( globals->pipesFreeList, pipeline );
	}
}

RxPipeline* RxPipelineLock( RxPipeline* pipeline ) {
	if ( pipeline == nullptr ) {
		_rxPipelineError( RWERR_NULL_ARGUMENT );
		return nullptr;
	}
	if ( pipeline->locked ) {
		return pipeline;
	}
	const u32 lockedSize = _rxPipelineLockedSize();
	if ( pipeline->numNodes == 0 && pipeline->superBlock == nullptr ) {
		void* const block = Memory().rwmalloc( lockedSize );
		if ( block == nullptr ) {
			_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, lockedSize ) );
			return nullptr;
		}
		std::memset( block, 0, lockedSize );
		pipeline->superBlock = block;
		pipeline->superBlockSize = lockedSize;
		pipeline->nodes = static_cast<RxPipelineNode*>( block );
		pipeline->locked = 1;
		return pipeline;
	}
	// A pipeline unlocked while empty keeps its block: taking a fresh one
	// would lose the old.
	if ( pipeline->superBlockSize < lockedSize && !ReallocAndFixupSuperBlock( pipeline, lockedSize ) ) {
		return nullptr;
	}
	pipeline->locked = 1;
	// Terms read private data, which the expansion below overwrites once
	// the compacted data reaches past the node records.
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		_rxPipelineNodeTerm( node );
		node->slotClusterRefs = nullptr;
	}
	LockPipelineExpandData( pipeline );
	return pipeline;
}

// Zeroes the record at index and makes it a node of the definition. The
// three limits are all checked and reported before refusing.
static bool _NodeCreate( RxPipeline* pipeline, const u32 index, RxNodeDefinition* definition ) {
	RxPipelineNode* const node = &pipeline->nodes[index];
	std::memset( node, 0, sizeof( RxPipelineNode ) );
	bool refused = false;
	if ( definition->numOutputs > RXNODEMAXOUTPUTS ) {
		_rxPipelineError( RXERR_TOO_MANY_OUTPUTS );
		refused = true;
	}
	if ( definition->numClustersOfInterest > RXNODEMAXCLUSTERSOFINTEREST ) {
		_rxPipelineError( RXERR_TOO_MANY_CLUSTERS );
		refused = true;
	}
	if ( definition->numOutputs >= _rxPipelineMaxNodesInForce() ) {
		_rxPipelineError( RXERR_TOO_MANY_NODES );
		refused = true;
	}
	if ( refused ) {
		return false;
	}
	node->outputs = _rxLockedOutputArea( pipeline, index );
	for ( u32 o = 0; o < RXNODEMAXOUTPUTS; o++ ) {
		node->outputs[o] = RX_NO_NODE;
	}
	node->topSortData = _rxLockedSortRecord( pipeline, index );
	std::memset( node->topSortData, 0, sizeof( RxPipelineNodeTopSortData ) );
	node->nodeDef = definition;
	node->numOutputs = definition->numOutputs;
	definition->nodeRecordCount++;
	pipeline->numNodes++;
	return true;
}

RxPipeline* _rxLockedPipeAddFragmentList( RxPipeline* pipeline, u32* firstIndex, RxNodeDefinition* const* definitions ) {
	if ( pipeline == nullptr ) {
		_rxPipelineError( RWERR_NULL_ARGUMENT );
		return nullptr;
	}
	if ( !pipeline->locked ) {
		_rxPipelineError( RXERR_NOT_LOCKED );
		return nullptr;
	}
	u32 count = 0;
	while ( definitions != nullptr && definitions[count] != nullptr ) {
		count++;
	}
	const u32 first = pipeline->numNodes;
	if ( static_cast<u64>( first ) + count > _rxPipelineMaxNodesInForce() ) {
		_rxPipelineError( RXERR_TOO_MANY_NODES );
		return nullptr;
	}
	for ( u32 i = 0; i < count; i++ ) {
		bool added = _NodeCreate( pipeline, first + i, definitions[i] );
		if ( added && i > 0 ) {
			RxPipelineNode* const previous = &pipeline->nodes[first + i - 1];
			u32* const slot = previous->nodeDef != nullptr && previous->numOutputs > 0 ? &previous->outputs[0] : nullptr;
			added = RxLockedPipeAddPath( pipeline, slot, &pipeline->nodes[first + i] ) != nullptr;
		}
		if ( !added ) {
			while ( pipeline->numNodes > first ) {
				_rxPipelineNodeDestroy( &pipeline->nodes[pipeline->numNodes - 1], pipeline );
			}
			return nullptr;
		}
	}
	if ( firstIndex != nullptr ) {
		*firstIndex = first;
	}
	return pipeline;
}

// True when slot is one of the connected-or-not outputs of a node here.
static bool IsOutputOfPipeline( const RxPipeline* pipeline, const u32* slot ) {
	const uintptr_t address = reinterpret_cast<uintptr_t>( slot );
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		const RxPipelineNode* const node = &pipeline->nodes[i];
		const uintptr_t begin = reinterpret_cast<uintptr_t>( node->outputs );
		const uintptr_t end = begin + node->numOutputs * sizeof( u32 );
		if ( node->outputs != nullptr && address >= begin && address < end && ( address - begin ) % sizeof( u32 ) == 0 ) {
			return true;
		}
	}
	return false;
}

RxPipeline* RxLockedPipeAddPath( RxPipeline* pipeline, u32* outputSlot, RxPipelineNode* dest ) {
	if ( pipeline == nullptr || !pipeline->locked || outputSlot == nullptr || dest == nullptr ) {
		return nullptr;
	}
	if ( !IsOutputOfPipeline( pipeline, outputSlot ) || *outputSlot != RX_NO_NODE ) {
		return nullptr;
	}
	const uintptr_t base = reinterpret_cast<uintptr_t>( pipeline->nodes );
	const uintptr_t address = reinterpret_cast<uintptr_t>( dest );
	if ( address < base || ( address - base ) % sizeof( RxPipelineNode ) != 0 ) {
		return nullptr;
	}
	const uintptr_t index = ( address - base ) / sizeof( RxPipelineNode );
	if ( index >= pipeline->numNodes || dest->nodeDef == nullptr ) {
		return nullptr;
	}
	*outputSlot = static_cast<u32>( index );
	return pipeline;
}

static s32 CompareNames( const char* a, const char* b ) {
	const RwGlobals* const instance = RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals;
	if ( instance->stringFunctions.rwstrcmp != nullptr ) {
		return instance->stringFunctions.rwstrcmp( a, b );
	}
	return std::strcmp( a, b );
}

RxPipelineNode* RxPipelineFindNodeByName( RxPipeline* pipeline, const char* name, RxPipelineNode* start, u32* countOut ) {
	if ( countOut != nullptr ) {
		*countOut = RX_NO_NODE;
	}
	if ( pipeline == nullptr || name == nullptr || pipeline->numNodes == 0 ) {
		return nullptr;
	}
	u32 from = 0;
	if ( start != nullptr ) {
		const uintptr_t base = reinterpret_cast<uintptr_t>( pipeline->nodes );
		const uintptr_t address = reinterpret_cast<uintptr_t>( start );
		if ( address < base || ( address - base ) % sizeof( RxPipelineNode ) != 0 ||
			 ( address - base ) / sizeof( RxPipelineNode ) >= pipeline->numNodes ) {
			return nullptr;	// not a node of this pipeline
		}
		from = static_cast<u32>( ( address - base ) / sizeof( RxPipelineNode ) ) + 1;
	}
	for ( u32 i = from; i < pipeline->numNodes; i++ ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		if ( node->nodeDef != nullptr && node->nodeDef->name != nullptr && CompareNames( node->nodeDef->name, name ) == 0 ) {
			if ( countOut != nullptr ) {
				*countOut = pipeline->numNodes - i;
			}
			return node;
		}
	}
	return nullptr;
}

RxPipeline* RxPipelineExecute( RxPipeline* pipeline, void* data, const bool heapReset ) {
	if ( pipeline == nullptr ) {
		_rxPipelineError( RWERR_NULL_ARGUMENT );
		return nullptr;
	}
	// A locked pipeline has no initialised nodes, an empty one none at all.
	if ( pipeline->locked || pipeline->numNodes == 0 ) {
		_rxPipelineError( RXERR_UNUSABLE_ARGUMENT );
		return nullptr;
	}
	RxHeap* const heap = RxHeapGetGlobalHeap();
	if ( heapReset && heap != nullptr && heap->dirty ) {
		_rxHeapReset( heap );
	}
	_rxExecCtxGlobal.pipeline = pipeline;
	_rxExecCtxGlobal.exitCode = 1;
	_rxExecCtxGlobal.params.dataParam = data;
	_rxExecCtxGlobal.params.heap = heap;
	pipeline->embeddedPacketState = rxPKST_PACKETLESS;

	RxPipelineNode* const entry = &pipeline->nodes[0];
	const RxNodeBodyFn body = entry->nodeDef != nullptr ? entry->nodeDef->nodeBody : nullptr;
	if ( body == nullptr || !body( entry, &_rxExecCtxGlobal.params ) ) {
		_rxExecCtxGlobal.exitCode = 0;
	}
	if ( pipeline->embeddedPacketState > rxPKST_UNUSED ) {
		pipeline->embeddedPacketState = rxPKST_INUSE;
		_rxPacketDestroy( pipeline->embeddedPacket );
	}
	const bool succeeded = _rxExecCtxGlobal.exitCode != 0;
	std::memset( &_rxExecCtxGlobal, 0, sizeof( _rxExecCtxGlobal ) );
	return succeeded ? pipeline : nullptr;
}

void _rxPacketDestroy( RxPacket* packet ) {
	if ( packet == nullptr ) {
		return;
	}
	if ( packet->pipeline != nullptr ) {
		packet->pipeline->embeddedPacketState = rxPKST_UNUSED;
	}
	RxCluster* const clusters = RxPacketClusters( packet );
	for ( u32 s = 0; s < packet->numClusters; s++ ) {
		RxCluster* const cluster = &clusters[s];
		if ( cluster->clusterRef == nullptr ) {
			continue;
		}
		if ( !( cluster->flags & RXCLUSTER_EXTERNAL ) && cluster->data != nullptr ) {
			RxHeapFree( RxHeapGetGlobalHeap(), cluster->data );
		}
		cluster->flags = 0;
		cluster->stride = 0;
		cluster->data = nullptr;
		cluster->numAlloced = 0;
		cluster->numUsed = 0;
		cluster->clusterRef = nullptr;
	}
	packet->flags = 0;
}
