#include "datatypes/memory/DTMemPool.h"

#include "datatypes/memory/HeapWalker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

class DTMemPoolTest : public ::testing::Test {
protected:
	void SetUp() override {
		buffer = ArenaTestBuffer( 64 * 1024 );
		std::memset( buffer, 0x5A, 64 * 1024 );
	}

	u8*		buffer = nullptr;
};

TEST_F( DTMemPoolTest, HandsOutCountPlusOneElementsInAddressOrderThenNull ) {
	struct Case {
		u32		count;
		u32		size;
	};
	const Case cases[] = { { 0, 32 }, { 3, 32 }, { 4, 64 }, { 10, 96 } };
	for ( const Case& c : cases ) {
		DTMemPool pool;
		ASSERT_TRUE( pool.InitialiseOver( buffer, 64 * 1024, c.count, c.size ) );
		EXPECT_EQ( pool.GetElementSize(), c.size );
		EXPECT_EQ( pool.GetBufferSize(), ( c.count + 1 ) * ( c.size + 32 ) );
		EXPECT_EQ( pool.CountFree(), c.count + 1 );
		for ( u32 i = 0; i <= c.count; i++ ) {
			mmheader* h = pool.GetElement();
			ASSERT_NE( h, nullptr );
			EXPECT_EQ( reinterpret_cast<u8*>( h ), buffer + i * ( c.size + 32 ) );
			EXPECT_EQ( h->mui32Magic, MM_MAGIC_IN_USE );
			EXPECT_EQ( h->mui32Size, c.size );
		}
		EXPECT_EQ( pool.GetElement(), nullptr ) << c.count << " " << c.size;
	}
}

TEST_F( DTMemPoolTest, StartsWithEveryElementMarkedFree ) {
	DTMemPool pool;
	ASSERT_TRUE( pool.InitialiseOver( buffer, 64 * 1024, 5, 64 ) );
	for ( u32 i = 0; i < 6; i++ ) {
		const mmheader* h = reinterpret_cast<const mmheader*>( buffer + i * 96 );
		EXPECT_EQ( h->mui32Magic, MM_MAGIC_FREE );
		EXPECT_EQ( h->mui32Size, 64u );
	}
}

TEST_F( DTMemPoolTest, GivesTheLastFreedElementOutFirst ) {
	DTMemPool pool;
	ASSERT_TRUE( pool.InitialiseOver( buffer, 64 * 1024, 3, 32 ) );
	mmheader* a = pool.GetElement();
	mmheader* b = pool.GetElement();
	pool.FreeElement( a );
	pool.FreeElement( b );
	EXPECT_EQ( a->mui32Magic, MM_MAGIC_FREE );
	EXPECT_EQ( pool.GetElement(), b );
	EXPECT_EQ( pool.GetElement(), a );
}

TEST_F( DTMemPoolTest, NeverHandsOutAnElementTwiceAfterADoubleFree ) {
	DTMemPool pool;
	ASSERT_TRUE( pool.InitialiseOver( buffer, 64 * 1024, 3, 32 ) );
	mmheader* a = pool.GetElement();
	pool.FreeElement( a );
	pool.FreeElement( a );
	pool.FreeElement( nullptr );

	// Bounded: a list that a double free corrupted may run in a circle.
	std::set<mmheader*> seen;
	for ( u32 i = 0; i < 4; i++ ) {
		mmheader* h = pool.GetElement();
		ASSERT_NE( h, nullptr ) << i;
		EXPECT_TRUE( seen.insert( h ).second ) << i;
	}
	EXPECT_EQ( pool.GetElement(), nullptr );
}

TEST_F( DTMemPoolTest, RefusesBuffersThatCannotHoldAlignedElements ) {
	struct Case {
		const char*	what;
		u32			offset;
		u32			bytes;
		u32			count;
		u32			size;
	};
	const Case cases[] = {
		{ "unaligned buffer", 16, 4096, 3, 32 },
		{ "size not a multiple of 32", 0, 4096, 3, 40 },
		{ "buffer too small", 0, 4 * 64 - 1, 3, 32 },
		{ "count overflows the buffer", 0, 4096, 0xFFFFFFFF, 32 },
	};
	for ( const Case& c : cases ) {
		DTMemPool pool;
		EXPECT_FALSE( pool.InitialiseOver( buffer + c.offset, c.bytes, c.count, c.size ) ) << c.what;
		EXPECT_EQ( pool.GetElement(), nullptr ) << c.what;
	}
	DTMemPool pool;
	EXPECT_FALSE( pool.InitialiseOver( nullptr, 4096, 3, 32 ) );
	EXPECT_TRUE( pool.InitialiseOver( buffer, 4 * 64, 3, 32 ) );
}

TEST_F( DTMemPoolTest, ClaimsOnlyTheHeadersOfItsOwnElements ) {
	// The pool starts 4096 bytes into the buffer so that addresses in front
	// of it can be asked about too.
	u8* start = buffer + 4096;
	DTMemPool pool;
	ASSERT_TRUE( pool.InitialiseOver( start, 8192, 3, 64 ) );
	struct Case {
		s64		offset;
		bool	owned;
	};
	const Case cases[] = {
		{ 0, true }, { 96, true }, { 3 * 96, true },
		{ 32, false },		// a payload, not a header
		{ 48, false },		// inside an element
		{ 4 * 96, false },	// just past the elements
		{ -96, false },		// just in front of them
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( pool.Contains( reinterpret_cast<const mmheader*>( start + c.offset ) ), c.owned ) << c.offset;
	}
	EXPECT_FALSE( pool.Contains( nullptr ) );
}

}
