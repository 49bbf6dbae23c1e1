/*
===============================================================================

	Test helpers for the memory manager: a walker that checks a heap's
	block list from end to end, and buffers for heaps and pools under test.

===============================================================================
*/
#ifndef TEST_HEAP_WALKER_H
#define TEST_HEAP_WALKER_H

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMMemory.h"
#include "platform/host/HostArena.h"

#include <gtest/gtest.h>

#include <vector>

// What a walk of a heap found.
struct HeapWalk {
	std::vector<mmheader*>	blocks;			// in list order, sentinels included
	u64						sizesAndGaps = 0;
	u32						liveBytes = 0;	// sentinels excluded
	u32						liveBlocks = 0;
};

// Walks the list from the head sentinel and checks what every heap must
// keep: addresses rise, every link is mirrored, every listed block is in
// use, the list closes at the tail sentinel, and sizes + gaps cover the
// heap exactly.
inline HeapWalk WalkHeap( const DTMemHeap& heap ) {
	HeapWalk walk;
	mmheader* head = heap.GetFirstBlock();
	EXPECT_NE( head, nullptr );
	if ( head == nullptr ) {
		return walk;
	}
	mmheader* h = head;
	const u8* end = reinterpret_cast<const u8*>( head ) + heap.GetSize();
	do {
		EXPECT_EQ( h->mui32Magic, MM_MAGIC_IN_USE );
		EXPECT_EQ( h->mui32Size % 32u, 0u );
		EXPECT_GE( h->mi32FreeBytes, 0 );
		EXPECT_EQ( h->Next()->Previous(), h );
		const u8* next = reinterpret_cast<const u8*>( h->Next() );
		if ( h->Next() != head ) {
			EXPECT_EQ( reinterpret_cast<const u8*>( h ) + h->mui32Size + h->mi32FreeBytes, next );
		}
		walk.blocks.push_back( h );
		walk.sizesAndGaps += h->mui32Size + static_cast<u64>( h->mi32FreeBytes );
		h = h->Next();
		if ( walk.blocks.size() > heap.GetSize() / 32 ) {
			ADD_FAILURE() << "the block list does not close";
			return walk;
		}
	} while ( h != head );

	EXPECT_GE( walk.blocks.size(), 2u );
	EXPECT_EQ( reinterpret_cast<const u8*>( walk.blocks.back() ), end - 32 );
	EXPECT_EQ( walk.sizesAndGaps, heap.GetSize() );
	for ( size_t i = 1; i + 1 < walk.blocks.size(); i++ ) {
		EXPECT_LT( walk.blocks[i - 1], walk.blocks[i] );
		walk.liveBytes += walk.blocks[i]->mui32Size;
		walk.liveBlocks++;
	}
	return walk;
}

// A 32-aligned buffer inside the host arena (block links are offsets from
// its base) that the memory manager never uses: the top of the arena, which
// it leaves to the OS.
inline u8* ArenaTestBuffer( const u32 bytes ) {
	EXPECT_LE( bytes, MM_OS_RESERVED_BYTES );
	return HostArenaBase() + HostArenaSize() - MM_OS_RESERVED_BYTES;
}

#endif
