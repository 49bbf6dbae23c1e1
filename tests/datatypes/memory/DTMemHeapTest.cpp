#include "datatypes/memory/DTMemHeap.h"

#include "datatypes/memory/HeapWalker.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr u32 HEAP_BYTES = 64 * 1024;

class DTMemHeapTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		base = ArenaTestBuffer( HEAP_BYTES );
		std::memset( base, 0x5A, HEAP_BYTES );
		ASSERT_TRUE( heap.Initialise( base, HEAP_BYTES ) );
	}

	u8*			base = nullptr;
	DTMemHeap	heap;
};

u8* Bytes( mmheader* h ) {
	return reinterpret_cast<u8*>( h );
}

TEST_F( DTMemHeapTest, StartsWithTwoSentinelsAndTheWholeGapBetweenThem ) {
	const HeapWalk walk = WalkHeap( heap );
	ASSERT_EQ( walk.blocks.size(), 2u );
	EXPECT_EQ( Bytes( walk.blocks[0] ), base );
	EXPECT_EQ( walk.blocks[0]->mi32FreeBytes, static_cast<s32>( HEAP_BYTES - 64 ) );
	EXPECT_EQ( walk.blocks[1]->mi32FreeBytes, 0 );
	EXPECT_EQ( heap.GetRover(), walk.blocks[0] );
	EXPECT_EQ( heap.GetCountdown(), 200u );
	EXPECT_EQ( heap.GetBytesInUse(), 0u );
}

TEST_F( DTMemHeapTest, RefusesRangesThatCannotHoldAlignedBlocks ) {
	struct Case {
		u32		offset;
		u32		size;
	};
	const Case cases[] = {
		{ 8, 1024 },	// base not 32-aligned
		{ 0, 1000 },	// size not a multiple of 32
		{ 0, 32 },		// no room for both sentinels
		{ 0, 0 },
	};
	for ( const Case& c : cases ) {
		DTMemHeap other;
		EXPECT_FALSE( other.Initialise( base + c.offset, c.size ) ) << c.offset << " " << c.size;
		EXPECT_EQ( other.Alloc( 1 ), nullptr );
	}
	DTMemHeap other;
	EXPECT_FALSE( other.Initialise( nullptr, 1024 ) );
}

TEST_F( DTMemHeapTest, RoundsEachRequestUpToWholeBlocksOf32WithTheHeader ) {
	struct Case {
		u32		request;
		u32		blockSize;
	};
	const Case cases[] = { { 0, 32 }, { 1, 64 }, { 31, 64 }, { 32, 64 }, { 33, 96 }, { 96, 128 }, { 97, 160 } };
	u32 inUse = 0;
	for ( const Case& c : cases ) {
		mmheader* h = heap.Alloc( c.request );
		ASSERT_NE( h, nullptr );
		EXPECT_EQ( h->mui32Size, c.blockSize ) << c.request;
		EXPECT_EQ( reinterpret_cast<uintptr_t>( h->Payload() ) % 32, 0u );
		inUse += c.blockSize;
	}
	const HeapWalk walk = WalkHeap( heap );
	EXPECT_EQ( walk.liveBytes, inUse );
	EXPECT_EQ( heap.GetBytesInUse(), inUse );
	EXPECT_EQ( heap.GetPeakBytes(), inUse );
	EXPECT_EQ( heap.GetLiveBlocks(), 7u );
}

TEST_F( DTMemHeapTest, PlacesEachBlockRightAfterTheRoverAndMovesTheRoverToIt ) {
	mmheader* a = heap.Alloc( 40 );
	mmheader* b = heap.Alloc( 10 );
	EXPECT_EQ( Bytes( a ), base + 32 );
	EXPECT_EQ( Bytes( b ), base + 32 + 96 );
	EXPECT_EQ( heap.GetRover(), b );
	EXPECT_EQ( heap.GetServedAtRover(), 2u );
	EXPECT_EQ( heap.GetServedAfterSearch(), 0u );
	EXPECT_EQ( a->mi32FreeBytes, 0 );
	EXPECT_EQ( b->mi32FreeBytes, static_cast<s32>( HEAP_BYTES - 64 - 96 - 64 ) );
}

TEST_F( DTMemHeapTest, FreeFillsThePayloadMovesTheRoverBackAndGivesTheGapToThePreviousBlock ) {
	mmheader* a = heap.Alloc( 64 );
	mmheader* b = heap.Alloc( 64 );
	mmheader* c = heap.Alloc( 64 );
	std::memset( b->Payload(), 0x11, 64 );
	const s32 gapBefore = a->mi32FreeBytes;

	EXPECT_EQ( heap.Free( b ), 1 );
	EXPECT_EQ( b->mui32Magic, MM_MAGIC_FREE );
	const u8* payload = static_cast<u8*>( b->Payload() );
	for ( u32 i = 0; i < 64; i++ ) {
		ASSERT_EQ( payload[i], 0xDD ) << i;
	}
	EXPECT_EQ( heap.GetRover(), a );
	EXPECT_EQ( a->mi32FreeBytes, gapBefore + 96 );
	EXPECT_EQ( a->Next(), c );
	EXPECT_EQ( c->Previous(), a );
	const HeapWalk walk = WalkHeap( heap );
	EXPECT_EQ( walk.liveBlocks, 2u );
	EXPECT_EQ( heap.GetLiveBlocks(), 2u );
	EXPECT_EQ( heap.GetBytesInUse(), 192u );
	EXPECT_EQ( heap.GetPeakBytes(), 288u );

	// The next request that fits starts at the rover and fills the hole.
	EXPECT_EQ( heap.Alloc( 64 ), b );
}

TEST_F( DTMemHeapTest, RefusesASecondFreeOfTheSameBlockWithoutTouchingTheList ) {
	mmheader* a = heap.Alloc( 64 );
	mmheader* b = heap.Alloc( 64 );
	heap.Alloc( 64 );
	ASSERT_EQ( heap.Free( b ), 1 );
	const HeapWalk before = WalkHeap( heap );
	const s32 gap = a->mi32FreeBytes;

	EXPECT_EQ( heap.Free( b ), 0 );
	const HeapWalk after = WalkHeap( heap );
	EXPECT_EQ( after.blocks, before.blocks );
	EXPECT_EQ( a->mi32FreeBytes, gap );
}

TEST_F( DTMemHeapTest, RefusesToFreeTheSentinels ) {
	const HeapWalk before = WalkHeap( heap );
	EXPECT_EQ( heap.Free( before.blocks[0] ), 0 );
	EXPECT_EQ( heap.Free( before.blocks[1] ), 0 );
	EXPECT_EQ( WalkHeap( heap ).blocks, before.blocks );
	EXPECT_EQ( heap.GetLiveBlocks(), 0u );
}

TEST_F( DTMemHeapTest, AFullLapMarksTheHeapFullUntilABlockIsFreed ) {
	mmheader* big = heap.Alloc( HEAP_BYTES - 64 - 32 - 64 );
	ASSERT_NE( big, nullptr );
	mmheader* last = heap.Alloc( 32 );
	ASSERT_NE( last, nullptr );
	EXPECT_FALSE( heap.IsFull() );

	EXPECT_EQ( heap.Alloc( 1 ), nullptr );
	EXPECT_TRUE( heap.IsFull() );
	EXPECT_EQ( heap.GetFlags() & MM_HEAP_FULL, MM_HEAP_FULL );

	EXPECT_EQ( heap.Free( last ), 1 );
	EXPECT_FALSE( heap.IsFull() );
	EXPECT_NE( heap.Alloc( 1 ), nullptr );
	WalkHeap( heap );
}

TEST_F( DTMemHeapTest, SendsTheRoverHomeWhenTheCountdownRunsOut ) {
	// Blocks packed from the start leave the head's gap at 0, so a rover
	// sent home must pass the head and every full block to reach the free
	// space behind the last one.
	for ( u32 i = 1; i <= 200; i++ ) {
		ASSERT_NE( heap.Alloc( 1 ), nullptr );
	}
	EXPECT_EQ( heap.GetServedAfterSearch(), 0u );
	EXPECT_EQ( heap.GetBlocksPassed(), 0u );
	EXPECT_EQ( heap.GetCountdown(), 0u );

	ASSERT_NE( heap.Alloc( 1 ), nullptr );	// 201st: home
	EXPECT_EQ( heap.GetServedAfterSearch(), 1u );
	EXPECT_EQ( heap.GetBlocksPassed(), 200u );	// head + 199 blocks

	// The countdown restarts at 200 and is spent by the 201st itself.
	for ( u32 i = 202; i <= 400; i++ ) {
		ASSERT_NE( heap.Alloc( 1 ), nullptr );
	}
	EXPECT_EQ( heap.GetServedAfterSearch(), 1u );
	ASSERT_NE( heap.Alloc( 1 ), nullptr );	// 401st: home again
	EXPECT_EQ( heap.GetServedAfterSearch(), 2u );
	EXPECT_EQ( heap.GetBlocksPassed(), 200u + 400u );
	EXPECT_EQ( heap.GetServedAtRover(), 399u );
}

TEST_F( DTMemHeapTest, ResetHeapPointeurSendsTheRoverHomeAndRestartsTheCountdown ) {
	heap.Alloc( 10 );
	heap.Alloc( 10 );
	heap.ResetHeapPointeur();
	EXPECT_EQ( heap.GetRover(), heap.GetFirstBlock() );
	EXPECT_EQ( heap.GetCountdown(), 200u );
}

TEST_F( DTMemHeapTest, LoadAllocStacksBlocksDownFromTheTailOutsideTheSearch ) {
	mmheader* low = heap.Alloc( 10 );
	const mmheader* tail = heap.GetFirstBlock()->Previous();
	const u32 countdown = heap.GetCountdown();

	const s32 gap = low->mi32FreeBytes;

	mmheader* load = heap.LoadAlloc( 100 );
	ASSERT_NE( load, nullptr );
	EXPECT_EQ( Bytes( load ), reinterpret_cast<const u8*>( tail ) - 160 );
	EXPECT_EQ( load->mi32FreeBytes, 0 );
	EXPECT_EQ( low->mi32FreeBytes, gap - 160 );
	EXPECT_EQ( low->Next(), load );
	EXPECT_EQ( load->Next(), tail );
	EXPECT_EQ( heap.GetRover(), low );
	EXPECT_EQ( heap.GetCountdown(), countdown );
	EXPECT_EQ( heap.GetServedAtRover(), 1u );
	EXPECT_EQ( heap.GetLiveBlocks(), 2u );
	EXPECT_EQ( heap.GetBytesInUse(), 64u + 160u );
	WalkHeap( heap );

	// The load block now sits below the tail with no gap of its own, so a
	// second one finds no room until the first is freed.
	EXPECT_EQ( heap.LoadAlloc( 0 ), nullptr );
	EXPECT_EQ( heap.Free( load ), 1 );
	EXPECT_EQ( heap.LoadAlloc( 0 ), tail - 1 );
}

TEST_F( DTMemHeapTest, LoadAllocLooksOnlyAtTheGapBelowTheTail ) {
	// Fill the heap, then open a hole in the middle: the space exists, but
	// not below the tail.
	std::vector<mmheader*> blocks;
	while ( mmheader* h = heap.Alloc( 1000 ) ) {
		blocks.push_back( h );
	}
	ASSERT_GE( blocks.size(), 3u );
	ASSERT_LT( heap.GetFirstBlock()->Previous()->Previous()->mi32FreeBytes, 64 );
	ASSERT_EQ( heap.Free( blocks[1] ), 1 );
	const u32 passed = heap.GetBlocksPassed();

	EXPECT_EQ( heap.LoadAlloc( 32 ), nullptr );
	EXPECT_EQ( heap.GetBlocksPassed(), passed );
	EXPECT_FALSE( heap.IsFull() );
	WalkHeap( heap );
}

TEST_F( DTMemHeapTest, ReAllocResizesInPlaceWhenTheGapAllowsAndMovesOtherwise ) {
	mmheader* a = heap.Alloc( 64 );		// 96
	mmheader* b = heap.Alloc( 64 );		// 96
	std::memset( a->Payload(), 0x42, 64 );

	struct Case {
		u32		request;
		bool	inPlace;
		u32		blockSize;
	};
	const Case inPlace[] = {
		{ 10, true, 64 },	// shrinking always stays
		{ 64, true, 96 },	// back to the old size within its own gap
		{ 0, true, 32 },
		{ 64, true, 96 },
	};
	for ( const Case& c : inPlace ) {
		EXPECT_EQ( heap.ReAlloc( a, c.request ), a ) << c.request;
		EXPECT_EQ( a->mui32Size, c.blockSize );
		EXPECT_EQ( a->Next(), b );
		WalkHeap( heap );
	}
	EXPECT_EQ( heap.GetBytesInUse(), 192u );

	// b borders the big free gap: it grows in place.
	EXPECT_EQ( heap.ReAlloc( b, 1000 ), b );
	EXPECT_EQ( heap.GetBytesInUse(), 96u + 1056u );

	// a has no gap left: it moves, keeping its contents.
	std::memset( a->Payload(), 0x42, 64 );
	mmheader* moved = heap.ReAlloc( a, 200 );
	ASSERT_NE( moved, nullptr );
	EXPECT_NE( moved, a );
	EXPECT_EQ( moved->mui32Size, 256u );
	const u8* payload = static_cast<u8*>( moved->Payload() );
	for ( u32 i = 0; i < 64; i++ ) {
		ASSERT_EQ( payload[i], 0x42 ) << i;
	}
	EXPECT_EQ( a->mui32Magic, MM_MAGIC_FREE );
	EXPECT_EQ( heap.GetBytesInUse(), 1056u + 256u );
	WalkHeap( heap );
}

TEST_F( DTMemHeapTest, ReAllocWithoutRoomLeavesTheBlockAsItWas ) {
	mmheader* a = heap.Alloc( 64 );
	mmheader* rest = heap.Alloc( HEAP_BYTES - 64 - 96 - 32 );
	ASSERT_NE( rest, nullptr );
	std::memset( a->Payload(), 0x42, 64 );

	EXPECT_EQ( heap.ReAlloc( a, 1000 ), nullptr );
	EXPECT_EQ( a->mui32Magic, MM_MAGIC_IN_USE );
	EXPECT_EQ( a->mui32Size, 96u );
	EXPECT_EQ( static_cast<u8*>( a->Payload() )[63], 0x42 );
	EXPECT_EQ( WalkHeap( heap ).liveBlocks, 2u );
}

// Interrupt-level work that falls due during an edit must see the list
// either before or after it, never half-edited.
u32			blocksSeenByInterrupt = 0;

void CountBlocksAtInterrupt( void* context ) {
	const DTMemHeap* heap = static_cast<const DTMemHeap*>( context );
	blocksSeenByInterrupt = static_cast<u32>( WalkHeap( *heap ).liveBlocks );
}

TEST_F( DTMemHeapTest, InterruptWorkDueDuringAnEditRunsOnlyOnceTheEditIsDone ) {
	struct Case {
		const char*	name;
		u32			expectedBlocks;
	};
	const Case cases[] = { { "Alloc", 1 }, { "LoadAlloc", 2 }, { "Free", 1 } };
	mmheader* first = nullptr;
	for ( const Case& c : cases ) {
		blocksSeenByInterrupt = 0xFFFFFFFF;
		HostPostEventAfter( 0, CountBlocksAtInterrupt, &heap );
		const std::string name = c.name;
		if ( name == "Alloc" ) {
			first = heap.Alloc( 10 );
		} else if ( name == "LoadAlloc" ) {
			heap.LoadAlloc( 10 );
		} else {
			heap.Free( first );
		}
		EXPECT_EQ( blocksSeenByInterrupt, c.expectedBlocks ) << c.name;
		EXPECT_TRUE( HostInterruptsEnabled() ) << c.name;
	}

	// Called with interrupts disabled, the heap leaves them disabled.
	const BOOL level = OSDisableInterrupts();
	heap.Alloc( 10 );
	EXPECT_FALSE( HostInterruptsEnabled() );
	OSRestoreInterrupts( level );
}

}
