#include "platform/am/AM.h"
#include "platform/os/OSHost.h"
#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ar/ARHostCheck.h"
#include "platform/arq/ARQ.h"
#include "platform/arq/ARQHost.h"
#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/vm/VM.h"
#include "platform/vm/VMHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr u32 BLOCK = 64;

std::vector<u32>	completionOrder;
u32					callbackDepth = 0;
u32					deepestCallback = 0;
bool				interruptsSeenEnabled = false;

void RecordOwner( ARQRequest* request ) {
	++callbackDepth;
	deepestCallback = std::max( deepestCallback, callbackDepth );
	interruptsSeenEnabled = interruptsSeenEnabled || HostInterruptsEnabled();
	completionOrder.push_back( request->owner );
	--callbackDepth;
}

class ARQTest : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		HostAudioReset();
		ARInit( stack, 2 );
		ARQInit();
		completionOrder.clear();
		callbackDepth = 0;
		deepestCallback = 0;
		interruptsSeenEnabled = false;
		for ( u32 i = 0; i < BLOCK; ++i ) {
			source[i] = static_cast<u8>( i + 1 );
		}
	}

	void TearDown() override {
		HostAudioReset();
	}

	u8* Aram( const u32 address ) { return ARHostMemory() + address; }

	u32			stack[2];
	alignas( 32 ) u8	source[BLOCK];
	alignas( 32 ) u8	target[BLOCK] = {};
};

TEST_F( ARQTest, CompletesHighPriorityFirstThenInPostingOrder ) {
	ARQRequest requests[5];
	const u32 priorities[5] = { ARQ_PRIORITY_LOW, ARQ_PRIORITY_HIGH, ARQ_PRIORITY_LOW, ARQ_PRIORITY_HIGH, ARQ_PRIORITY_LOW };
	for ( u32 i = 0; i < 5; ++i ) {
		ARQPostRequest( &requests[i], i, ARQ_TYPE_MRAM_TO_ARAM, priorities[i], reinterpret_cast<ARQAddress>( source ),
						0x10000 + i * BLOCK, BLOCK, RecordOwner );
	}
	HostDeliverEvents();
	EXPECT_EQ( completionOrder, ( std::vector<u32>{ 1, 3, 0, 2, 4 } ) );
	EXPECT_EQ( ARQHostPendingCount(), 0u );
}

TEST_F( ARQTest, CopiesTheSourceAsItIsAtCompletionInBothDirections ) {
	ARQRequest toAram;
	ARQPostRequest( &toAram, 0, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH, reinterpret_cast<ARQAddress>( source ), 0x20000,
					BLOCK, RecordOwner );
	source[0] = 0xEE;	// changed after the post, before the dispatch point
	EXPECT_EQ( Aram( 0x20000 )[0], 0 );
	HostDeliverEvents();
	EXPECT_EQ( Aram( 0x20000 )[0], 0xEE );
	EXPECT_EQ( std::memcmp( Aram( 0x20000 ) + 1, source + 1, BLOCK - 1 ), 0 );

	ARQRequest fromAram;
	ARQPostRequest( &fromAram, 1, ARQ_TYPE_ARAM_TO_MRAM, ARQ_PRIORITY_LOW, 0x20000, reinterpret_cast<ARQAddress>( target ),
					BLOCK, RecordOwner );
	Aram( 0x20000 )[5] = 0x55;
	HostDeliverEvents();
	EXPECT_EQ( target[0], 0xEE );
	EXPECT_EQ( target[5], 0x55 );
}

TEST_F( ARQTest, DeliversOnlyAtDispatchPointsAfterTheLatency ) {
	const struct {
		s64		fixedTicks;
		s64		ticksPerKilobyte;
		s64		expectedTicks;
	} cases[] = {
		{ 0, 0, 0 },
		{ 1000, 0, 1000 },
		{ 0, 2048, 128 },		// 64 bytes at 2048 ticks per KB
		{ 500, 1024, 564 },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.expectedTicks );
		completionOrder.clear();
		ARQHostSetLatency( c.fixedTicks, c.ticksPerKilobyte );
		ARQRequest request;
		const s64 posted = HostClockNow();
		ARQPostRequest( &request, 7, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH, reinterpret_cast<ARQAddress>( source ),
						0x30000, BLOCK, RecordOwner );
		EXPECT_TRUE( completionOrder.empty() ) << "completed inside the post";
		if ( c.expectedTicks > 0 ) {
			HostAdvanceTime( c.expectedTicks - 1 );
			EXPECT_TRUE( completionOrder.empty() ) << "completed before its latency";
			HostAdvanceTime( 1 );
		} else {
			HostDeliverEvents();
		}
		ASSERT_EQ( completionOrder.size(), 1u );
		EXPECT_EQ( HostClockNow() - posted, c.expectedTicks );
	}
}

ARQRequest	chained;
ARQRequest	first;
u8*			chainedSource = nullptr;
bool		chainedDoneInsideFirst = false;

void PostFromCallback( ARQRequest* request ) {
	RecordOwner( request );
	++callbackDepth;
	ARQPostRequest( &chained, 2, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH, reinterpret_cast<ARQAddress>( chainedSource ),
					0x40000, BLOCK, RecordOwner );
	chainedDoneInsideFirst = completionOrder.size() > 1;
	--callbackDepth;
}

TEST_F( ARQTest, RunsCallbacksWithInterruptsDisabledAndDefersPostsMadeInsideThem ) {
	chainedSource = source;
	chainedDoneInsideFirst = false;
	ARQPostRequest( &first, 1, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_LOW, reinterpret_cast<ARQAddress>( source ), 0x40000 - BLOCK,
					BLOCK, PostFromCallback );
	HostDeliverEvents();
	EXPECT_FALSE( chainedDoneInsideFirst );
	EXPECT_EQ( completionOrder, ( std::vector<u32>{ 1, 2 } ) );
	EXPECT_EQ( deepestCallback, 1u ) << "a completion ran inside another";
	EXPECT_FALSE( interruptsSeenEnabled );
	EXPECT_TRUE( HostInterruptsEnabled() );
}

TEST_F( ARQTest, RefusesAndCountsBadPostsWithoutCallingBack ) {
	AMInit( 0x8000, 0x10000 );
	const ARQAddress main = reinterpret_cast<ARQAddress>( source );
	const struct {
		const char*		name;
		u32				type;
		ARQAddress		source;
		ARQAddress		destination;
		u32				length;
		ARHostCheck		kind;
	} cases[] = {
		{ "misaligned main memory", ARQ_TYPE_MRAM_TO_ARAM, main + 4, 0x20000, BLOCK, AR_CHECK_MISALIGNED },
		{ "misaligned auxiliary address", ARQ_TYPE_MRAM_TO_ARAM, main, 0x20010, BLOCK, AR_CHECK_MISALIGNED },
		{ "misaligned length", ARQ_TYPE_ARAM_TO_MRAM, 0x20000, main, 48 + 1, AR_CHECK_MISALIGNED },
		{ "system memory below the base", ARQ_TYPE_MRAM_TO_ARAM, main, 0, BLOCK, AR_CHECK_OUT_OF_RANGE },
		{ "past the end", ARQ_TYPE_MRAM_TO_ARAM, main, AR_HOST_SIZE - 32, BLOCK, AR_CHECK_OUT_OF_RANGE },
		{ "length that wraps", ARQ_TYPE_ARAM_TO_MRAM, 0x20000, main, 0xFFFFFFE0u, AR_CHECK_OUT_OF_RANGE },
		{ "address beyond 32 bits", ARQ_TYPE_MRAM_TO_ARAM, main, 0x100020000ull, BLOCK, AR_CHECK_OUT_OF_RANGE },
		{ "null main memory", ARQ_TYPE_ARAM_TO_MRAM, 0x20000, 0, BLOCK, AR_CHECK_OUT_OF_RANGE },
		{ "unknown type", 5, main, 0x20000, BLOCK, AR_CHECK_OUT_OF_RANGE },
		{ "into the zero buffer", ARQ_TYPE_MRAM_TO_ARAM, main, 0x8000 + 0xE0, BLOCK, AR_CHECK_ZERO_BUFFER },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.name );
		ARHostResetChecks();
		ARQRequest request;
		ARQPostRequest( &request, 0, c.type, ARQ_PRIORITY_HIGH, c.source, c.destination, c.length, RecordOwner );
		EXPECT_EQ( ARHostFailureCount( c.kind ), 1u );
		EXPECT_EQ( ARHostFailureTotal(), 1u );
		EXPECT_EQ( ARQHostPendingCount(), 0u );
	}
	HostDeliverEvents();
	EXPECT_TRUE( completionOrder.empty() );
	for ( u32 i = 0; i < AM_ZERO_BUFFER_BYTES; ++i ) {
		ASSERT_EQ( Aram( 0x8000 )[i], 0 ) << "zero buffer byte " << i;
	}
}

TEST_F( ARQTest, RefusesARecordPostedAgainWhilePending ) {
	ARQRequest request;
	for ( const bool started : { false, true } ) {
		SCOPED_TRACE( started );
		ARHostResetChecks();
		completionOrder.clear();
		ARQHostSetLatency( started ? 100 : 0, 0 );
		ARQPostRequest( &request, 1, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH, reinterpret_cast<ARQAddress>( source ),
						0x20000, BLOCK, RecordOwner );
		if ( started ) {
			HostDeliverEvents();	// in flight, not yet complete
		}
		ARQPostRequest( &request, 2, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH, reinterpret_cast<ARQAddress>( source ),
						0x20040, BLOCK, RecordOwner );
		EXPECT_EQ( ARHostFailureCount( AR_CHECK_POSTED_TWICE ), 1u );
		HostAdvanceTime( 100 );
		EXPECT_EQ( completionOrder, ( std::vector<u32>{ 1 } ) );
	}
}

TEST_F( ARQTest, MakesFailedChecksFatalWhenAsked ) {
	struct Panicked {};
	const OSHostPanicHook previous = OSHostSetPanicHook( []( const char*, s32, const char* ) { throw Panicked{}; } );
	ARHostSetChecksFatal( true );
	ARQRequest request;
	EXPECT_THROW( ARQPostRequest( &request, 0, ARQ_TYPE_MRAM_TO_ARAM, ARQ_PRIORITY_HIGH,
								  reinterpret_cast<ARQAddress>( source ), 0x20001, BLOCK, RecordOwner ),
				  Panicked );
	OSHostSetPanicHook( previous );
}

TEST( ARTest, AllocatesFromANonZeroBaseUntilRecordsOrMemoryRunOut ) {
	HostAudioReset();
	u32 records[3];
	ARInit( records, 3 );
	EXPECT_EQ( ARGetSize(), 0x1000000u );
	const u32 base = ARGetBaseAddress();
	EXPECT_NE( base, 0u );
	EXPECT_EQ( ARAlloc( 100 ), base );
	EXPECT_EQ( ARAlloc( 32 ), base + 128 ) << "sizes are raised to 32";
	EXPECT_EQ( ARAlloc( ARGetSize() ), 0u ) << "more than is left";
	EXPECT_EQ( ARAlloc( 32 ), base + 160 );
	EXPECT_EQ( ARAlloc( 32 ), 0u ) << "no record left";
	EXPECT_EQ( ARHostFailureCount( AR_CHECK_ALLOCATION ), 2u );
	EXPECT_EQ( records[0], base );
	HostAudioReset();
}

TEST( ARTest, ReportsWhereVirtualMemoryBegins ) {
	HostAudioReset();
	VMHostReset();
	EXPECT_EQ( ARHostVirtualMemoryStart(), ARGetSize() );
	const u32 auxBytes = 12288 * 1024;
	VMInit( 0x280000, ARGetSize() - auxBytes, auxBytes );
	EXPECT_EQ( ARHostVirtualMemoryStart(), ARGetSize() - auxBytes );
	VMHostReset();
}

TEST( AMTest, ClearsOnlyTheZeroBufferOfItsBlock ) {
	HostAudioReset();
	u32 records[1];
	ARInit( records, 1 );
	const u32 size = ARGetSize() - ARGetBaseAddress();
	const u32 base = ARAlloc( size );
	std::memset( ARHostMemory() + base, 0xFF, 1024 );
	AMInit( base, size );
	EXPECT_EQ( AMGetZeroBuffer(), base );
	for ( u32 i = 0; i < AM_ZERO_BUFFER_BYTES; ++i ) {
		ASSERT_EQ( ARHostMemory()[base + i], 0 ) << i;
	}
	EXPECT_EQ( ARHostMemory()[base + AM_ZERO_BUFFER_BYTES], 0xFF );
	HostAudioReset();
}

}
