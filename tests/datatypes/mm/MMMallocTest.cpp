#include "datatypes/mm/MMTestFixture.h"

#include "platform/os/OS.h"

#include <cstring>
#include <map>
#include <random>
#include <vector>

namespace {

using MMMallocTest = MMLayerTest;

TEST_F( MMMallocTest, TheFirstAllocationSetsTheManagerUpOverTheArena ) {
	EXPECT_EQ( ui32MemFlag, 0u );
	EXPECT_EQ( _CurrentNewHandler, &MMInitializorAlloc );
	u8* lo = static_cast<u8*>( OSGetArenaLo() );
	u8* hi = static_cast<u8*>( OSGetArenaHi() );

	void* p = MMMalloc( 10 );
	ASSERT_NE( p, nullptr );
	EXPECT_EQ( ui32MemFlag, MM_FLAG_INITIALISED | MM_FLAG_POOLS_OFF );
	EXPECT_EQ( _CurrentNewHandler, &MMMalloc );
	EXPECT_EQ( _CurrentDeleteHandler, &MMFree );
	EXPECT_EQ( MMGetActualHeap(), 0u );

	EXPECT_EQ( reinterpret_cast<u8*>( _MemHeap[0]->GetFirstBlock() ), lo );
	EXPECT_EQ( _MemHeap[0]->GetSize(), 0x980000u );
	EXPECT_EQ( reinterpret_cast<u8*>( _MemHeap[1]->GetFirstBlock() ), lo + 0x980000 );
	EXPECT_EQ( _MemHeap[1]->GetSize(), static_cast<u32>( hi - lo ) - 0xCDA000u );
	EXPECT_EQ( OSGetArenaLo(), hi - 0x35A000 );

	for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
		ASSERT_NE( _MemPool[i], nullptr );
		EXPECT_EQ( _MemPool[i]->GetElementSize(), _MemPoolSize[i].ui32ElementSize );
		EXPECT_EQ( _MemPool[i]->CountFree(), _MemPoolSize[i].ui32Count + 1 );
	}
	ASSERT_NE( _WorkMem, nullptr );
	ASSERT_NE( _ScratchPad, nullptr );
	EXPECT_EQ( _WorkMem->GetFree(), 0x80000u );
	EXPECT_EQ( _ScratchPad->GetFree(), 4096u );
	// Everything set-up took lies in heap 0; the first request, pools being
	// off, comes from heap 0 too.
	EXPECT_TRUE( _MemHeap[0]->Contains( Header( _WorkMem->GetBuffer() ) ) );
	EXPECT_EQ( Kind( p ), MM_TAG_KIND_HEAP );
	EXPECT_EQ( Index( p ), 0u );
	EXPECT_EQ( reinterpret_cast<uintptr_t>( p ) % 32, 0u );
	EXPECT_EQ( WalkHeap( *_MemHeap[0] ).liveBlocks, 5u + 2u + 2u + 5u + 1u );
	EXPECT_EQ( WalkHeap( *_MemHeap[1] ).liveBlocks, 0u );

	MMSetAllocFlag( MM_ALLOC_POOLS_ON );
	EXPECT_EQ( ui32MemFlag, MM_FLAG_INITIALISED );
}

TEST_F( MMMallocTest, ServesSmallRequestsFromTheFirstPoolWhoseElementsFit ) {
	StartWithPools();
	struct Case {
		u32		request;
		u32		kind;
		u32		index;
	};
	const Case cases[] = {
		{ 0, MM_TAG_KIND_POOL, 0 },  { 1, MM_TAG_KIND_POOL, 0 },  { 32, MM_TAG_KIND_POOL, 0 },
		{ 33, MM_TAG_KIND_POOL, 2 }, { 64, MM_TAG_KIND_POOL, 2 }, { 65, MM_TAG_KIND_POOL, 4 },
		{ 96, MM_TAG_KIND_POOL, 4 }, { 97, MM_TAG_KIND_HEAP, 0 }, { 5000, MM_TAG_KIND_HEAP, 0 },
	};
	for ( const Case& c : cases ) {
		void* p = MMMalloc( c.request );
		ASSERT_NE( p, nullptr );
		EXPECT_EQ( Kind( p ), c.kind ) << c.request;
		EXPECT_EQ( Index( p ), c.index ) << c.request;
		EXPECT_EQ( reinterpret_cast<uintptr_t>( p ) % 32, 0u );
	}
}

TEST_F( MMMallocTest, AnEmptyPoolPassesRequestsToTheNextFittingPoolThenToTheHeaps ) {
	StartWithPools();
	struct Case {
		u32		request;
		u32		drained;	// pools emptied first, in table order
		u32		kind;
		u32		index;
	};
	const Case cases[] = {
		{ 32, 1, MM_TAG_KIND_POOL, 1 },
		{ 32, 2, MM_TAG_KIND_POOL, 2 },
		{ 64, 3, MM_TAG_KIND_POOL, 3 },
		{ 32, 4, MM_TAG_KIND_POOL, 4 },
		{ 96, 5, MM_TAG_KIND_HEAP, 0 },
	};
	u32 drained = 0;
	for ( const Case& c : cases ) {
		for ( ; drained < c.drained; drained++ ) {
			while ( _MemPool[drained]->GetElement() != nullptr ) {
			}
		}
		void* p = MMMalloc( c.request );
		ASSERT_NE( p, nullptr );
		EXPECT_EQ( Kind( p ), c.kind ) << c.request << " " << c.drained;
		EXPECT_EQ( Index( p ), c.index ) << c.request << " " << c.drained;
	}
}

TEST_F( MMMallocTest, TheAllocFlagSwitchesPoolsOffWithBit0AndOnWithBit1 ) {
	Start();
	struct Case {
		bool	poolsOnBefore;
		u32		flag;
		bool	poolsOnAfter;
	};
	const Case cases[] = {
		{ false, 2, true }, { true, 1, false }, { true, 3, false }, { false, 3, false },
		{ true, 0, true },  { false, 0, false }, { true, 4, true }, { false, 6, true },
	};
	for ( const Case& c : cases ) {
		MMSetAllocFlag( c.poolsOnBefore ? MM_ALLOC_POOLS_ON : MM_ALLOC_POOLS_OFF );
		MMSetAllocFlag( c.flag );
		EXPECT_EQ( ( ui32MemFlag & MM_FLAG_POOLS_OFF ) == 0, c.poolsOnAfter ) << c.flag;
		void* p = MMMalloc( 8 );
		EXPECT_EQ( Kind( p ), c.poolsOnAfter ? MM_TAG_KIND_POOL : MM_TAG_KIND_HEAP ) << c.flag;
		EXPECT_EQ( ui32MemFlag & MM_FLAG_INITIALISED, MM_FLAG_INITIALISED );
	}
}

TEST_F( MMMallocTest, ServesTheCurrentHeapFirstAndSkipsAFullHeapUntilOneOfItsBlocksIsFreed ) {
	Start();
	MMChangeHeap( MM_LEVEL_HEAP );
	DTMemHeap& level = *_MemHeap[1];
	DTMemHeap& global = *_MemHeap[0];

	void* small = MMMalloc( 1000 );
	EXPECT_EQ( Index( small ), 1u );
	// Fill the level heap exactly.
	void* rest = MMMalloc( static_cast<u32>( level.GetRover()->mi32FreeBytes ) - 32 );
	ASSERT_NE( rest, nullptr );
	EXPECT_EQ( Index( rest ), 1u );
	EXPECT_EQ( global.GetBytesWhileNotCurrent(), 0u );

	void* spilled = MMMalloc( 2000 );
	ASSERT_NE( spilled, nullptr );
	EXPECT_EQ( Index( spilled ), 0u );
	EXPECT_TRUE( level.IsFull() );
	EXPECT_EQ( global.GetBytesWhileNotCurrent(), 2000u );
	EXPECT_EQ( level.GetBytesWhileNotCurrent(), 0u );

	// A request as large as the one that failed is not even searched in
	// heap 1.
	const u32 passed = level.GetBlocksPassed();
	EXPECT_EQ( Index( MMMalloc( 2000 ) ), 0u );
	EXPECT_EQ( level.GetBlocksPassed(), passed );

	MMFree( small );
	EXPECT_FALSE( level.IsFull() );
	EXPECT_EQ( Index( MMMalloc( 100 ) ), 1u );
}

// A failed search marks its heap full for requests at least as large as the
// smallest that failed there; smaller ones still search, and a free lifts
// the mark.
TEST_F( MMMallocTest, AFailedLargeRequestSkipsItsHeapOnlyForRequestsAsLarge ) {
	constexpr u32 MB = 0x100000;
	Start();
	DTMemHeap& global = *_MemHeap[0];
	DTMemHeap& level = *_MemHeap[1];
	EXPECT_EQ( MMMalloc( 20 * MB ), nullptr );
	EXPECT_TRUE( global.IsFull() );
	EXPECT_TRUE( level.IsFull() );
	void* kept = nullptr;
	const struct {
		const char*	name;
		u32			size;
		bool		served;
		bool		searched;		// both heaps
	} steps[] = {
		{ "64 bytes", 64, true, true },
		{ "the same 20 MB", 20 * MB, false, false },
		{ "more than 20 MB", 0xFFFFFFFF, false, false },
		{ "12 MB, fits neither heap", 12 * MB, false, true },
		{ "15 MB, above the new smallest failure", 15 * MB, false, false },
		{ "1 MB", MB, true, true },
	};
	for ( const auto& step : steps ) {
		SCOPED_TRACE( step.name );
		const u32 passedGlobal = global.GetBlocksPassed();
		const u32 passedLevel = level.GetBlocksPassed();
		void* const p = MMMalloc( step.size );
		EXPECT_EQ( p != nullptr, step.served );
		if ( p != nullptr ) {
			// Heap 0 is current: served by the heap the large request failed in.
			EXPECT_EQ( Index( p ), MM_GLOBAL_HEAP );
			kept = p;
		} else {
			EXPECT_EQ( global.GetBlocksPassed() != passedGlobal, step.searched );
			EXPECT_EQ( level.GetBlocksPassed() != passedLevel, step.searched );
		}
	}
	MMFree( kept );
	EXPECT_FALSE( global.IsFull() );
	const u32 passed = global.GetBlocksPassed();
	EXPECT_EQ( MMMalloc( 20 * MB ), nullptr );
	EXPECT_NE( global.GetBlocksPassed(), passed );
	EXPECT_EQ( MMLoadMalloc( 0xFFFFFFFF ), nullptr );
}

TEST_F( MMMallocTest, HeapSwitchingKeepsOneSavedIndex ) {
	Start();
	struct Step {
		const char*	call;
		u32			argument;
		u32			current;
		u32			returned;	// MMChangeHeap only
	};
	const Step steps[] = {
		{ "change", 1, 1, 0 }, { "replace", 0, 0, 0 }, { "change", 1, 1, 0 }, { "swap", 0, 0, 0 },
		{ "replace", 0, 1, 0 }, { "working", 0, 0, 0 }, { "replace", 0, 1, 0 }, { "change", 7, 1, 1 },
		{ "change", 0, 0, 1 }, { "replace", 0, 1, 0 },
	};
	for ( const Step& s : steps ) {
		const std::string call = s.call;
		if ( call == "change" ) {
			EXPECT_EQ( MMChangeHeap( s.argument ), s.returned ) << s.argument;
		} else if ( call == "replace" ) {
			MMReplaceHeap();
		} else if ( call == "swap" ) {
			MMSwapToGlobalHeap();
		} else {
			MMSetWorkingHeap();
		}
		EXPECT_EQ( MMGetActualHeap(), s.current ) << call;
	}
}

TEST_F( MMMallocTest, ChangingHeapSendsThatHeapsRoverHome ) {
	Start();
	MMChangeHeap( 1 );
	MMMalloc( 500 );
	MMMalloc( 500 );
	EXPECT_NE( _MemHeap[1]->GetRover(), _MemHeap[1]->GetFirstBlock() );
	MMChangeHeap( 0 );
	EXPECT_NE( _MemHeap[1]->GetRover(), _MemHeap[1]->GetFirstBlock() );
	MMChangeHeap( 1 );
	EXPECT_EQ( _MemHeap[1]->GetRover(), _MemHeap[1]->GetFirstBlock() );
	EXPECT_EQ( _MemHeap[1]->GetCountdown(), 200u );
}

TEST_F( MMMallocTest, ALevelLoadLeavesTheGlobalHeapIntact ) {
	StartWithPools();
	const u32 sizes[] = { 200, 5000, 97, 12000 };
	std::vector<u8*> kept;
	for ( const u32 size : sizes ) {
		u8* p = static_cast<u8*>( MMMalloc( size ) );
		std::memset( p, static_cast<int>( size & 0xFF ), size );
		kept.push_back( p );
	}
	const std::vector<mmheader*> before = WalkHeap( *_MemHeap[0] ).blocks;

	for ( u32 level = 0; level < 2; level++ ) {
		MMSetAllocFlag( MM_ALLOC_POOLS_OFF );
		MMChangeHeap( MM_LEVEL_HEAP );
		MMResetHeap( MM_LEVEL_HEAP );
		EXPECT_EQ( WalkHeap( *_MemHeap[1] ).liveBlocks, 0u );
		for ( u32 i = 0; i < 100; i++ ) {
			void* p = MMMalloc( 8 + i * 40 );
			EXPECT_EQ( Kind( p ), MM_TAG_KIND_HEAP );
			EXPECT_EQ( Index( p ), 1u );
		}
		void* buffer = MMLoadMalloc( 70000 );
		EXPECT_EQ( Index( buffer ), 1u );
		MMFree( buffer );
		MMSetAllocFlag( MM_ALLOC_POOLS_ON );
		MMSetWorkingHeap();

		EXPECT_EQ( MMGetActualHeap(), 0u );
		EXPECT_EQ( WalkHeap( *_MemHeap[1] ).liveBlocks, 100u );
		EXPECT_EQ( WalkHeap( *_MemHeap[0] ).blocks, before );
		EXPECT_EQ( Kind( MMMalloc( 20 ) ), MM_TAG_KIND_POOL );
	}
	for ( size_t i = 0; i < kept.size(); i++ ) {
		for ( u32 b = 0; b < sizes[i]; b++ ) {
			ASSERT_EQ( kept[i][b], sizes[i] & 0xFF ) << sizes[i];
		}
	}
}

TEST_F( MMMallocTest, LoadMallocTakesTheTopOfTheCurrentHeapAndFallsBackToMalloc ) {
	Start();
	for ( u32 heap = 0; heap < 2; heap++ ) {
		MMChangeHeap( heap );
		u8* tail = reinterpret_cast<u8*>( _MemHeap[heap]->GetFirstBlock()->Previous() );
		void* top = MMLoadMalloc( 1000 );
		EXPECT_EQ( reinterpret_cast<u8*>( Header( top ) ), tail - 1056 );
		EXPECT_EQ( Index( top ), heap );

		// The block below the tail now has no gap: the next load buffer comes
		// from the ordinary search.
		void* next = MMLoadMalloc( 1000 );
		ASSERT_NE( next, nullptr );
		EXPECT_LT( next, top );
		EXPECT_EQ( Index( next ), heap );
		MMFree( top );
		EXPECT_EQ( reinterpret_cast<u8*>( Header( MMLoadMalloc( 10 ) ) ), tail - 64 );
	}
}

TEST_F( MMMallocTest, ARandomRunKeepsBothHeapListsSound ) {
	Start();
	struct Block {
		u32		size;
		u8		fill;
	};
	std::map<u8*, Block> live;
	std::mt19937 random( 20240611 );
	const HeapWalk start0 = WalkHeap( *_MemHeap[0] );

	auto check = [&]( u8* p, const Block& b ) {
		for ( u32 i = 0; i < b.size; i += 1 + b.size / 7 ) {
			ASSERT_EQ( p[i], b.fill ) << "block of " << b.size;
		}
	};
	auto any = [&]() {
		auto it = live.begin();
		std::advance( it, random() % live.size() );
		return it;
	};
	auto sizeOf = [&]() -> u32 {
		return random() % 8 == 0 ? random() % 400000 : random() % 3000;
	};

	for ( u32 step = 0; step < 4000; step++ ) {
		const u32 op = random() % 10;
		if ( op < 4 || live.empty() ) {
			const u32 size = sizeOf();
			u8* p = static_cast<u8*>( op == 3 ? MMLoadMalloc( size ) : MMMalloc( size ) );
			if ( p != nullptr ) {
				const u8 fill = static_cast<u8>( random() );
				std::memset( p, fill, size );
				live[p] = { size, fill };
			}
		} else if ( op < 7 ) {
			auto it = any();
			check( it->first, it->second );
			MMFree( it->first );
			live.erase( it );
		} else if ( op < 9 ) {
			auto it = any();
			const Block old = it->second;
			const u32 size = sizeOf();
			u8* p = static_cast<u8*>( MMRealloc( it->first, size ) );
			if ( p != nullptr ) {
				live.erase( it );
				check( p, { old.size < size ? old.size : size, old.fill } );
				std::memset( p, old.fill, size );
				live[p] = { size, old.fill };
			}
		} else {
			MMChangeHeap( random() % 2 );
		}

		u32 blocks[2] = { start0.liveBlocks, 0 };
		u64 bytes[2] = { start0.liveBytes, 0 };
		for ( const auto& [p, b] : live ) {
			ASSERT_EQ( Kind( p ), MM_TAG_KIND_HEAP );
			const u32 heap = Index( p );
			ASSERT_LT( heap, 2u );
			blocks[heap]++;
			bytes[heap] += DTMemHeap::BlockSize( b.size );
		}
		for ( u32 heap = 0; heap < 2; heap++ ) {
			const HeapWalk walk = WalkHeap( *_MemHeap[heap] );
			ASSERT_EQ( walk.liveBlocks, blocks[heap] ) << "step " << step;
			ASSERT_EQ( walk.liveBytes, bytes[heap] ) << "step " << step;
			ASSERT_EQ( _MemHeap[heap]->GetLiveBlocks(), blocks[heap] );
			ASSERT_EQ( _MemHeap[heap]->GetBytesInUse(), bytes[heap] );
			ASSERT_GE( _MemHeap[heap]->GetPeakBytes(), bytes[heap] );
		}
	}
	for ( const auto& [p, b] : live ) {
		check( p, b );
	}
}

}
