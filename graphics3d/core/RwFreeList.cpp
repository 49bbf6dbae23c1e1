#include "graphics3d/core/RwFreeList.h"

#include "graphics3d/core/RwEngine.h"

#include <cstdint>
#include <cstring>

RwLinkList	_freeListList;
RwFreeList*	_masterFreeListPtr = nullptr;
bool		FreeListsEnabled = true;

// The master list's record lives here, never in the list itself.
static RwFreeList masterFreeList;

// While a walk's callbacks run, emptied blocks are not released: the
// callbacks may free entries of any block, and releasing a block under
// the walk would pull it from beneath its feet. The walk releases the
// block it visited once that block's callbacks are done.
static s32 freeListWalkDepth = 0;

static const u8 BITMAP_FULL_BYTE = 0xFF;

static RwGlobals* CurrentInstance() {
	return RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals;
}

static u8* BlockBitmap( RwLLLink* block ) {
	return reinterpret_cast<u8*>( block ) + sizeof( RwLLLink );
}

static u8* BlockFirstEntry( const RwFreeList* freeList, RwLLLink* block ) {
	const uintptr_t bitmapEnd = reinterpret_cast<uintptr_t>( BlockBitmap( block ) ) + freeList->heapSize;
	const uintptr_t aligned = ( bitmapEnd + freeList->alignment - 1 ) / freeList->alignment * freeList->alignment;
	return reinterpret_cast<u8*>( aligned );
}

// Sizes were checked to fit 32 bits when the list was created.
static u32 BlockBytes( const RwFreeList* freeList ) {
	return freeList->entriesPerBlock * freeList->entrySize + freeList->heapSize + static_cast<u32>( sizeof( RwLLLink ) ) +
		   freeList->alignment - 1;
}

static bool BlockIsEmpty( const RwFreeList* freeList, RwLLLink* block ) {
	const u8* const bitmap = BlockBitmap( block );
	for ( u32 i = 0; i < freeList->heapSize; i++ ) {
		if ( bitmap[i] != 0 ) {
			return false;
		}
	}
	return true;
}

static bool IsOnlyBlock( RwFreeList* freeList ) {
	return rwLinkListGetFirst( &freeList->blockList ) == rwLinkListGetLast( &freeList->blockList );
}

static RwLLLink* AddBlock( RwFreeList* freeList ) {
	// Before the memory module has installed the functions there is
	// nothing to allocate with.
	const RwMemoryFunctions* const memory = &CurrentInstance()->memoryFunctions;
	if ( memory->rwmalloc == nullptr ) {
		return nullptr;
	}
	RwLLLink* const block = static_cast<RwLLLink*>( memory->rwmalloc( BlockBytes( freeList ) ) );
	if ( block == nullptr ) {
		return nullptr;
	}
	std::memset( BlockBitmap( block ), 0, freeList->heapSize );
	rwLinkListAddLLLink( &freeList->blockList, block );
	return block;
}

static void ReleaseBlock( RwLLLink* block ) {
	rwLinkListRemoveLLLink( block );
	CurrentInstance()->memoryFunctions.rwfree( block );
}

// Fills a record; false for sizes that are not positive or whose block
// would not fit in 32 bits.
static bool FillRecord( RwFreeList* freeList, const s32 entrySize, const s32 entriesPerBlock, const s32 alignment ) {
	if ( entrySize <= 0 || entriesPerBlock <= 0 || alignment < 0 ) {
		return false;
	}
	u64 align = alignment == 0 ? RWFREELIST_DEFAULT_ALIGNMENT : static_cast<u64>( alignment );
	if ( align < RWFREELIST_MIN_ALIGNMENT ) {
		align = RWFREELIST_MIN_ALIGNMENT;
	}
	const u64 roundedEntry = ( static_cast<u64>( entrySize ) + align - 1 ) / align * align;
	const u64 bitmapBytes = ( static_cast<u64>( entriesPerBlock ) + 7 ) / 8;
	const u64 blockBytes = roundedEntry * static_cast<u64>( entriesPerBlock ) + bitmapBytes + sizeof( RwLLLink ) + align - 1;
	if ( blockBytes > 0xFFFFFFFFu ) {
		return false;
	}
	freeList->entrySize = static_cast<u32>( roundedEntry );
	freeList->entriesPerBlock = static_cast<u32>( entriesPerBlock );
	freeList->heapSize = static_cast<u32>( bitmapBytes );
	freeList->alignment = static_cast<u32>( align );
	rwLinkListInitialize( &freeList->blockList );
	freeList->lFreeList.next = nullptr;
	freeList->lFreeList.prev = nullptr;
	return true;
}

RwFreeList* RwFreeListCreate( const s32 entrySize, const s32 entriesPerBlock, const s32 alignment ) {
	return RwFreeListCreateAndPreallocateSpace( entrySize, entriesPerBlock, alignment, 1, nullptr );
}

RwFreeList* RwFreeListCreateAndPreallocateSpace( const s32 entrySize, const s32 entriesPerBlock, const s32 alignment,
												 const s32 blocksToPreallocate, RwFreeList* staticRecord ) {
	RwFreeList probe;
	if ( blocksToPreallocate < 0 || !FillRecord( &probe, entrySize, entriesPerBlock, alignment ) ) {
		return nullptr;
	}
	RwGlobals* const instance = CurrentInstance();
	RwFreeList* freeList = staticRecord;
	if ( freeList == nullptr ) {
		if ( _masterFreeListPtr != nullptr ) {
			freeList = static_cast<RwFreeList*>( instance->freeListAllocHook( _masterFreeListPtr ) );
		} else if ( instance->memoryFunctions.rwmalloc != nullptr ) {
			freeList = static_cast<RwFreeList*>( instance->memoryFunctions.rwmalloc( sizeof( RwFreeList ) ) );
		}
		if ( freeList == nullptr ) {
			return nullptr;
		}
	}
	*freeList = probe;
	rwLinkListInitialize( &freeList->blockList );
	freeList->flags = staticRecord != nullptr ? ( RWFREELIST_STATIC_RECORD | RWFREELIST_RELEASE_EMPTY ) : RWFREELIST_RELEASE_EMPTY;
	if ( _masterFreeListPtr != nullptr ) {
		rwLinkListAddLLLink( &_freeListList, &freeList->lFreeList );
	}
	if ( FreeListsEnabled ) {
		for ( s32 i = 0; i < blocksToPreallocate; i++ ) {
			if ( AddBlock( freeList ) == nullptr ) {
				RwFreeListDestroy( freeList );
				return nullptr;
			}
		}
	}
	return freeList;
}

bool RwFreeListDestroy( RwFreeList* freeList ) {
	if ( freeList == nullptr ) {
		return false;
	}
	if ( freeList->lFreeList.next != nullptr ) {
		rwLinkListRemoveLLLink( &freeList->lFreeList );
	}
	while ( !rwLinkListEmpty( &freeList->blockList ) ) {
		ReleaseBlock( rwLinkListGetFirst( &freeList->blockList ) );
	}
	if ( freeList->flags & RWFREELIST_STATIC_RECORD ) {
		return true;
	}
	RwGlobals* const instance = CurrentInstance();
	if ( _masterFreeListPtr != nullptr && _masterFreeListPtr != freeList ) {
		instance->freeListFreeHook( _masterFreeListPtr, freeList );
	} else {
		instance->memoryFunctions.rwfree( freeList );
	}
	return true;
}

static bool CopyHasEntries( const u8* copy, const u32 bytes ) {
	for ( u32 i = 0; i < bytes; i++ ) {
		if ( copy[i] != 0 ) {
			return true;
		}
	}
	return false;
}

RwFreeList* RwFreeListForAllUsed( RwFreeList* freeList, const RwFreeListCallBack callback, void* data ) {
	if ( freeList == nullptr || callback == nullptr ) {
		return nullptr;
	}
	RwGlobals* const instance = CurrentInstance();
	u8* const copy = static_cast<u8*>( instance->memoryFunctions.rwmalloc( freeList->heapSize ) );
	if ( copy == nullptr ) {
		return nullptr;
	}
	RwLLLink* block = rwLinkListGetFirst( &freeList->blockList );
	while ( block != rwLinkListGetTerminator( &freeList->blockList ) ) {
		std::memcpy( copy, BlockBitmap( block ), freeList->heapSize );
		u8* const firstEntry = BlockFirstEntry( freeList, block );
		freeListWalkDepth++;
		for ( u32 entry = 0; entry < freeList->entriesPerBlock; entry++ ) {
			if ( copy[entry / 8] & ( 0x80 >> ( entry % 8 ) ) ) {
				callback( firstEntry + entry * freeList->entrySize, data );
			}
		}
		freeListWalkDepth--;
		// A block the callbacks emptied is released now that nothing of
		// the walk refers to it any more.
		RwLLLink* const next = block->next;
		if ( freeListWalkDepth == 0 && ( freeList->flags & RWFREELIST_RELEASE_EMPTY ) && CopyHasEntries( copy, freeList->heapSize ) &&
			 BlockIsEmpty( freeList, block ) && !IsOnlyBlock( freeList ) ) {
			ReleaseBlock( block );
		}
		block = next;
	}
	instance->memoryFunctions.rwfree( copy );
	return freeList;
}

void* _rwFreeListAllocReal( RwFreeList* freeList ) {
	for ( RwLLLink* block = rwLinkListGetFirst( &freeList->blockList ); block != rwLinkListGetTerminator( &freeList->blockList );
		  block = block->next ) {
		u8* const bitmap = BlockBitmap( block );
		for ( u32 byteIndex = 0; byteIndex < freeList->heapSize; byteIndex++ ) {
			if ( bitmap[byteIndex] == BITMAP_FULL_BYTE ) {
				continue;
			}
			// The last byte may cover fewer than eight entries.
			for ( u32 bit = 0; bit < 8; bit++ ) {
				const u32 entry = byteIndex * 8 + bit;
				if ( entry >= freeList->entriesPerBlock ) {
					break;
				}
				const u8 mask = static_cast<u8>( 0x80 >> bit );
				if ( !( bitmap[byteIndex] & mask ) ) {
					bitmap[byteIndex] |= mask;
					return BlockFirstEntry( freeList, block ) + entry * freeList->entrySize;
				}
			}
		}
	}
	RwLLLink* const block = AddBlock( freeList );
	if ( block == nullptr ) {
		return nullptr;
	}
	BlockBitmap( block )[0] = 0x80;
	return BlockFirstEntry( freeList, block );
}

RwFreeList* _rwFreeListFreeReal( RwFreeList* freeList, void* entry ) {
	const uintptr_t address = reinterpret_cast<uintptr_t>( entry );
	for ( RwLLLink* block = rwLinkListGetFirst( &freeList->blockList ); block != rwLinkListGetTerminator( &freeList->blockList );
		  block = block->next ) {
		const uintptr_t first = reinterpret_cast<uintptr_t>( BlockFirstEntry( freeList, block ) );
		const uintptr_t end = first + static_cast<uintptr_t>( freeList->entriesPerBlock ) * freeList->entrySize;
		if ( address < first || address >= end ) {
			continue;
		}
		// An address inside an entry names no entry: clearing the bit of
		// the entry it falls in would hand that entry out twice.
		if ( ( address - first ) % freeList->entrySize != 0 ) {
			return nullptr;
		}
		const u32 index = static_cast<u32>( ( address - first ) / freeList->entrySize );
		BlockBitmap( block )[index / 8] &= static_cast<u8>( ~( 0x80 >> ( index % 8 ) ) );
		if ( ( freeList->flags & RWFREELIST_RELEASE_EMPTY ) && freeListWalkDepth == 0 && BlockIsEmpty( freeList, block ) &&
			 !IsOnlyBlock( freeList ) ) {
			ReleaseBlock( block );
		}
		return freeList;
	}
	return nullptr;
}

void* MallocWrapper( RwFreeList* freeList ) {
	return CurrentInstance()->memoryFunctions.rwmalloc( freeList->entrySize );
}

RwFreeList* FreeWrapper( RwFreeList* freeList, void* entry ) {
	CurrentInstance()->memoryFunctions.rwfree( entry );
	return freeList;
}

void _rwFreeListEnable( const bool enable ) {
	FreeListsEnabled = enable;
}

bool _rwFreeListsOpen() {
	rwLinkListInitialize( &_freeListList );
	if ( !FillRecord( &masterFreeList, static_cast<s32>( sizeof( RwFreeList ) ), RWFREELIST_MASTER_ENTRIES,
					  RWFREELIST_DEFAULT_ALIGNMENT ) ) {
		return false;
	}
	masterFreeList.flags = RWFREELIST_STATIC_RECORD | RWFREELIST_RELEASE_EMPTY;
	_masterFreeListPtr = &masterFreeList;
	return true;
}

void _rwFreeListsClose() {
	if ( _masterFreeListPtr == nullptr ) {
		return;
	}
	while ( !rwLinkListEmpty( &_freeListList ) ) {
		RwLLLink* const link = rwLinkListGetFirst( &_freeListList );
		RwFreeList* const freeList =
			reinterpret_cast<RwFreeList*>( reinterpret_cast<u8*>( link ) - offsetof( RwFreeList, lFreeList ) );
		RwFreeListDestroy( freeList );
	}
	RwFreeList* const master = _masterFreeListPtr;
	RwFreeListDestroy( master );
	_masterFreeListPtr = nullptr;
}
