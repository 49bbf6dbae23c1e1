#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwTestEngine.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace {

class RwFreeListTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwEngineInit( &rwTestCountingMemory, 0, 0 ) );
		ASSERT_TRUE( FreeListsEnabled );
	}
};

u32 CountBlocks( RwFreeList* freeList ) {
	u32 count = 0;
	for ( RwLLLink* b = rwLinkListGetFirst( &freeList->blockList ); b != rwLinkListGetTerminator( &freeList->blockList ); b = b->next ) {
		count++;
	}
	return count;
}

// The usage bitmap follows the block's list link.
u8 BlockBitmapFirstByte( RwLLLink* block ) {
	return *( reinterpret_cast<u8*>( block ) + sizeof( RwLLLink ) );
}

void* Alloc( RwFreeList* freeList ) {
	return RwEngineInstance->freeListAllocHook( freeList );
}

RwFreeList* Free( RwFreeList* freeList, void* entry ) {
	return RwEngineInstance->freeListFreeHook( freeList, entry );
}

TEST_F( RwFreeListTest, RoundsEntriesUpToTheAlignmentWhichIsAtLeastEight ) {
	struct Case {
		s32		entrySize;
		s32		alignment;
		u32		entryBytes;
		u32		keptAlignment;
	};
	const Case cases[] = {
		{ 3, 0, 32, 32 }, { 3, 4, 8, 8 }, { 1, 1, 8, 8 }, { 9, 8, 16, 8 }, { 20, 16, 32, 16 }, { 100, 64, 128, 64 }, { 12, 12, 12, 12 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.entrySize );
		RwFreeList* const freeList = RwFreeListCreate( c.entrySize, 5, c.alignment );
		ASSERT_NE( freeList, nullptr );
		EXPECT_EQ( freeList->entrySize, c.entryBytes );
		EXPECT_EQ( freeList->alignment, c.keptAlignment );
		EXPECT_EQ( freeList->heapSize, 1u );
		EXPECT_EQ( CountBlocks( freeList ), 1u );
		for ( int i = 0; i < 7; i++ ) {
			void* const entry = Alloc( freeList );
			ASSERT_NE( entry, nullptr );
			EXPECT_EQ( reinterpret_cast<uintptr_t>( entry ) % c.keptAlignment, 0u );
		}
		EXPECT_TRUE( RwFreeListDestroy( freeList ) );
	}
}

TEST_F( RwFreeListTest, RefusesSizesThatAreNotPositiveOrDoNotFit ) {
	struct Case {
		s32		entrySize;
		s32		entriesPerBlock;
		s32		alignment;
		s32		blocks;
	};
	const Case cases[] = {
		{ 0, 16, 0, 1 }, { -1, 16, 0, 1 }, { 8, 0, 0, 1 }, { 8, -5, 0, 1 }, { 8, 16, -1, 1 }, { 8, 16, 0, -1 },
		{ 0x7FFFFFFF, 0x7FFFFFFF, 0, 1 }, { 0x10000, 0x10000, 0, 1 },
	};
	const u32 callsBefore = RwTestCountingMemory::mallocCalls;
	for ( const Case& c : cases ) {
		EXPECT_EQ( RwFreeListCreateAndPreallocateSpace( c.entrySize, c.entriesPerBlock, c.alignment, c.blocks, nullptr ), nullptr )
			<< c.entrySize << " " << c.entriesPerBlock;
	}
	EXPECT_EQ( RwTestCountingMemory::mallocCalls, callsBefore );
}

TEST_F( RwFreeListTest, AddsABlockAtTheHeadOnlyWhenEveryEntryIsTaken ) {
	const s32 perBlock[] = { 16, 10, 1, 9 };
	for ( const s32 entries : perBlock ) {
		SCOPED_TRACE( entries );
		RwFreeList* const freeList = RwFreeListCreate( 24, entries, 0 );
		ASSERT_NE( freeList, nullptr );
		RwLLLink* const firstBlock = rwLinkListGetFirst( &freeList->blockList );
		std::set<void*> handed;
		for ( s32 i = 0; i < entries; i++ ) {
			handed.insert( Alloc( freeList ) );
		}
		EXPECT_EQ( CountBlocks( freeList ), 1u );
		void* const extra = Alloc( freeList );
		handed.insert( extra );
		EXPECT_EQ( handed.size(), static_cast<size_t>( entries ) + 1 );
		EXPECT_EQ( CountBlocks( freeList ), 2u );
		RwLLLink* const head = rwLinkListGetFirst( &freeList->blockList );
		EXPECT_NE( head, firstBlock );
		EXPECT_EQ( rwLinkListGetLast( &freeList->blockList ), firstBlock );
		// The new block's first entry went out first.
		EXPECT_EQ( BlockBitmapFirstByte( head ), 0x80 );
		RwFreeListDestroy( freeList );
	}
}

TEST_F( RwFreeListTest, ReleasesAnEmptiedBlockUnlessItIsTheOnlyOne ) {
	RwFreeList* const freeList = RwFreeListCreate( 16, 16, 0 );
	ASSERT_NE( freeList, nullptr );
	std::vector<void*> entries;
	for ( int i = 0; i < 17; i++ ) {
		entries.push_back( Alloc( freeList ) );
	}
	ASSERT_EQ( CountBlocks( freeList ), 2u );
	EXPECT_EQ( Free( freeList, entries[16] ), freeList );
	EXPECT_EQ( CountBlocks( freeList ), 1u );
	for ( int i = 0; i < 16; i++ ) {
		EXPECT_EQ( Free( freeList, entries[i] ), freeList );
	}
	EXPECT_EQ( CountBlocks( freeList ), 1u );
	EXPECT_EQ( Alloc( freeList ), entries[0] );
	RwFreeListDestroy( freeList );
}

TEST_F( RwFreeListTest, HandsOutTheFirstFreeEntryAndRefusesAddressesThatAreNoEntry ) {
	RwFreeList* const freeList = RwFreeListCreate( 16, 16, 0 );
	std::vector<void*> entries;
	for ( int i = 0; i < 12; i++ ) {
		entries.push_back( Alloc( freeList ) );
	}
	u8 outside[64];
	u8* const inside = static_cast<u8*>( entries[3] ) + 4;
	void* const refused[] = { outside, inside, static_cast<u8*>( entries[0] ) - 1,
							  static_cast<u8*>( entries[0] ) + 16 * freeList->entrySize };
	for ( void* address : refused ) {
		EXPECT_EQ( Free( freeList, address ), nullptr );
	}
	ASSERT_EQ( Free( freeList, entries[9] ), freeList );
	ASSERT_EQ( Free( freeList, entries[5] ), freeList );
	EXPECT_EQ( Alloc( freeList ), entries[5] );
	EXPECT_EQ( Alloc( freeList ), entries[9] );
	EXPECT_EQ( Alloc( freeList ), static_cast<u8*>( entries[11] ) + freeList->entrySize );
	RwFreeListDestroy( freeList );
}

TEST_F( RwFreeListTest, WalksUsedEntriesInOrderAndLetsTheCallbackFreeThem ) {
	RwFreeList* const freeList = RwFreeListCreate( 8, 16, 0 );
	std::vector<void*> entries;
	for ( int i = 0; i < 40; i++ ) {
		entries.push_back( Alloc( freeList ) );
	}
	ASSERT_EQ( CountBlocks( freeList ), 3u );
	Free( freeList, entries[2] );

	struct Walk {
		RwFreeList*			freeList;
		std::vector<void*>	visited;
	} walk = { freeList, {} };
	const auto freeEach = []( void* entry, void* data ) {
		Walk* const w = static_cast<Walk*>( data );
		w->visited.push_back( entry );
		ASSERT_EQ( RwEngineInstance->freeListFreeHook( w->freeList, entry ), w->freeList );
	};
	EXPECT_EQ( RwFreeListForAllUsed( freeList, freeEach, &walk ), freeList );
	EXPECT_EQ( walk.visited.size(), 39u );
	// Blocks are walked from the head: the newest block first, each block
	// in entry order.
	EXPECT_EQ( walk.visited.front(), entries[32] );
	EXPECT_EQ( walk.visited.back(), entries[15] );
	EXPECT_EQ( CountBlocks( freeList ), 1u );

	walk.visited.clear();
	EXPECT_EQ( RwFreeListForAllUsed( freeList, freeEach, &walk ), freeList );
	EXPECT_TRUE( walk.visited.empty() );
	RwFreeListDestroy( freeList );
}

TEST_F( RwFreeListTest, StaticRecordsStayWhereTheCallerPutThem ) {
	RwFreeList record;
	const u32 freesBefore = RwTestCountingMemory::freeCalls;
	RwFreeList* const freeList = RwFreeListCreateAndPreallocateSpace( 40, 4, 4, 3, &record );
	ASSERT_EQ( freeList, &record );
	EXPECT_EQ( record.flags, RWFREELIST_STATIC_RECORD | RWFREELIST_RELEASE_EMPTY );
	EXPECT_EQ( CountBlocks( freeList ), 3u );
	EXPECT_EQ( rwLinkListGetFirst( &_freeListList ), &record.lFreeList );
	EXPECT_TRUE( RwFreeListDestroy( freeList ) );
	EXPECT_EQ( RwTestCountingMemory::freeCalls, freesBefore + 3 );

	RwFreeList* const owned = RwFreeListCreate( 40, 4, 4 );
	EXPECT_EQ( owned->flags, RWFREELIST_RELEASE_EMPTY );
	EXPECT_EQ( rwLinkListGetFirst( &_freeListList ), &owned->lFreeList );
}

TEST_F( RwFreeListTest, DisabledListsHandOutPlainAllocationsOfTheEntrySize ) {
	ASSERT_TRUE( RwEngineTerm() );
	ASSERT_TRUE( RwEngineInit( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	EXPECT_FALSE( FreeListsEnabled );
	RwTestCountingMemory::sizes.clear();
	RwFreeList* const freeList = RwFreeListCreate( 3, 16, 0 );
	ASSERT_NE( freeList, nullptr );
	EXPECT_EQ( CountBlocks( freeList ), 0u );

	void* const a = Alloc( freeList );
	void* const b = Alloc( freeList );
	ASSERT_NE( a, nullptr );
	ASSERT_NE( b, nullptr );
	EXPECT_EQ( std::count( RwTestCountingMemory::sizes.begin(), RwTestCountingMemory::sizes.end(), 32u ), 2 );
	EXPECT_EQ( CountBlocks( freeList ), 0u );
	u32 visits = 0;
	EXPECT_EQ( RwFreeListForAllUsed( freeList, []( void*, void* data ) { ++*static_cast<u32*>( data ); }, &visits ), freeList );
	EXPECT_EQ( visits, 0u );
	const u32 freesBefore = RwTestCountingMemory::freeCalls;
	EXPECT_EQ( Free( freeList, a ), freeList );
	EXPECT_EQ( Free( freeList, b ), freeList );
	EXPECT_EQ( RwTestCountingMemory::freeCalls, freesBefore + 2 );
	RwFreeListDestroy( freeList );
}

TEST_F( RwFreeListTest, TermReleasesEveryListAndTheMasterList ) {
	for ( int i = 0; i < 20; i++ ) {
		RwFreeList* const freeList = RwFreeListCreate( 8 + i, 4, 0 );
		ASSERT_NE( freeList, nullptr );
		Alloc( freeList );
	}
	ASSERT_TRUE( RwEngineTerm() );
	EXPECT_EQ( _masterFreeListPtr, nullptr );
	EXPECT_EQ( RwTestCountingMemory::freeCalls, RwTestCountingMemory::mallocCalls );
}

}	// namespace
