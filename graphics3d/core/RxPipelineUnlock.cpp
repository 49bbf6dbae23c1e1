#include "graphics3d/core/RxPipelineUnlock.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RxDependencies.h"
#include "graphics3d/core/RxPipelineLayout.h"
#include "graphics3d/core/RxPipelineModule.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// Exchanges the nodes at positions i and j: records, output-area contents
// and sort records, each node keeping the areas of its position; every
// output naming one of them then names the other.
static void ExchangeNodes( RxPipeline* pipeline, const u32 i, const u32 j ) {
	RxPipelineNode* const a = &pipeline->nodes[i];
	RxPipelineNode* const b = &pipeline->nodes[j];
	std::swap( *a, *b );
	std::swap( a->outputs, b->outputs );
	std::swap( a->topSortData, b->topSortData );
	u32 outputs[RXNODEMAXOUTPUTS];
	std::memcpy( outputs, a->outputs, sizeof( outputs ) );
	std::memcpy( a->outputs, b->outputs, sizeof( outputs ) );
	std::memcpy( b->outputs, outputs, sizeof( outputs ) );
	std::swap( *a->topSortData, *b->topSortData );
	for ( u32 k = 0; k < pipeline->numNodes; k++ ) {
		RxPipelineNode* const node = &pipeline->nodes[k];
		for ( u32 o = 0; o < node->numOutputs; o++ ) {
			if ( node->outputs[o] == i ) {
				node->outputs[o] = j;
			} else if ( node->outputs[o] == j ) {
				node->outputs[o] = i;
			}
		}
	}
}

// Places node i at position *next, then each destination whose inputs have
// all been seen, depth first in output order.
static void PipelineTopSort( RxPipeline* pipeline, const u32 i, u32* next ) {
	const u32 position = *next;
	if ( i != position ) {
		ExchangeNodes( pipeline, i, position );
	}
	( *next )++;
	RxPipelineNode* const node = &pipeline->nodes[position];
	for ( u32 o = 0; o < node->numOutputs; o++ ) {
		const u32 d = node->outputs[o];
		if ( d >= pipeline->numNodes ) {
			continue;
		}
		RxPipelineNodeTopSortData* const sort = pipeline->nodes[d].topSortData;
		sort->numInsVisited++;
		if ( sort->numInsVisited == sort->numIns ) {
			PipelineTopSort( pipeline, d, next );
		}
	}
}

static u32 PipelineUnlockTopSort( RxPipeline* pipeline ) {
	const u32 n = pipeline->numNodes;
	for ( u32 i = 0; i < n; i++ ) {
		std::memset( pipeline->nodes[i].topSortData, 0, sizeof( RxPipelineNodeTopSortData ) );
	}
	for ( u32 i = 0; i < n; i++ ) {
		const RxPipelineNode* const node = &pipeline->nodes[i];
		for ( u32 o = 0; o < node->numOutputs; o++ ) {
			if ( node->outputs[o] < n ) {
				pipeline->nodes[node->outputs[o]].topSortData->numIns++;
			}
		}
	}
	if ( pipeline->nodes[pipeline->entryPoint].topSortData->numIns != 0 ) {
		return RXERR_BAD_ENTRY_POINT;
	}
	for ( u32 i = 0; i < n; i++ ) {
		if ( i != pipeline->entryPoint && pipeline->nodes[i].topSortData->numIns == 0 ) {
			return RXERR_NODE_WITHOUT_INPUT;
		}
	}
	u32 next = 0;
	const u32 entry = pipeline->entryPoint;
	// The entry node goes to position 0 first; the entry point follows it
	// at once so that a failed sort leaves the graph consistent.
	pipeline->entryPoint = 0;
	PipelineTopSort( pipeline, entry, &next );
	for ( u32 i = 0; i < n; i++ ) {
		const RxPipelineNodeTopSortData* const sort = pipeline->nodes[i].topSortData;
		if ( sort->numInsVisited != sort->numIns ) {
			return RXERR_UNSORTED_NODES;
		}
	}
	return 0;
}

// Sort records to the top of the block (last node highest), outputs packed
// after the node records; the two allocation ends between them.
static void CompactForUnlock( RxPipeline* pipeline ) {
	const u32 n = pipeline->numNodes;
	u8* const block = static_cast<u8*>( pipeline->superBlock );
	RxPipelineNodeTopSortData* const top =
		reinterpret_cast<RxPipelineNodeTopSortData*>( block + pipeline->superBlockSize - n * sizeof( RxPipelineNodeTopSortData ) );
	std::memmove( top, _rxLockedSortRecord( pipeline, 0 ), n * sizeof( RxPipelineNodeTopSortData ) );
	u32* packed = reinterpret_cast<u32*>( block + n * sizeof( RxPipelineNode ) );
	for ( u32 i = 0; i < n; i++ ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		node->topSortData = &top[i];
		if ( node->numOutputs == 0 ) {
			node->outputs = nullptr;
			continue;
		}
		std::memmove( packed, node->outputs, node->numOutputs * sizeof( u32 ) );
		node->outputs = packed;
		packed += node->numOutputs;
	}
	const u32 bottom = RxRoundUp8( static_cast<u64>( reinterpret_cast<u8*>( packed ) - block ) );
	_rxStalacSetBounds( block + bottom, reinterpret_cast<u8*>( top ) );
}

// The last resort when the block cannot grow back to the locked layout:
// the nodes go and the pipeline starts again empty.
static void DropNodes( RxPipeline* pipeline ) {
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		RwEngineInstance->memoryFunctions.rwfree( node->initializationData );
		if ( RxNodeDefinition* const definition = node->nodeDef ) {
			definition->nodeRecordCount--;
			if ( definition->editable == rxNODEDEFEDITABLE && definition->useCount == 0 && definition->nodeRecordCount == 0 ) {
				RwEngineInstance->memoryFunctions.rwfree( definition );
			}
		}
	}
	RwEngineInstance->memoryFunctions.rwfree( pipeline->superBlock );
	pipeline->superBlock = nullptr;
	pipeline->superBlockSize = 0;
	pipeline->nodes = nullptr;
	pipeline->numNodes = 0;
	pipeline->entryPoint = 0;
	pipeline->embeddedPacket = nullptr;
	pipeline->inputRequirements = nullptr;
	pipeline->numInputRequirements = 0;
	pipeline->packetNumClusterSlots = 0;
	pipeline->locked = 0;
}

// Back to the locked layout after a failure.
static void RestoreLockedLayout( RxPipeline* pipeline ) {
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		pipeline->nodes[i].topSortData = nullptr;
	}
	if ( pipeline->superBlockSize < _rxPipelineLockedSize() &&
		 !ReallocAndFixupSuperBlock( pipeline, _rxPipelineLockedSize() ) ) {
		DropNodes( pipeline );
		return;
	}
	LockPipelineExpandData( pipeline );
}

// Definition init at a use count of 0, then pipeline-node init, from the
// last node to the first; then every node's config. On failure every node
// initialised here is terminated again.
static bool InitialiseNodes( RxPipeline* pipeline ) {
	const u32 n = pipeline->numNodes;
	u32 firstInitialised = n;
	bool failed = false;
	for ( u32 i = n; i-- > 0; ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		RxNodeDefinition* const definition = node->nodeDef;
		definition->useCount++;
		if ( definition->useCount == 1 && definition->nodeInit != nullptr && !definition->nodeInit( definition ) ) {
			definition->useCount--;
			failed = true;
			break;
		}
		if ( definition->pipelineNodeInit != nullptr && !definition->pipelineNodeInit( node ) ) {
			definition->useCount--;
			if ( definition->useCount == 0 && definition->nodeTerm != nullptr ) {
				definition->nodeTerm( definition );
			}
			failed = true;
			break;
		}
		firstInitialised = i;
	}
	for ( u32 i = n; !failed && i-- > 0; ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		if ( node->nodeDef->pipelineNodeConfig != nullptr && !node->nodeDef->pipelineNodeConfig( node, pipeline ) ) {
			failed = true;
		}
	}
	if ( !failed ) {
		return true;
	}
	for ( u32 i = firstInitialised; i < n; i++ ) {
		_rxPipelineNodeTerm( &pipeline->nodes[i] );
	}
	return false;
}

RxPipeline* RxLockedPipeUnlock( RxPipeline* pipeline ) {
	if ( pipeline == nullptr ) {
		_rxPipelineError( RWERR_NULL_ARGUMENT );
		return nullptr;
	}
	if ( !pipeline->locked ) {
		_rxPipelineError( RXERR_NOT_LOCKED );
		return nullptr;
	}
	if ( pipeline->numNodes == 0 ) {
		pipeline->locked = 0;
		return pipeline;
	}
	if ( pipeline->entryPoint >= pipeline->numNodes || pipeline->nodes[pipeline->entryPoint].nodeDef == nullptr ) {
		_rxPipelineError( RXERR_BAD_ENTRY_POINT );
		return nullptr;
	}
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		if ( pipeline->nodes[i].nodeDef == nullptr ) {
			_rxPipelineError( RWERR_NULL_ARGUMENT );
			return nullptr;
		}
	}
	const u32 numUnique = PipelineCalcNumUniqueClusters( pipeline );
	const u64 bound = std::max<u64>( _rxPipelineLockedSize(), _rxUnlockBound( pipeline, numUnique ) );
	if ( bound > UINT32_MAX ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, UINT32_MAX ) );
		return nullptr;
	}
	if ( pipeline->superBlockSize < bound && !ReallocAndFixupSuperBlock( pipeline, static_cast<u32>( bound ) ) ) {
		return nullptr;
	}

	if ( const u32 error = PipelineUnlockTopSort( pipeline ) ) {
		_rxPipelineError( error );
		RestoreLockedLayout( pipeline );
		return nullptr;
	}
	CompactForUnlock( pipeline );
	if ( _rxChaseDependencies( pipeline, numUnique ) != 0 ) {
		RestoreLockedLayout( pipeline );
		return nullptr;
	}

	// Only what was kept stays; the temporaries at the top go with the
	// sort records.
	const u32 kept = static_cast<u32>( _rxStalacBottom() - static_cast<u8*>( pipeline->superBlock ) );
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		pipeline->nodes[i].topSortData = nullptr;
	}
	ReallocAndFixupSuperBlock( pipeline, kept );

	if ( !InitialiseNodes( pipeline ) ) {
		RestoreLockedLayout( pipeline );
		return nullptr;
	}
	pipeline->locked = 0;
	return pipeline;
}
