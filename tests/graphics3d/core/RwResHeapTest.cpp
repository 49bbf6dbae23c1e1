#include "graphics3d/core/RwResHeap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr u32 BUFFER_BYTES = 8192;

class RwResHeapTest : public ::testing::Test {
protected:
	void SetUp() override {
		buffer = static_cast<u8*>( std::aligned_alloc( 32, BUFFER_BYTES ) );
		ASSERT_NE( buffer, nullptr );
	}
	void TearDown() override { std::free( buffer ); }

	// A heap whose single free block has exactly payload bytes.
	RwResHeap* HeapWithPayload( const u32 payload ) {
		// Record at 0, first header at 32, payload after it.
		if ( !_rwResHeapInit( buffer, 32 + 32 + payload ) ) {
			return nullptr;
		}
		return reinterpret_cast<RwResHeap*>( buffer );
	}

	u8*	buffer = nullptr;
};

RwResHeapBlockHeader* HeaderOf( void* payload ) {
	return reinterpret_cast<RwResHeapBlockHeader*>( static_cast<u8*>( payload ) - sizeof( RwResHeapBlockHeader ) );
}

TEST_F( RwResHeapTest, PutsTheFirstHeaderOnTheFirstBoundaryAfterTheRecord ) {
	struct Case {
		u32		startOffset;
		u32		size;
		bool	made;
		u32		headerOffset;	// from the buffer start
		u32		payload;
	};
	const Case cases[] = {
		{ 0, 1024, true, 32, 960 },	 { 8, 1024, true, 32, 960 }, { 16, 1024, true, 32, 960 },
		{ 24, 1024, true, 64, 928 }, { 0, 1000, true, 32, 928 }, { 0, 96, true, 32, 32 },
		{ 0, 95, false, 0, 0 },		 { 0, 16, false, 0, 0 },	 { 0, 8, false, 0, 0 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.startOffset );
		SCOPED_TRACE( c.size );
		u8* const start = buffer + c.startOffset;
		ASSERT_EQ( _rwResHeapInit( start, c.size ), c.made );
		if ( !c.made ) {
			continue;
		}
		const RwResHeap* const heap = reinterpret_cast<RwResHeap*>( start );
		EXPECT_EQ( reinterpret_cast<u8*>( heap->firstBlock ), buffer + c.headerOffset );
		EXPECT_EQ( heap->freeBlocks, heap->firstBlock );
		EXPECT_EQ( heap->firstBlock->size, c.payload );
		EXPECT_EQ( heap->firstBlock->next, nullptr );
	}
	EXPECT_FALSE( _rwResHeapInit( nullptr, 1024 ) );
}

TEST_F( RwResHeapTest, RoundsRequestsToWholeUnitsAndSplitsOnlyMoreThan64Spare ) {
	struct Case {
		u32		freePayload;
		u32		request;
		u32		taken;
		u32		restPayload;	// 0: not split
	};
	const Case cases[] = {
		{ 96, 1, 96, 0 },	 { 96, 32, 96, 0 },	 { 128, 32, 32, 64 }, { 128, 33, 128, 0 },
		{ 160, 1, 32, 96 },	 { 160, 64, 64, 64 }, { 1024, 0, 0, 992 }, { 1024, 100, 128, 864 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.freePayload );
		SCOPED_TRACE( c.request );
		RwResHeap* const heap = HeapWithPayload( c.freePayload );
		ASSERT_NE( heap, nullptr );
		void* const payload = _rwResHeapAlloc( heap, c.request );
		ASSERT_NE( payload, nullptr );
		RwResHeapBlockHeader* const block = HeaderOf( payload );
		EXPECT_EQ( block->size, c.taken );
		EXPECT_EQ( reinterpret_cast<uintptr_t>( payload ) % 32, 0u );
		if ( c.restPayload == 0 ) {
			EXPECT_EQ( block->next, nullptr );
			EXPECT_EQ( heap->freeBlocks, nullptr );
		} else {
			ASSERT_NE( block->next, nullptr );
			EXPECT_EQ( reinterpret_cast<u8*>( block->next ), static_cast<u8*>( payload ) + c.taken );
			EXPECT_EQ( block->next->size, c.restPayload );
			EXPECT_EQ( block->next->prev, block );
			EXPECT_EQ( heap->freeBlocks, block->next );
		}
	}
}

TEST_F( RwResHeapTest, TakesTheSmallestFittingBlockAndTheFirstOfEqualSizes ) {
	RwResHeap* const heap = HeapWithPayload( 4096 );
	// Free blocks of 64, 96 and 64 bytes kept apart by used ones.
	const u32 sizes[] = { 64, 32, 96, 32, 64, 32 };
	std::vector<void*> blocks;
	for ( const u32 size : sizes ) {
		blocks.push_back( _rwResHeapAlloc( heap, size ) );
	}
	_rwResHeapFree( blocks[0] );
	_rwResHeapFree( blocks[2] );
	_rwResHeapFree( blocks[4] );
	EXPECT_EQ( heap->freeBlocks, HeaderOf( blocks[0] ) );

	EXPECT_EQ( _rwResHeapAlloc( heap, 60 ), blocks[0] );
	EXPECT_EQ( heap->freeBlocks, HeaderOf( blocks[2] ) );
	EXPECT_EQ( _rwResHeapAlloc( heap, 64 ), blocks[4] );
	EXPECT_EQ( _rwResHeapAlloc( heap, 65 ), blocks[2] );
}

TEST_F( RwResHeapTest, FreeingMergesNeighboursUnderTheLowerHeader ) {
	RwResHeap* const heap = HeapWithPayload( 1024 );
	void* const a = _rwResHeapAlloc( heap, 64 );
	void* const b = _rwResHeapAlloc( heap, 128 );
	void* const c = _rwResHeapAlloc( heap, 64 );
	void* const d = _rwResHeapAlloc( heap, 64 );

	_rwResHeapFree( a );
	_rwResHeapFree( b );
	EXPECT_EQ( HeaderOf( a )->size, 64u + 32 + 128 );
	EXPECT_EQ( HeaderOf( a )->next, HeaderOf( c ) );
	EXPECT_EQ( HeaderOf( c )->prev, HeaderOf( a ) );

	// c merges with both sides: a below, d's neighbour above is used.
	_rwResHeapFree( c );
	EXPECT_EQ( HeaderOf( a )->size, 64u + 32 + 128 + 32 + 64 );
	EXPECT_EQ( HeaderOf( a )->next, HeaderOf( d ) );
	_rwResHeapFree( d );
	EXPECT_EQ( HeaderOf( a )->size, 1024u );
	EXPECT_EQ( HeaderOf( a )->next, nullptr );
	EXPECT_EQ( heap->freeBlocks, HeaderOf( a ) );
	EXPECT_EQ( _rwResHeapAlloc( heap, 1024 ), a );
}

TEST_F( RwResHeapTest, FailsRequestsThatDoNotFitOrWouldWrapWhenRounded ) {
	RwResHeap* const heap = HeapWithPayload( 256 );
	const u32 requests[] = { 257, 0xFFFFFFFFu, 0xFFFFFFE1u, 0xFFFFFFE0u };
	for ( const u32 request : requests ) {
		EXPECT_EQ( _rwResHeapAlloc( heap, request ), nullptr ) << request;
	}
	EXPECT_NE( _rwResHeapAlloc( heap, 256 ), nullptr );
	EXPECT_EQ( _rwResHeapAlloc( heap, 1 ), nullptr );
	EXPECT_EQ( _rwResHeapAlloc( nullptr, 1 ), nullptr );
	_rwResHeapFree( nullptr );
}

}	// namespace
