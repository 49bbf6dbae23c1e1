/*
===============================================================================

	Free lists: pools of fixed-size entries carved from blocks.

	A block is its two list links, a usage bitmap (bit 0x80 >> (i mod 8) of
	byte i / 8 marks entry i), padding up to the alignment and then the
	entries. Allocation takes the first clear bit of the first block that
	has one, adding a block at the head of the list when all are full;
	entries are not cleared. With flag bit 1 a block whose entries are all
	free is released unless it is the list's only block.

	Free lists can be disabled (RwEngineInit flag bit 0, as this system
	runs): the engine's free-list hooks then allocate and free single
	entries of the list's entry size with the memory functions, creation
	preallocates nothing and RwFreeListForAllUsed visits nothing.

	Alignment 0 means 32; alignments below 8 become 8 so that entries keep
	pointers aligned on the host.

===============================================================================
*/
#ifndef RW_FREE_LIST_H
#define RW_FREE_LIST_H

#include "graphics3d/core/RwLinkList.h"

struct RwFreeList {
	u32			entrySize;			// the requested size rounded up to the alignment
	u32			entriesPerBlock;
	u32			heapSize;			// bitmap bytes per block
	u32			alignment;
	RwLinkList	blockList;
	u32			flags;
	RwLLLink	lFreeList;			// link in _freeListList
};

// Flag bits of RwFreeList.
constexpr u32 RWFREELIST_STATIC_RECORD		= 0x1;	// record in caller space, never freed
constexpr u32 RWFREELIST_RELEASE_EMPTY		= 0x2;	// release all-free blocks but the last

// Alignment used when 0 is asked for, and the smallest one kept.
constexpr u32 RWFREELIST_DEFAULT_ALIGNMENT	= 32;
constexpr u32 RWFREELIST_MIN_ALIGNMENT		= 8;

// The master list of free-list records.
constexpr u32 RWFREELIST_MASTER_ENTRIES		= 16;

typedef void ( *RwFreeListCallBack )( void* entry, void* data );

// Every free list created while the memory module is open, newest first.
extern RwLinkList	_freeListList;
// Free list of RwFreeList records; null while the memory module is closed.
extern RwFreeList*	_masterFreeListPtr;
// False when free lists are disabled.
extern bool			FreeListsEnabled;

// A list with one block preallocated (when free lists are enabled).
RwFreeList*	RwFreeListCreate( s32 entrySize, s32 entriesPerBlock, s32 alignment );
// A list with the given number of blocks preallocated (when enabled);
// with a non-null staticRecord the record lives there. Null on a failed
// allocation or for sizes that are not positive or do not fit 32 bits.
RwFreeList*	RwFreeListCreateAndPreallocateSpace( s32 entrySize, s32 entriesPerBlock, s32 alignment,
												 s32 blocksToPreallocate, RwFreeList* staticRecord );
// Frees every block and, unless static, the record. Returns true.
bool		RwFreeListDestroy( RwFreeList* freeList );
// Calls back for every used entry; works on a copy of each bitmap so the
// callback may free entries. Null when the copy cannot be allocated.
RwFreeList*	RwFreeListForAllUsed( RwFreeList* freeList, RwFreeListCallBack callback, void* data );

// The hooks while free lists are enabled.
void*		_rwFreeListAllocReal( RwFreeList* freeList );
// Null when the entry lies in no block of the list.
RwFreeList*	_rwFreeListFreeReal( RwFreeList* freeList, void* entry );

// The hooks while free lists are disabled: one plain allocation per entry.
void*		MallocWrapper( RwFreeList* freeList );
RwFreeList*	FreeWrapper( RwFreeList* freeList, void* entry );

void		_rwFreeListEnable( bool enable );

// Memory-module hooks: empty _freeListList and set up the master list;
// destroy every listed free list, then the master list.
bool		_rwFreeListsOpen();
void		_rwFreeListsClose();

#endif
