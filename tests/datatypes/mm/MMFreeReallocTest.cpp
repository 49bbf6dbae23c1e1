#include "datatypes/mm/MMTestFixture.h"

#include <cstring>
#include <set>
#include <vector>

namespace {

using MMFreeReallocTest = MMLayerTest;

struct HeapState {
	std::vector<mmheader*>	blocks;
	u32						bytes;
	u32						live;
	u32						poolFree[MM_POOL_COUNT];

	bool operator==( const HeapState& ) const = default;
};

HeapState Snapshot() {
	HeapState state;
	state.blocks = WalkHeap( *_MemHeap[0] ).blocks;
	const std::vector<mmheader*> level = WalkHeap( *_MemHeap[1] ).blocks;
	state.blocks.insert( state.blocks.end(), level.begin(), level.end() );
	state.bytes = _MemHeap[0]->GetBytesInUse() + _MemHeap[1]->GetBytesInUse();
	state.live = _MemHeap[0]->GetLiveBlocks() + _MemHeap[1]->GetLiveBlocks();
	for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
		state.poolFree[i] = _MemPool[i] != nullptr ? _MemPool[i]->CountFree() : 0;
	}
	return state;
}

TEST_F( MMFreeReallocTest, FreeReturnsHeapBlocksAndPoolElementsToTheirOwners ) {
	StartWithPools();
	const HeapState start = Snapshot();
	void* element = MMMalloc( 50 );
	void* block = MMMalloc( 500 );
	EXPECT_EQ( _MemPool[2]->CountFree(), start.poolFree[2] - 1 );

	MMFree( element );
	MMFree( block );
	EXPECT_EQ( Snapshot(), start );
	// Pool elements are not filled when freed; heap payloads are.
	EXPECT_EQ( static_cast<u8*>( block )[0], 0xDD );
	EXPECT_EQ( static_cast<u8*>( block )[499], 0xDD );
	MMFree( nullptr );
}

TEST_F( MMFreeReallocTest, FreeingTwiceChangesNoListAndHandsNothingOutTwice ) {
	StartWithPools();
	void* block = MMMalloc( 500 );
	MMMalloc( 500 );
	MMFree( block );
	const std::vector<mmheader*> blocks = WalkHeap( *_MemHeap[0] ).blocks;
	MMFree( block );
	EXPECT_EQ( WalkHeap( *_MemHeap[0] ).blocks, blocks );
	EXPECT_EQ( Header( block )->mui32Magic, MM_MAGIC_FREE );

	void* element = MMMalloc( 10 );
	MMFree( element );
	MMFree( element );
	std::set<void*> seen;
	for ( u32 i = 0; i < _MemPoolSize[0].ui32Count + 1; i++ ) {
		void* p = MMMalloc( 10 );
		EXPECT_EQ( Index( p ), 0u );
		EXPECT_TRUE( seen.insert( p ).second ) << i;
	}
	EXPECT_EQ( Index( MMMalloc( 10 ) ), 1u );
}

TEST_F( MMFreeReallocTest, IgnoresPointersItDidNotHandOut ) {
	StartWithPools();
	// A live heap block whose payload holds forged headers.
	u8* host = static_cast<u8*>( MMMalloc( 4096 ) );
	std::memset( host, 0, 4096 );
	u8 local[64] = {};
	u8* arena = HostArenaBase();

	struct Case {
		const char*	what;
		u32			forgedTag;	// written 32 bytes in front of the pointer; 0: none
		u8*			pointer;
	};
	const Case cases[] = {
		{ "outside the arena", 0, local + 32 },
		{ "first bytes of the arena", 0, arena + 16 },
		{ "the head sentinel", 0, arena + 32 },
		{ "interior of a live block", 0, host + 256 },
		{ "unknown kind", MMMakeTag( 2, 0 ), host + 320 },
		{ "heap index out of range", MMMakeTag( MM_TAG_KIND_HEAP, 5 ), host + 384 },
		{ "pool index out of range", MMMakeTag( MM_TAG_KIND_POOL, 6 ), host + 448 },
		{ "heap 1 tag inside heap 0", MMMakeTag( MM_TAG_KIND_HEAP, 1 ), host + 512 },
		{ "pool tag inside heap 0", MMMakeTag( MM_TAG_KIND_POOL, 0 ), host + 576 },
		{ "low tag bits set", MMMakeTag( MM_TAG_KIND_HEAP, 0 ) | 1, host + 640 },
		{ "header off the block grid", MMMakeTag( MM_TAG_KIND_HEAP, 0 ), host + 712 },
	};
	for ( const Case& c : cases ) {
		if ( c.forgedTag != 0 ) {
			mmheader* forged = Header( c.pointer );
			forged->mui32Magic = MM_MAGIC_IN_USE;
			forged->mui32Size = 64;
			forged->mui32Tag = c.forgedTag;
		}
		const HeapState before = Snapshot();
		MMFree( c.pointer );
		EXPECT_EQ( Snapshot(), before ) << c.what;
		EXPECT_EQ( MMRealloc( c.pointer, 100 ), nullptr ) << c.what;
		MMVFree( c.pointer );
		EXPECT_EQ( Snapshot(), before ) << c.what;
	}
}

TEST_F( MMFreeReallocTest, ReallocKeepsTheContentsWhereverTheBlockGoes ) {
	StartWithPools();
	struct Case {
		const char*	what;
		u32			from;
		u32			to;
		bool		samePointer;
		u32			kind;
	};
	const Case cases[] = {
		{ "pool to pool", 20, 60, false, MM_TAG_KIND_POOL },
		{ "pool to heap", 90, 300, false, MM_TAG_KIND_HEAP },
		{ "heap shrinking", 900, 120, true, MM_TAG_KIND_HEAP },
		{ "heap growing into its gap", 900, 2000, true, MM_TAG_KIND_HEAP },
		{ "heap growing past its gap", 900, 2000, false, MM_TAG_KIND_HEAP },
	};
	for ( const Case& c : cases ) {
		u8* p = static_cast<u8*>( MMMalloc( c.from ) );
		for ( u32 i = 0; i < c.from; i++ ) {
			p[i] = static_cast<u8>( i * 7 );
		}
		// A neighbour right behind the block leaves it no gap.
		void* neighbour = c.samePointer ? nullptr : MMMalloc( c.from );
		u8* q = static_cast<u8*>( MMRealloc( p, c.to ) );
		ASSERT_NE( q, nullptr ) << c.what;
		EXPECT_EQ( q == p, c.samePointer ) << c.what;
		EXPECT_EQ( Kind( q ), c.kind ) << c.what;
		const u32 kept = c.from < c.to ? c.from : c.to;
		for ( u32 i = 0; i < kept; i++ ) {
			ASSERT_EQ( q[i], static_cast<u8>( i * 7 ) ) << c.what << " byte " << i;
		}
		if ( !c.samePointer ) {
			EXPECT_EQ( Header( p )->mui32Magic, MM_MAGIC_FREE ) << c.what;
		}
		MMFree( neighbour );
		WalkHeap( *_MemHeap[0] );
	}
	EXPECT_EQ( Kind( MMRealloc( nullptr, 40 ) ), MM_TAG_KIND_POOL );
}

TEST_F( MMFreeReallocTest, ReallocOfAFreedBlockIsRefused ) {
	StartWithPools();
	void* block = MMMalloc( 500 );
	void* element = MMMalloc( 30 );
	MMFree( block );
	MMFree( element );
	const HeapState before = Snapshot();
	EXPECT_EQ( MMRealloc( block, 100 ), nullptr );
	EXPECT_EQ( MMRealloc( element, 10 ), nullptr );
	EXPECT_EQ( Snapshot(), before );
}

TEST_F( MMFreeReallocTest, ReallocWithoutRoomKeepsTheBlock ) {
	Start();
	u8* p = static_cast<u8*>( MMMalloc( 500 ) );
	std::memset( p, 0x33, 500 );
	EXPECT_EQ( MMRealloc( p, 0xFFFFFF00u ), nullptr );
	EXPECT_EQ( Header( p )->mui32Magic, MM_MAGIC_IN_USE );
	EXPECT_EQ( p[499], 0x33 );
}

TEST_F( MMFreeReallocTest, CallocClearsAReusedElementAndRefusesOverflowingCounts ) {
	StartWithPools();
	u8* dirty = static_cast<u8*>( MMMalloc( 64 ) );
	std::memset( dirty, 0xEE, 64 );
	MMFree( dirty );

	u8* p = static_cast<u8*>( MMCalloc( 16, 4 ) );
	ASSERT_EQ( p, dirty );
	for ( u32 i = 0; i < 64; i++ ) {
		ASSERT_EQ( p[i], 0 ) << i;
	}
	struct Case {
		u32		count;
		u32		size;
	};
	const Case overflowing[] = { { 0x10000, 0x10000 }, { 0xFFFFFFFF, 2 }, { 2, 0x80000000u } };
	for ( const Case& c : overflowing ) {
		EXPECT_EQ( MMCalloc( c.count, c.size ), nullptr ) << c.count << " x " << c.size;
	}
	EXPECT_NE( MMCalloc( 0, 100 ), nullptr );
}

TEST_F( MMFreeReallocTest, WorkAreasAlwaysTakeTheirBuffersFromHeap0 ) {
	Start();
	MMChangeHeap( MM_LEVEL_HEAP );
	DTWorkMemory area;
	ASSERT_TRUE( area.SetSize( 1000 ) );
	void* buffer = area.Get( 1 );
	EXPECT_TRUE( _MemHeap[0]->Contains( Header( buffer ) ) );
	EXPECT_EQ( Index( buffer ), 0u );

	// Resizing gives the old buffer back to heap 0.
	const u32 liveBefore = _MemHeap[0]->GetLiveBlocks();
	const u32 bytesBefore = _MemHeap[0]->GetBytesInUse();
	ASSERT_TRUE( area.SetSize( 2000 ) );
	EXPECT_EQ( area.GetFree(), 2000u );
	EXPECT_EQ( _MemHeap[0]->GetLiveBlocks(), liveBefore );
	EXPECT_EQ( _MemHeap[0]->GetBytesInUse(), bytesBefore - 1056 + 2048 );

	// Too large for heap 0: no buffer at all, rather than a bad one.
	const u32 live = _MemHeap[0]->GetLiveBlocks();
	EXPECT_FALSE( area.SetSize( 0x9000000 ) );
	EXPECT_EQ( area.GetBuffer(), nullptr );
	EXPECT_EQ( area.GetFree(), 0u );
	EXPECT_EQ( area.Get( 1 ), nullptr );
	EXPECT_EQ( _MemHeap[0]->GetLiveBlocks(), live - 1 );
}

TEST_F( MMFreeReallocTest, AfterTerminationFreesAreIgnoredAndPoolsAreSkipped ) {
	StartWithPools();
	void* block = MMMalloc( 300 );
	MMTerminate();
	for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
		EXPECT_EQ( _MemPool[i], nullptr );
	}
	EXPECT_EQ( _WorkMem, nullptr );
	EXPECT_EQ( _ScratchPad, nullptr );

	MMFree( block );
	EXPECT_EQ( Header( block )->mui32Magic, MM_MAGIC_IN_USE );
	MMSetAllocFlag( MM_ALLOC_POOLS_ON );
	void* small = MMMalloc( 8 );
	ASSERT_NE( small, nullptr );
	EXPECT_EQ( Kind( small ), MM_TAG_KIND_HEAP );
	MMTerminate();
	WalkHeap( *_MemHeap[0] );
}

}
