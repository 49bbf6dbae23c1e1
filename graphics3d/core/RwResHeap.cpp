#include "graphics3d/core/RwResHeap.h"

#include <cstdint>

static u8* Payload( RwResHeapBlockHeader* header ) {
	return reinterpret_cast<u8*>( header ) + sizeof( RwResHeapBlockHeader );
}

static bool IsFree( const RwResHeapBlockHeader* header ) {
	return header != nullptr && !( header->flags & RWRESHEAP_BLOCK_USED );
}

bool _rwResHeapInit( void* memory, const u32 size ) {
	if ( memory == nullptr || size < sizeof( RwResHeap ) ) {
		return false;
	}
	const uintptr_t start = reinterpret_cast<uintptr_t>( memory );
	const uintptr_t end = start + size;
	const uintptr_t first = ( start + sizeof( RwResHeap ) + RWRESHEAP_GRANULARITY - 1 ) / RWRESHEAP_GRANULARITY * RWRESHEAP_GRANULARITY;
	if ( first >= end ) {
		return false;
	}
	const uintptr_t units = ( end - first ) / RWRESHEAP_GRANULARITY * RWRESHEAP_GRANULARITY;
	if ( units < sizeof( RwResHeapBlockHeader ) + RWRESHEAP_GRANULARITY ) {
		return false;
	}
	RwResHeap* const heap = static_cast<RwResHeap*>( memory );
	RwResHeapBlockHeader* const block = reinterpret_cast<RwResHeapBlockHeader*>( first );
	block->ptrHeap = heap;
	block->next = nullptr;
	block->prev = nullptr;
	block->size = static_cast<u32>( units - sizeof( RwResHeapBlockHeader ) );
	block->flags = 0;
	heap->firstBlock = block;
	heap->freeBlocks = block;
	return true;
}

void* _rwResHeapAlloc( RwResHeap* heap, const u32 size ) {
	if ( heap == nullptr || size > 0xFFFFFFFFu - ( RWRESHEAP_GRANULARITY - 1 ) ) {
		return nullptr;
	}
	const u32 need = ( size + RWRESHEAP_GRANULARITY - 1 ) / RWRESHEAP_GRANULARITY * RWRESHEAP_GRANULARITY;
	RwResHeapBlockHeader* best = nullptr;
	for ( RwResHeapBlockHeader* block = heap->freeBlocks; block != nullptr; block = block->next ) {
		if ( IsFree( block ) && block->size >= need && ( best == nullptr || block->size < best->size ) ) {
			best = block;
		}
	}
	if ( best == nullptr ) {
		return nullptr;
	}
	const u32 excess = best->size - need;
	if ( excess > RWRESHEAP_SPLIT_THRESHOLD ) {
		RwResHeapBlockHeader* const rest = reinterpret_cast<RwResHeapBlockHeader*>( Payload( best ) + need );
		RwResHeapBlockHeader* following = best->next;
		rest->ptrHeap = heap;
		rest->flags = 0;
		if ( IsFree( following ) ) {
			rest->size = excess + following->size;
			following = following->next;
		} else {
			rest->size = excess - static_cast<u32>( sizeof( RwResHeapBlockHeader ) );
		}
		rest->prev = best;
		rest->next = following;
		if ( following != nullptr ) {
			following->prev = rest;
		}
		best->next = rest;
		best->size = need;
	}
	best->flags |= RWRESHEAP_BLOCK_USED;
	if ( heap->freeBlocks == best ) {
		RwResHeapBlockHeader* lowest = best;
		while ( lowest != nullptr && !IsFree( lowest ) ) {
			lowest = lowest->next;
		}
		heap->freeBlocks = lowest;
	}
	return Payload( best );
}

static void MergeWithNext( RwResHeapBlockHeader* block ) {
	RwResHeapBlockHeader* const absorbed = block->next;
	block->size += absorbed->size + static_cast<u32>( sizeof( RwResHeapBlockHeader ) );
	block->next = absorbed->next;
	if ( absorbed->next != nullptr ) {
		absorbed->next->prev = block;
	}
}

void _rwResHeapFree( void* payload ) {
	if ( payload == nullptr ) {
		return;
	}
	RwResHeapBlockHeader* block = reinterpret_cast<RwResHeapBlockHeader*>( static_cast<u8*>( payload ) - sizeof( RwResHeapBlockHeader ) );
	RwResHeap* const heap = block->ptrHeap;
	block->flags &= ~RWRESHEAP_BLOCK_USED;
	if ( heap->freeBlocks == nullptr || heap->freeBlocks > block ) {
		heap->freeBlocks = block;
	}
	if ( IsFree( block->prev ) ) {
		block = block->prev;
		MergeWithNext( block );
	}
	if ( IsFree( block->next ) ) {
		MergeWithNext( block );
	}
	if ( heap->freeBlocks > block ) {
		heap->freeBlocks = block;
	}
}

bool _rwResHeapClose( RwResHeap* ) {
	return true;
}
