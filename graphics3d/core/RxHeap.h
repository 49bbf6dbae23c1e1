/*
===============================================================================

	Scratch heap of the pipelines.

	A heap is a chain of super blocks, each laid out as an opening header,
	blocks with their headers, and a closing header linked to the next
	super block's opening one. Free blocks are listed in a table that grows
	by 32 entries; a block is free exactly when its header points at its
	table entry. Freeing merges a block with free neighbours, so two free
	blocks are never adjacent. A reset lays every super block out again as
	one free block; it clears the dirty flag, which creation sets.

	This system never allocates from the heap: packets hand their cluster
	data back to it, and executing a pipeline may reset it.

===============================================================================
*/
#ifndef RX_HEAP_H
#define RX_HEAP_H

#include "datatypes/base/DTTypes.h"

struct rxHeapFreeBlock;
struct rxHeapSuperBlockDescriptor;

// In front of every block.
struct rxHeapBlockHeader {
	rxHeapBlockHeader*	prev;
	rxHeapBlockHeader*	next;
	u32					size;			// bytes of the block's data
	rxHeapFreeBlock*	freeEntry;		// null: block in use
	u32					pad[4];
};

// One entry of the free-block table.
struct rxHeapFreeBlock {
	u32					size;
	rxHeapBlockHeader*	ptr;
};

// At the front of every super block's allocation.
struct rxHeapSuperBlockDescriptor {
	void*						start;	// the allocation + the descriptor, rounded up to 128
	u32							size;
	rxHeapSuperBlockDescriptor*	next;
};

struct RxHeap {
	u32							superBlockSize;
	rxHeapSuperBlockDescriptor*	head;
	rxHeapBlockHeader*			headBlock;
	rxHeapFreeBlock*			freeBlocks;
	u32							entriesAlloced;
	u32							entriesUsed;
	u32							dirty;
};

// Free-table entries added at a time, and the alignment of a super block's start.
constexpr u32 RXHEAP_TABLE_GROWTH		= 32;
constexpr u32 RXHEAP_SUPERBLOCK_ALIGN	= 128;

// A heap of one super block of size bytes (at least three headers' worth),
// reset and ready; null when an allocation fails or the size is unusable.
RxHeap*	RxHeapCreate( u32 size );
// Frees the table, every super block and the record; null is ignored.
void	RxHeapDestroy( RxHeap* heap );
// Lays every super block out as one free block. False when the free table
// cannot take an entry.
bool	_rxHeapReset( RxHeap* heap );
// Frees a block of this heap, merging it with free neighbours. Null, a
// block outside the heap's super blocks and a block already free are ignored.
void	RxHeapFree( RxHeap* heap, void* block );

#endif
