#include "graphics3d/core/RxHeap.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RxHeapTesting.h"

#include <cstdint>
#include <cstring>

static constexpr u32 HEADER = static_cast<u32>( sizeof( rxHeapBlockHeader ) );
static constexpr u32 DESCRIPTOR = static_cast<u32>( sizeof( rxHeapSuperBlockDescriptor ) );
static constexpr u32 BLOCK_ROUNDING = 8;

static RwMemoryFunctions& Memory() {
	return ( RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals )->memoryFunctions;
}

static void SetNoMemory( const u32 size ) {
	_rwErrorSetCore( _rwerror( RWERR_NO_MEMORY, size ) );
}

// A new free-table entry, growing the table when full. Entries that move
// get their headers re-pointed from the new table, never from the old one.
static rxHeapFreeBlock* HeapFreeBlocksNewEntry( RxHeap* heap ) {
	if ( heap->entriesUsed == heap->entriesAlloced ) {
		const u64 entries = static_cast<u64>( heap->entriesAlloced ) + RXHEAP_TABLE_GROWTH;
		const u64 bytes = entries * sizeof( rxHeapFreeBlock );
		if ( bytes > UINT32_MAX ) {
			SetNoMemory( UINT32_MAX );
			return nullptr;
		}
		rxHeapFreeBlock* const table = static_cast<rxHeapFreeBlock*>(
			Memory().rwrealloc( heap->freeBlocks, static_cast<u32>( bytes ) ) );
		if ( table == nullptr ) {
			SetNoMemory( static_cast<u32>( bytes ) );
			return nullptr;
		}
		heap->freeBlocks = table;
		heap->entriesAlloced = static_cast<u32>( entries );
		for ( u32 i = 0; i < heap->entriesUsed; i++ ) {
			table[i].ptr->freeEntry = &table[i];
		}
	}
	return &heap->freeBlocks[heap->entriesUsed++];
}

// Removes an entry; the last one moves into its place.
static void HeapFreeBlocksRemoveEntry( RxHeap* heap, rxHeapFreeBlock* entry ) {
	rxHeapFreeBlock* const last = &heap->freeBlocks[heap->entriesUsed - 1];
	if ( entry != last ) {
		*entry = *last;
		entry->ptr->freeEntry = entry;
	}
	heap->entriesUsed--;
}

static rxHeapBlockHeader* HeaderAt( void* start, const u32 offset ) {
	return reinterpret_cast<rxHeapBlockHeader*>( static_cast<u8*>( start ) + offset );
}

// Lays one super block out: opening header, one free block, closing
// header. previousClosing is the closing header of the super block before.
static bool HeapSuperBlockReset( RxHeap* heap, rxHeapSuperBlockDescriptor* superBlock,
								 rxHeapBlockHeader* previousClosing, rxHeapBlockHeader** closingOut ) {
	rxHeapBlockHeader* const opening = HeaderAt( superBlock->start, 0 );
	rxHeapBlockHeader* const block = HeaderAt( superBlock->start, HEADER );
	rxHeapBlockHeader* const closing = HeaderAt( superBlock->start, superBlock->size - HEADER );
	std::memset( opening, 0, HEADER );
	std::memset( block, 0, HEADER );
	std::memset( closing, 0, HEADER );

	opening->prev = previousClosing;
	opening->next = block;
	if ( previousClosing != nullptr ) {
		previousClosing->next = opening;
	}
	block->prev = opening;
	block->next = closing;
	block->size = superBlock->size - 3 * HEADER;
	closing->prev = block;
	*closingOut = closing;

	rxHeapFreeBlock* const entry = HeapFreeBlocksNewEntry( heap );
	if ( entry == nullptr ) {
		return false;
	}
	entry->size = block->size;
	entry->ptr = block;
	block->freeEntry = entry;
	return true;
}

bool _rxHeapReset( RxHeap* heap ) {
	if ( heap == nullptr ) {
		return false;
	}
	heap->entriesUsed = 0;
	rxHeapBlockHeader* closing = nullptr;
	for ( rxHeapSuperBlockDescriptor* superBlock = heap->head; superBlock != nullptr; superBlock = superBlock->next ) {
		if ( !HeapSuperBlockReset( heap, superBlock, closing, &closing ) ) {
			return false;
		}
	}
	heap->headBlock = heap->head != nullptr ? static_cast<rxHeapBlockHeader*>( heap->head->start ) : nullptr;
	heap->dirty = 0;
	return true;
}

RxHeap* RxHeapCreate( const u32 size ) {
	// Room for the opening, one block and the closing header; the
	// allocation adds the descriptor and the alignment slack.
	const u64 allocation = static_cast<u64>( size ) + DESCRIPTOR + RXHEAP_SUPERBLOCK_ALIGN - 1;
	if ( size < 3 * HEADER + BLOCK_ROUNDING || size % BLOCK_ROUNDING != 0 || allocation > UINT32_MAX ) {
		return nullptr;
	}
	RxHeap* const heap = static_cast<RxHeap*>( Memory().rwmalloc( sizeof( RxHeap ) ) );
	if ( heap == nullptr ) {
		SetNoMemory( sizeof( RxHeap ) );
		return nullptr;
	}
	u8* const memory = static_cast<u8*>( Memory().rwmalloc( static_cast<u32>( allocation ) ) );
	if ( memory == nullptr ) {
		SetNoMemory( static_cast<u32>( allocation ) );
		Memory().rwfree( heap );
		return nullptr;
	}
	rxHeapSuperBlockDescriptor* const superBlock = reinterpret_cast<rxHeapSuperBlockDescriptor*>( memory );
	const uintptr_t first = reinterpret_cast<uintptr_t>( memory ) + DESCRIPTOR;
	const uintptr_t aligned = ( first + RXHEAP_SUPERBLOCK_ALIGN - 1 ) & ~static_cast<uintptr_t>( RXHEAP_SUPERBLOCK_ALIGN - 1 );
	superBlock->start = memory + ( aligned - reinterpret_cast<uintptr_t>( memory ) );
	superBlock->size = size;
	superBlock->next = nullptr;

	std::memset( heap, 0, sizeof( RxHeap ) );
	heap->superBlockSize = size;
	heap->head = superBlock;
	heap->dirty = 1;
	if ( !_rxHeapReset( heap ) ) {
		RxHeapDestroy( heap );
		return nullptr;
	}
	return heap;
}

void RxHeapDestroy( RxHeap* heap ) {
	if ( heap == nullptr ) {
		return;
	}
	Memory().rwfree( heap->freeBlocks );
	rxHeapSuperBlockDescriptor* superBlock = heap->head;
	while ( superBlock != nullptr ) {
		rxHeapSuperBlockDescriptor* const next = superBlock->next;
		Memory().rwfree( superBlock );
		superBlock = next;
	}
	Memory().rwfree( heap );
}

// True when a block's data lies in one of the heap's super blocks, past
// its opening header and before its closing one.
static bool HeapOwnsBlock( const RxHeap* heap, const void* block ) {
	const uintptr_t address = reinterpret_cast<uintptr_t>( block );
	for ( const rxHeapSuperBlockDescriptor* superBlock = heap->head; superBlock != nullptr; superBlock = superBlock->next ) {
		const uintptr_t start = reinterpret_cast<uintptr_t>( superBlock->start );
		if ( address >= start + 2 * HEADER && address < start + superBlock->size - HEADER ) {
			return true;
		}
	}
	return false;
}

void RxHeapFree( RxHeap* heap, void* block ) {
	if ( heap == nullptr || block == nullptr || !HeapOwnsBlock( heap, block ) ) {
		return;
	}
	rxHeapBlockHeader* const header = reinterpret_cast<rxHeapBlockHeader*>( static_cast<u8*>( block ) - HEADER );
	if ( header->freeEntry != nullptr ) {
		return;
	}
	rxHeapBlockHeader* const prev = header->prev;
	rxHeapBlockHeader* const next = header->next;
	const bool prevFree = prev != nullptr && prev->freeEntry != nullptr;
	const bool nextFree = next != nullptr && next->freeEntry != nullptr;

	if ( prevFree && nextFree ) {
		HeapFreeBlocksRemoveEntry( heap, next->freeEntry );
		prev->size += header->size + next->size + 2 * HEADER;
		prev->next = next->next;
		if ( next->next != nullptr ) {
			next->next->prev = prev;
		}
		prev->freeEntry->size = prev->size;
	} else if ( prevFree ) {
		prev->size += header->size + HEADER;
		prev->next = next;
		if ( next != nullptr ) {
			next->prev = prev;
		}
		prev->freeEntry->size = prev->size;
	} else if ( nextFree ) {
		header->freeEntry = next->freeEntry;
		header->freeEntry->ptr = header;
		header->size += next->size + HEADER;
		header->next = next->next;
		if ( next->next != nullptr ) {
			next->next->prev = header;
		}
		header->freeEntry->size = header->size;
	} else {
		rxHeapFreeBlock* const entry = HeapFreeBlocksNewEntry( heap );
		if ( entry == nullptr ) {
			return;	// the block stays in use until the next reset
		}
		entry->size = header->size;
		entry->ptr = header;
		header->freeEntry = entry;
	}
}

void* _rxHeapAllocBestFitForTests( RxHeap* heap, const u32 size ) {
	if ( heap == nullptr || size > UINT32_MAX - BLOCK_ROUNDING ) {
		return nullptr;
	}
	const u32 need = ( size + BLOCK_ROUNDING - 1 ) & ~( BLOCK_ROUNDING - 1 );
	rxHeapFreeBlock* best = nullptr;
	for ( u32 i = 0; i < heap->entriesUsed; i++ ) {
		rxHeapFreeBlock* const entry = &heap->freeBlocks[i];
		if ( entry->size >= need && ( best == nullptr || entry->size < best->size ) ) {
			best = entry;
		}
	}
	if ( best == nullptr ) {
		return nullptr;
	}
	rxHeapBlockHeader* const header = best->ptr;
	if ( header->size - need >= HEADER + BLOCK_ROUNDING ) {
		rxHeapBlockHeader* const rest = HeaderAt( header, HEADER + need );
		std::memset( rest, 0, HEADER );
		rest->prev = header;
		rest->next = header->next;
		if ( header->next != nullptr ) {
			header->next->prev = rest;
		}
		rest->size = header->size - need - HEADER;
		rest->freeEntry = best;
		best->ptr = rest;
		best->size = rest->size;
		header->next = rest;
		header->size = need;
	} else {
		HeapFreeBlocksRemoveEntry( heap, best );
	}
	header->freeEntry = nullptr;
	heap->dirty = 1;
	return reinterpret_cast<u8*>( header ) + HEADER;
}
