/*
===============================================================================

	Arena heap of the resource arena.

	One block of memory holds the heap record at its start and then a chain
	of 32-byte block headers, each followed by its payload (a multiple of
	32 bytes). Allocation is best fit, scanning from the lowest block that
	may be free; the first of equal sizes wins. A chosen block is split
	only when it is more than 64 bytes too big, so tiny free fragments do
	not build up. Freeing merges the block with free neighbours on both
	sides; two free blocks are therefore never adjacent.

===============================================================================
*/
#ifndef RW_RES_HEAP_H
#define RW_RES_HEAP_H

#include "datatypes/base/DTTypes.h"

struct RwResHeap;

struct RwResHeapBlockHeader {
	RwResHeap*				ptrHeap;
	RwResHeapBlockHeader*	next;
	RwResHeapBlockHeader*	prev;
	u32						size;		// payload bytes, a multiple of 32
	u32						flags;		// RWRESHEAP_BLOCK_USED
};

static_assert( sizeof( RwResHeapBlockHeader ) == 32, "the arena block header must stay 32 bytes" );

struct RwResHeap {
	RwResHeapBlockHeader*	firstBlock;
	RwResHeapBlockHeader*	freeBlocks;	// lowest block that may be free, null when none is
};

constexpr u32 RWRESHEAP_BLOCK_USED		= 0x1;
constexpr u32 RWRESHEAP_GRANULARITY		= 32;
// A block is split only when it is more than this many bytes too big.
constexpr u32 RWRESHEAP_SPLIT_THRESHOLD	= 64;

// Lays the heap over size bytes at memory. False when no block of at least
// 32 payload bytes fits.
bool	_rwResHeapInit( void* memory, u32 size );
// Payload of at least size bytes, or null when no free block fits (also
// for sizes so large that rounding them would wrap).
void*	_rwResHeapAlloc( RwResHeap* heap, u32 size );
// Frees a payload from _rwResHeapAlloc; null is ignored.
void	_rwResHeapFree( void* payload );
bool	_rwResHeapClose( RwResHeap* heap );

#endif
