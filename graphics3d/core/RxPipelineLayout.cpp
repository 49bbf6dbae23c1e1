#include "graphics3d/core/RxPipelineLayout.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RxPipelineModule.h"

#include <cstdint>
#include <cstring>

static constexpr u32 OUTPUT_AREA_BYTES = RXNODEMAXOUTPUTS * sizeof( u32 );

u32 _rxPipelineLockedSize() {
	return _rxPipelineMaxNodesInForce() *
		   static_cast<u32>( sizeof( RxPipelineNode ) + OUTPUT_AREA_BYTES + sizeof( RxPipelineNodeTopSortData ) );
}

u32* _rxLockedOutputArea( RxPipeline* pipeline, const u32 i ) {
	u8* const base = reinterpret_cast<u8*>( pipeline->nodes );
	const u32 maxNodes = _rxPipelineMaxNodesInForce();
	return reinterpret_cast<u32*>( base + maxNodes * sizeof( RxPipelineNode ) + i * OUTPUT_AREA_BYTES );
}

RxPipelineNodeTopSortData* _rxLockedSortRecord( RxPipeline* pipeline, const u32 i ) {
	u8* const base = reinterpret_cast<u8*>( pipeline->nodes );
	const u32 maxNodes = _rxPipelineMaxNodesInForce();
	return reinterpret_cast<RxPipelineNodeTopSortData*>(
		base + maxNodes * ( sizeof( RxPipelineNode ) + OUTPUT_AREA_BYTES ) + i * sizeof( RxPipelineNodeTopSortData ) );
}

// An interior pointer held as its offset from the block plus one, so that
// null stays null and an offset of 0 is not mistaken for it.
template< typename T >
static void ToOffset( T*& pointer, const uintptr_t base ) {
	if ( pointer != nullptr ) {
		pointer = reinterpret_cast<T*>( reinterpret_cast<uintptr_t>( pointer ) - base + 1 );
	}
}

template< typename T >
static void FromOffset( T*& pointer, u8* base ) {
	if ( pointer != nullptr ) {
		pointer = reinterpret_cast<T*>( base + ( reinterpret_cast<uintptr_t>( pointer ) - 1 ) );
	}
}

// Children before the pointers that lead to them.
static void PointersToOffsets( RxPipeline* pipeline, const uintptr_t base ) {
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		if ( node->slotClusterRefs != nullptr ) {
			for ( u32 s = 0; s < pipeline->packetNumClusterSlots; s++ ) {
				ToOffset( node->slotClusterRefs[s], base );
			}
		}
		if ( node->topSortData != nullptr ) {
			ToOffset( node->topSortData->req, base );
		}
		ToOffset( node->outputs, base );
		ToOffset( node->slotClusterRefs, base );
		ToOffset( node->slotsContinue, base );
		ToOffset( node->privateData, base );
		ToOffset( node->inputToClusterSlot, base );
		ToOffset( node->topSortData, base );
	}
	if ( pipeline->embeddedPacket != nullptr ) {
		RxCluster* const clusters = RxPacketClusters( pipeline->embeddedPacket );
		for ( u32 s = 0; s < pipeline->embeddedPacket->numClusters; s++ ) {
			ToOffset( clusters[s].clusterRef, base );
		}
	}
	ToOffset( pipeline->embeddedPacket, base );
	ToOffset( pipeline->inputRequirements, base );
	ToOffset( pipeline->nodes, base );
}

// Pointers before the children they lead to.
static void OffsetsToPointers( RxPipeline* pipeline, u8* base ) {
	FromOffset( pipeline->nodes, base );
	FromOffset( pipeline->embeddedPacket, base );
	FromOffset( pipeline->inputRequirements, base );
	if ( pipeline->embeddedPacket != nullptr ) {
		RxCluster* const clusters = RxPacketClusters( pipeline->embeddedPacket );
		for ( u32 s = 0; s < pipeline->embeddedPacket->numClusters; s++ ) {
			FromOffset( clusters[s].clusterRef, base );
		}
	}
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		FromOffset( node->outputs, base );
		FromOffset( node->slotClusterRefs, base );
		FromOffset( node->slotsContinue, base );
		FromOffset( node->privateData, base );
		FromOffset( node->inputToClusterSlot, base );
		FromOffset( node->topSortData, base );
		if ( node->topSortData != nullptr ) {
			FromOffset( node->topSortData->req, base );
		}
		if ( node->slotClusterRefs != nullptr ) {
			for ( u32 s = 0; s < pipeline->packetNumClusterSlots; s++ ) {
				FromOffset( node->slotClusterRefs[s], base );
			}
		}
	}
}

bool ReallocAndFixupSuperBlock( RxPipeline* pipeline, const u32 size ) {
	u8* const oldBlock = static_cast<u8*>( pipeline->superBlock );
	const uintptr_t oldBase = reinterpret_cast<uintptr_t>( oldBlock );
	if ( oldBlock != nullptr ) {
		PointersToOffsets( pipeline, oldBase );
	}
	u8* const newBlock = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwrealloc( oldBlock, size ) );
	if ( newBlock == nullptr ) {
		if ( oldBlock != nullptr ) {
			OffsetsToPointers( pipeline, oldBlock );
		}
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, size ) );
		return false;
	}
	pipeline->superBlock = newBlock;
	pipeline->superBlockSize = size;
	if ( oldBlock != nullptr ) {
		OffsetsToPointers( pipeline, newBlock );
	} else {
		pipeline->nodes = reinterpret_cast<RxPipelineNode*>( newBlock );
	}
	return true;
}

void LockPipelineExpandData( RxPipeline* pipeline ) {
	// Each output area lies at or above its node's packed outputs, so going
	// from the last node to the first never overwrites outputs still to move.
	for ( u32 i = pipeline->numNodes; i-- > 0; ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		u32* const area = _rxLockedOutputArea( pipeline, i );
		if ( node->outputs != nullptr && node->outputs != area && node->numOutputs > 0 ) {
			std::memmove( area, node->outputs, node->numOutputs * sizeof( u32 ) );
		}
		node->outputs = area;
	}
	for ( u32 i = 0; i < pipeline->numNodes; i++ ) {
		RxPipelineNode* const node = &pipeline->nodes[i];
		RxPipelineNodeTopSortData* const sort = _rxLockedSortRecord( pipeline, i );
		std::memset( sort, 0, sizeof( RxPipelineNodeTopSortData ) );
		node->topSortData = sort;
		node->slotClusterRefs = nullptr;
		node->slotsContinue = nullptr;
		node->privateData = nullptr;
		node->inputToClusterSlot = nullptr;
	}
	pipeline->embeddedPacket = nullptr;
	pipeline->inputRequirements = nullptr;
	pipeline->numInputRequirements = 0;
	pipeline->packetNumClusterSlots = 0;
}

static u8* stalacBottom = nullptr;
static u8* stalacTop = nullptr;

void _rxStalacSetBounds( u8* bottom, u8* top ) {
	stalacBottom = bottom;
	stalacTop = top;
}

u8* _rxStalacBottom() {
	return stalacBottom;
}

static bool StalacRoomFor( const u64 size ) {
	if ( static_cast<u64>( stalacTop - stalacBottom ) < size ) {
		_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, static_cast<u32>( size ) ) );
		return false;
	}
	return true;
}

void* StalacTiteAlloc( const u32 size ) {
	const u32 rounded = RxRoundUp8( size );
	if ( !StalacRoomFor( rounded ) ) {
		return nullptr;
	}
	stalacTop -= rounded;
	return stalacTop;
}

void* StalacMiteAlloc( const u32 size ) {
	const u32 rounded = RxRoundUp8( size );
	if ( !StalacRoomFor( rounded ) ) {
		return nullptr;
	}
	u8* const block = stalacBottom;
	stalacBottom += rounded;
	return block;
}
