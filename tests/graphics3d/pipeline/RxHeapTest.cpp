#include "RxTestNodes.h"

#include "graphics3d/core/RxHeap.h"
#include "graphics3d/core/RxHeapTesting.h"

namespace {

class RxHeapTest : public RxPipelineTestCase {
protected:
	static constexpr u32 HEADER = sizeof( rxHeapBlockHeader );

	// Every free block is listed once and points back at its entry.
	static void ExpectTableConsistent( const RxHeap* heap ) {
		u32 freeBlocks = 0;
		const rxHeapBlockHeader* block = static_cast<const rxHeapBlockHeader*>( heap->head->start );
		for ( ; block != nullptr; block = block->next ) {
			if ( block->freeEntry != nullptr ) {
				freeBlocks++;
				EXPECT_EQ( block->freeEntry->ptr, block );
				EXPECT_EQ( block->freeEntry->size, block->size );
			}
			if ( block->next != nullptr ) {
				EXPECT_EQ( block->next->prev, block );
			}
		}
		EXPECT_EQ( freeBlocks, heap->entriesUsed );
	}
};

TEST_F( RxHeapTest, LaysASuperBlockOutAsOneFreeBlockBetweenTwoHeaders ) {
	RxHeap* const heap = RxHeapCreate( 4096 );
	ASSERT_NE( heap, nullptr );
	EXPECT_EQ( reinterpret_cast<uintptr_t>( heap->head->start ) % RXHEAP_SUPERBLOCK_ALIGN, 0u );
	EXPECT_EQ( heap->dirty, 0u );
	ASSERT_EQ( heap->entriesUsed, 1u );
	EXPECT_EQ( heap->freeBlocks[0].size, 4096 - 3 * HEADER );
	EXPECT_EQ( heap->headBlock, heap->head->start );
	ExpectTableConsistent( heap );
	RxHeapDestroy( heap );

	for ( const u32 unusable : { 0u, 3 * HEADER, 4097u, 0xFFFFFFF8u } ) {
		EXPECT_EQ( RxHeapCreate( unusable ), nullptr ) << unusable;
	}
}

TEST_F( RxHeapTest, MergesAFreedBlockWithItsFreeNeighbours ) {
	// Four used blocks then the free rest: a b c d | rest. Freeing in the
	// given order leaves the table with the given number of entries.
	struct Case {
		const char*			name;
		std::vector<u32>	order;		// indices into a b c d
		std::vector<u32>	entries;	// after each free
	};
	const std::vector<Case> cases = {
		{ "neither neighbour free", { 1 }, { 2 } },
		{ "next free", { 3 }, { 1 } },
		{ "previous free", { 0, 1 }, { 2, 2 } },
		{ "both free", { 0, 2, 1 }, { 2, 3, 2 } },
		{ "everything", { 0, 2, 1, 3 }, { 2, 3, 2, 1 } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RxHeap* const heap = RxHeapCreate( 4096 );
		void* blocks[4];
		for ( void*& block : blocks ) {
			block = _rxHeapAllocBestFitForTests( heap, 100 );
			ASSERT_NE( block, nullptr );
		}
		EXPECT_EQ( heap->dirty, 1u );
		for ( size_t i = 0; i < c.order.size(); i++ ) {
			RxHeapFree( heap, blocks[c.order[i]] );
			EXPECT_EQ( heap->entriesUsed, c.entries[i] ) << i;
			ExpectTableConsistent( heap );
		}
		RxHeapFree( heap, blocks[c.order[0]] );	// already free: ignored
		int stranger = 0;
		RxHeapFree( heap, &stranger );
		ExpectTableConsistent( heap );
		RxHeapDestroy( heap );
	}
}

TEST_F( RxHeapTest, GrowsTheFreeTableAndRepointsMovedEntries ) {
	RxHeap* const heap = RxHeapCreate( 16384 );
	std::vector<void*> blocks;
	for ( void* block = _rxHeapAllocBestFitForTests( heap, 8 ); block != nullptr; block = _rxHeapAllocBestFitForTests( heap, 8 ) ) {
		blocks.push_back( block );
	}
	ASSERT_GT( blocks.size(), 2 * RXHEAP_TABLE_GROWTH + 2 );
	const u32 reallocs = RxTestMemory::reallocCalls;
	for ( size_t i = 0; i < blocks.size(); i += 2 ) {
		RxHeapFree( heap, blocks[i] );
	}
	EXPECT_GT( heap->entriesUsed, RXHEAP_TABLE_GROWTH );
	EXPECT_EQ( heap->entriesAlloced % RXHEAP_TABLE_GROWTH, 0u );
	EXPECT_GE( RxTestMemory::reallocCalls - reallocs, 2u );
	ExpectTableConsistent( heap );

	ASSERT_TRUE( _rxHeapReset( heap ) );
	EXPECT_EQ( heap->entriesUsed, 1u );
	EXPECT_EQ( heap->dirty, 0u );
	ExpectTableConsistent( heap );
	RxHeapDestroy( heap );
}

TEST_F( RxHeapTest, AFailedTableGrowthIsReportedAndLeavesTheBlockInUse ) {
	RxHeap* const heap = RxHeapCreate( 16384 );
	std::vector<void*> blocks;
	for ( void* block = _rxHeapAllocBestFitForTests( heap, 8 ); block != nullptr; block = _rxHeapAllocBestFitForTests( heap, 8 ) ) {
		blocks.push_back( block );
	}
	size_t i = 0;
	for ( ; heap->entriesUsed < heap->entriesAlloced; i += 2 ) {
		RxHeapFree( heap, blocks[i] );
	}
	RxTestMemory::failRealloc = true;
	RxHeapFree( heap, blocks[i] );
	RxTestMemory::failRealloc = false;
	EXPECT_EQ( RwTestReadError().errorCode, RWERR_NO_MEMORY );
	EXPECT_EQ( heap->entriesUsed, heap->entriesAlloced );
	ExpectTableConsistent( heap );
	RxHeapDestroy( heap );
}

}	// namespace
