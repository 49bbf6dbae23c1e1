#include "datatypes/containers/DTQuickPool.h"
#include "datatypes/maths/DTSphere.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <set>
#include <vector>

namespace {

// A record shaped like the engine's pooled records: payload plus its own
// free-list link.
struct Record {
	u32			mui32Payload[3];
	Record *	mpoNext;
};

// Takes records until the pool gives null (or limit is reached) and
// checks that every one is distinct and writable.
std::vector<Record *> Drain( DTQuickPool<Record> & pool, const u32 limit = 100000 ) {
	std::vector<Record *> taken;
	std::set<Record *> seen;
	for ( u32 i = 0; i < limit; i++ ) {
		Record * record = pool.Allocate();
		if ( record == nullptr ) {
			break;
		}
		EXPECT_TRUE( seen.insert( record ).second ) << "record handed out twice";
		EXPECT_EQ( reinterpret_cast<std::uintptr_t>( record ) % alignof( Record ), 0u );
		std::memset( record, 0xA5, sizeof( Record ) );
		taken.push_back( record );
	}
	return taken;
}

} // namespace

TEST( DTQuickPool, HandsOutTheMaximumInDistinctRecordsThenNull ) {
	struct Case {
		u32		maximum;
		u32		perChunk;
		bool	firstChunkAtOnce;
	};
	const Case cases[] = {
		{ 6, 3, false }, { 50, 50, false }, { 50, 50, true }, { 800, 200, false },
		{ 400, 100, false }, { 7, 3, false }, { 2, 5, true }, { 0, 4, false },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( testing::Message() << c.maximum << "/" << c.perChunk << ( c.firstChunkAtOnce ? " first" : "" ) );
		DTQuickPool<Record> pool;
		ASSERT_TRUE( pool.Init( c.maximum, c.perChunk, c.firstChunkAtOnce ) || c.maximum == 0 );
		EXPECT_EQ( Drain( pool ).size(), c.maximum );
		EXPECT_EQ( pool.Allocate(), nullptr );
		EXPECT_EQ( pool.GetNbAllocated(), c.maximum );
	}
}

TEST( DTQuickPool, ReusesTheLastFreedRecordFirst ) {
	DTQuickPool<Record> pool;
	ASSERT_TRUE( pool.Init( 50, 50 ) );
	std::vector<Record *> taken = Drain( pool );
	ASSERT_EQ( taken.size(), 50u );
	pool.Free( taken[10] );
	pool.Free( taken[20] );
	pool.Free( nullptr );
	EXPECT_EQ( pool.Allocate(), taken[20] );
	EXPECT_EQ( pool.Allocate(), taken[10] );
	EXPECT_EQ( pool.Allocate(), nullptr );
}

TEST( DTQuickPool, ResetAllHandsEveryRecordOutAgainExactlyOnce ) {
	struct Case {
		u32 maximum;
		u32 perChunk;
		u32 takenBeforeReset;
	};
	const Case cases[] = {
		{ 6, 3, 6 }, { 6, 3, 4 }, { 6, 3, 1 }, { 800, 200, 800 }, { 800, 200, 350 },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( testing::Message() << c.maximum << "/" << c.perChunk << " after " << c.takenBeforeReset );
		DTQuickPool<Record> pool;
		ASSERT_TRUE( pool.Init( c.maximum, c.perChunk ) );
		const std::vector<Record *> before = Drain( pool, c.takenBeforeReset );
		ASSERT_EQ( before.size(), c.takenBeforeReset );
		pool.Free( before[0] );

		pool.ResetAll();
		const std::vector<Record *> after = Drain( pool );
		EXPECT_EQ( after.size(), c.maximum );
		EXPECT_EQ( pool.GetNbAllocated(), c.maximum );
		// The records of the chunks that existed are reused first.
		if ( !after.empty() ) {
			EXPECT_EQ( after[0], before[0] );
		}

		pool.ResetAll();
		EXPECT_EQ( Drain( pool ).size(), c.maximum );
	}
}

TEST( DTQuickPool, ReleaseFreesEverythingAndStartsAgain ) {
	DTQuickPool<Record> pool;
	ASSERT_TRUE( pool.Init( 50, 50, true ) );
	EXPECT_EQ( pool.GetNbAllocated(), 50u );
	std::vector<Record *> taken = Drain( pool, 5 );
	pool.Free( taken[0] );
	pool.Release();
	EXPECT_TRUE( pool.IsInit() );
	EXPECT_EQ( pool.GetNbAllocated(), 0u );
	EXPECT_EQ( Drain( pool ).size(), 50u );
}

TEST( DTQuickPool, RefusesBadSetUpsAndGivesNothingBeforeSetUp ) {
	DTQuickPool<Record> pool;
	EXPECT_FALSE( pool.IsInit() );
	EXPECT_EQ( pool.Allocate(), nullptr );
	const u32 badPerChunk[] = { 0, DTQuickPool<Record>::MAX_RECORDS_PER_CHUNK + 1 };
	for ( const u32 perChunk : badPerChunk ) {
		EXPECT_FALSE( pool.Init( 10, perChunk ) );
		EXPECT_FALSE( pool.IsInit() );
		EXPECT_EQ( pool.Allocate(), nullptr );
	}
}

TEST( DTQuickPool, HandsOutALentChunkFirstThenGrowsFromTheHeap ) {
	struct Case {
		u32 inHeader;
		u32 toHandOut;
		u32 expectFromChunk;
	};
	const Case cases[] = {
		{ 200, 128, 128 }, { 20, 128, 20 }, { 0, 128, 0 }, { 5, 5, 5 },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( testing::Message() << c.inHeader << " lent, " << c.toHandOut << " to hand out" );
		const u32 header = DTQuickPool<Record>::ChunkHeaderSize();
		std::vector<std::max_align_t> memory( ( header + 200 * sizeof( Record ) ) / sizeof( std::max_align_t ) + 1 );
		u8 * base = reinterpret_cast<u8 *>( memory.data() );
		const u8 * firstRecord = base + header;
		const u8 * endOfHandOut = firstRecord + c.expectFromChunk * sizeof( Record );

		DTQuickPool<Record> pool;
		ASSERT_TRUE( pool.Init( 200, 50 ) );
		ASSERT_TRUE( pool.AddChunk( base, c.inHeader, c.toHandOut ) );
		const std::vector<Record *> taken = Drain( pool );
		ASSERT_EQ( taken.size(), c.expectFromChunk + 200 );
		for ( u32 i = 0; i < taken.size(); i++ ) {
			const u8 * p = reinterpret_cast<const u8 *>( taken[i] );
			const bool inChunk = p >= firstRecord && p < endOfHandOut;
			EXPECT_EQ( inChunk, i < c.expectFromChunk ) << i;
		}
		// The lent chunk's memory stays the caller's.
		pool.Release();
	}
}

TEST( DTQuickPool, RefusesALentChunkItCannotUse ) {
	alignas( 16 ) u8 memory[256];
	DTQuickPool<Record> pool;
	EXPECT_FALSE( pool.AddChunk( memory, 4, 4 ) );	// not set up
	ASSERT_TRUE( pool.Init( 0, 4 ) );
	EXPECT_FALSE( pool.AddChunk( nullptr, 4, 4 ) );
	EXPECT_FALSE( pool.AddChunk( memory + 1, 4, 4 ) );
	EXPECT_EQ( pool.Allocate(), nullptr );
	ASSERT_TRUE( pool.AddChunk( memory, 4, 4 ) );
	EXPECT_EQ( Drain( pool ).size(), 4u );
}

TEST( DTSphere, IsACentreAndARadiusInSixteenBytes ) {
	EXPECT_EQ( sizeof( DTSphere ), 16u );
	EXPECT_EQ( offsetof( DTSphere, mfRadius ), 12u );
	const DTSphere zero;
	EXPECT_EQ( zero.moPos.x, 0.0f );
	EXPECT_EQ( zero.moPos.z, 0.0f );
	EXPECT_EQ( zero.mfRadius, 0.0f );
	const DTSphere s( DTVector3d( 1.0f, 2.0f, 3.0f ), 4.0f );
	EXPECT_EQ( s.moPos.y, 2.0f );
	EXPECT_EQ( s.mfRadius, 4.0f );
	DTVector3d v;
	v.Set( 5.0f, 6.0f, 7.0f );
	EXPECT_EQ( v.x, 5.0f );
	EXPECT_EQ( v.y, 6.0f );
	EXPECT_EQ( v.z, 7.0f );
}
