#include "DVDTestDisc.h"
#include "platform/dvd/DVDHost.h"

#include "platform/os/OS.h"
#include "platform/os/OSHost.h"

#include <cstring>

namespace {

constexpr s64 LATENCY = 500;

void RunUntilIdle() {
	for ( u32 turn = 0; turn < 100000 && DVDGetDriveStatus() != DVD_STATE_END; ++turn ) {
		HostIdle();
	}
}

}

class DVDQueue : public DVDTestDisc {
protected:
	void SetUp() override {
		DVDTestDisc::SetUp();
		WriteFile( "A.BIN", Counting( 4096 ) );
		for ( DVDFileInfo& f : files ) {
			ASSERT_TRUE( DVDOpen( "a.bin", &f ) );
		}
		DVDHostSetReadLatency( LATENCY );
		std::memset( buffers, 0, sizeof( buffers ) );
	}

	BOOL Issue( const u32 index, const s32 priority, const DVDCallback callback = DVDTestRecordCompletion ) {
		return DVDReadAsyncPrio( &files[index], buffers[index], 32, static_cast<s32>( index ) * 32, callback, priority );
	}

	// Which files completed, in order.
	static std::vector<u32> Order( const DVDFileInfo* base ) {
		std::vector<u32> order;
		for ( const DVDTestCompletion& c : DVDTestCompletions() ) {
			order.push_back( static_cast<u32>( c.fileInfo - base ) );
		}
		return order;
	}

	DVDFileInfo	files[6];
	u8			buffers[6][32];
};

TEST_F( DVDQueue, ServesWaitingReadsByPriorityThenInTurn ) {
	const struct {
		s32					priorities[5];
		std::vector<u32>	order;
	} cases[] = {
		{ { 2, 3, 2, 0, 1 }, { 0, 3, 4, 2, 1 } },
		{ { 3, 3, 3, 3, 3 }, { 0, 1, 2, 3, 4 } },
		{ { 0, 1, 2, 3, 0 }, { 0, 4, 1, 2, 3 } },
	};
	for ( const auto& c : cases ) {
		DVDTestCompletions().clear();
		for ( u32 i = 0; i < 5; ++i ) {
			ASSERT_TRUE( Issue( i, c.priorities[i] ) );
		}
		EXPECT_EQ( DVDGetCommandBlockStatus( &files[0].cb ), DVD_STATE_BUSY );
		EXPECT_EQ( DVDGetCommandBlockStatus( &files[1].cb ), DVD_STATE_WAITING );
		RunUntilIdle();
		EXPECT_EQ( Order( files ), c.order );
		EXPECT_EQ( HostClockNow() % ( 5 * LATENCY ), 0 );	// one read at a time
	}
	for ( u32 i = 0; i < 5; ++i ) {
		EXPECT_EQ( buffers[i][0], static_cast<u8>( i * 32 % 255 + 1 ) );
	}
	DVDHostReadRecord record;
	ASSERT_TRUE( DVDHostRecentRead( 0, &record ) );
	EXPECT_EQ( record.offset, 128u );
	EXPECT_EQ( record.length, 32u );
	EXPECT_EQ( record.priority, 0 );
	ASSERT_TRUE( DVDHostRecentRead( 4, &record ) );
	EXPECT_EQ( record.offset, 0u );
	EXPECT_EQ( record.entryNum, files[0].entryNum );
	EXPECT_FALSE( DVDHostRecentRead( DVD_HOST_READ_LOG_MAX, &record ) );
	EXPECT_EQ( DVDHostReadCount(), 15u );
}

// Issues two reads from a completion, as chained movie and stream reads
// are: the lowest priority first, then the highest.
void ChainTwoReads( const s32 result, DVDFileInfo* fileInfo ) {
	DVDTestRecordCompletion( result, fileInfo );
	static u8 target[2][32];
	EXPECT_TRUE( DVDReadAsyncPrio( fileInfo + 5, target[0], 32, 0, DVDTestRecordCompletion, DVD_PRIO_LOWEST ) );
	EXPECT_TRUE( DVDReadAsyncPrio( fileInfo + 4, target[1], 32, 0, DVDTestRecordCompletion, DVD_PRIO_HIGHEST ) );
}

TEST_F( DVDQueue, ChoosesAmongReadsIssuedFromACompletionByPriority ) {
	const struct {
		bool				otherWaiting;
		std::vector<u32>	order;
	} cases[] = {
		{ false, { 0, 4, 5 } },
		{ true, { 0, 4, 1, 5 } },
	};
	for ( const auto& c : cases ) {
		DVDTestCompletions().clear();
		ASSERT_TRUE( Issue( 0, DVD_PRIO_NORMAL, ChainTwoReads ) );
		if ( c.otherWaiting ) {
			ASSERT_TRUE( Issue( 1, DVD_PRIO_NORMAL ) );
		}
		RunUntilIdle();
		EXPECT_EQ( Order( files ), c.order );
		for ( const DVDTestCompletion& completion : DVDTestCompletions() ) {
			EXPECT_FALSE( completion.interruptsEnabled );
		}
	}
}

TEST_F( DVDQueue, CancelsRunningAndWaitingReads ) {
	const struct {
		const char*			what;
		u32					cancelled;
		s32					stateBefore;
		std::vector<u32>	order;	// completions, the cancelled one first
	} cases[] = {
		{ "running", 0, DVD_STATE_BUSY, { 0, 1, 2 } },
		{ "waiting", 1, DVD_STATE_WAITING, { 1, 0, 2 } },
		{ "last waiting", 2, DVD_STATE_WAITING, { 2, 0, 1 } },
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.what );
		DVDTestCompletions().clear();
		std::memset( buffers, 0, sizeof( buffers ) );
		for ( u32 i = 0; i < 3; ++i ) {
			ASSERT_TRUE( Issue( i, DVD_PRIO_NORMAL ) );
		}
		HostAdvanceTime( LATENCY / 2 );
		EXPECT_EQ( DVDGetCommandBlockStatus( &files[c.cancelled].cb ), c.stateBefore );

		EXPECT_EQ( DVDCancel( &files[c.cancelled].cb ), 0 );
		ASSERT_EQ( DVDTestCompletions().size(), 1u );
		EXPECT_EQ( DVDTestCompletions()[0].result, DVD_RESULT_CANCELED );
		EXPECT_EQ( DVDTestCompletions()[0].stateSeen, DVD_STATE_CANCELED );
		EXPECT_EQ( DVDGetCommandBlockStatus( &files[c.cancelled].cb ), DVD_STATE_CANCELED );

		RunUntilIdle();
		HostAdvanceTime( 10 * LATENCY );
		EXPECT_EQ( Order( files ), c.order );
		EXPECT_EQ( buffers[c.cancelled][0], 0 );
		// Cancelling what has ended does nothing.
		EXPECT_EQ( DVDCancel( &files[c.cancelled].cb ), 0 );
		EXPECT_EQ( DVDCancel( &files[( c.cancelled + 1 ) % 3].cb ), 0 );
		EXPECT_EQ( DVDTestCompletions().size(), 3u );
	}
	EXPECT_EQ( DVDCancel( nullptr ), -1 );
}

TEST_F( DVDQueue, CancelsAReadStillShowingADriveFault ) {
	const DVDHostDrivePhase phases[] = { { DVD_STATE_COVER_OPEN, 10 * LATENCY } };
	ASSERT_TRUE( DVDHostScriptDriveStates( phases, 1 ) );
	ASSERT_TRUE( Issue( 0, DVD_PRIO_NORMAL ) );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_COVER_OPEN );
	EXPECT_EQ( DVDCancel( &files[0].cb ), 0 );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );

	// The fault went with the cancelled read.
	ASSERT_TRUE( Issue( 1, DVD_PRIO_NORMAL ) );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_BUSY );
	RunUntilIdle();
	EXPECT_EQ( HostClockNow(), LATENCY );
}

TEST_F( DVDQueue, ClosingAFileCancelsItsRead ) {
	ASSERT_TRUE( Issue( 0, DVD_PRIO_NORMAL ) );
	EXPECT_TRUE( DVDClose( &files[0] ) );
	ASSERT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( DVDTestCompletions()[0].result, DVD_RESULT_CANCELED );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );
	HostAdvanceTime( 10 * LATENCY );
	EXPECT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( buffers[0][0], 0 );
	EXPECT_FALSE( DVDClose( nullptr ) );
}

TEST_F( DVDQueue, ReadsSynchronouslyWhileOtherWorkGoesOn ) {
	const BOOL level = OSDisableInterrupts();
	ASSERT_TRUE( Issue( 1, DVD_PRIO_NORMAL ) );
	u8 target[64];
	EXPECT_EQ( DVDReadPrio( &files[0], target, 64, 64, DVD_PRIO_NORMAL ), 64 );
	EXPECT_EQ( target[0], 65 );
	// The other read completed during the wait; interrupts are off again.
	EXPECT_EQ( Order( files ), std::vector<u32>{ 1 } );
	EXPECT_FALSE( HostInterruptsEnabled() );
	OSRestoreInterrupts( level );

	ASSERT_TRUE( DVDHostScriptFailedRead( 1 ) );
	EXPECT_EQ( DVDRead( &files[0], target, 32, 0 ), DVD_RESULT_FATAL_ERROR );
	EXPECT_EQ( DVDRead( &files[0], target, 32, 4080 ), 32 );
	EXPECT_EQ( target[0], 4080 % 255 + 1 );
	EXPECT_EQ( target[16], 0 );
}

TEST_F( DVDQueue, RefusesToWaitInsideACompletion ) {
	static s32 nested = 1;
	const DVDCallback waitInside = []( s32, DVDFileInfo* fileInfo ) {
		static u8 target[32];
		nested = DVDReadPrio( fileInfo + 1, target, 32, 0, DVD_PRIO_NORMAL );
	};
	ASSERT_TRUE( Issue( 0, DVD_PRIO_NORMAL, waitInside ) );
	RunUntilIdle();
	EXPECT_EQ( nested, DVD_RESULT_FATAL_ERROR );
}

TEST_F( DVDQueue, ResetForgetsPendingReadsAndScripts ) {
	const DVDHostDrivePhase phases[] = { { DVD_STATE_NO_DISK, 100 } };
	ASSERT_TRUE( DVDHostScriptDriveStates( phases, 1 ) );
	DVDHostScriptRefusedReads( 5 );
	DVDSetAutoFatalMessaging( 1 );
	ASSERT_TRUE( DVDHostScriptFailedRead( 1 ) );
	DVDHostScriptRefusedReads( 0 );
	ASSERT_TRUE( Issue( 0, DVD_PRIO_NORMAL ) );
	ASSERT_TRUE( Issue( 1, DVD_PRIO_NORMAL ) );

	DVDHostReset();
	EXPECT_EQ( HostPendingEventCount(), 0u );
	EXPECT_FALSE( DVDHostIsInitialised() );
	EXPECT_FALSE( DVDHostAutoFatalMessaging() );
	EXPECT_EQ( DVDHostReadLatency(), DVD_HOST_DEFAULT_READ_LATENCY );
	EXPECT_EQ( DVDHostReadCount(), 0u );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );

	DVDInit();
	DVDFileInfo file;
	ASSERT_TRUE( DVDOpen( "A.BIN", &file ) );
	u8 target[32];
	EXPECT_EQ( DVDRead( &file, target, 32, 0 ), 32 );
	EXPECT_EQ( HostClockNow(), DVD_HOST_DEFAULT_READ_LATENCY );
	EXPECT_TRUE( DVDTestCompletions().empty() );
}

TEST_F( DVDQueue, KeepsOtherReadsGoingWhileACompletionIsHeldBack ) {
	DVDHostScriptLateCompletion( 1 );
	ASSERT_TRUE( Issue( 0, DVD_PRIO_NORMAL ) );
	HostAdvanceTime( LATENCY );
	ASSERT_TRUE( Issue( 1, DVD_PRIO_NORMAL ) );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_BUSY );	// held, while the other read runs
	EXPECT_TRUE( DVDTestCompletions().empty() );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_BUSY );	// released; the other still runs
	EXPECT_EQ( Order( files ), std::vector<u32>{ 0 } );
	RunUntilIdle();
	HostAdvanceTime( 10 * LATENCY );
	EXPECT_EQ( Order( files ), ( std::vector<u32>{ 0, 1 } ) );
	EXPECT_EQ( buffers[1][0], 33 );

	// A synchronous read whose completion is held back still returns.
	DVDHostScriptLateCompletion( 3 );
	u8 target[32];
	EXPECT_EQ( DVDRead( &files[2], target, 32, 0 ), 32 );
	EXPECT_EQ( target[31], 32 );

	// A read waiting behind a held one starts as soon as the drive is free.
	DVDTestCompletions().clear();
	DVDHostScriptLateCompletion( 5 );
	ASSERT_TRUE( Issue( 3, DVD_PRIO_NORMAL ) );
	ASSERT_TRUE( Issue( 4, DVD_PRIO_NORMAL ) );
	HostAdvanceTime( 2 * LATENCY );
	EXPECT_EQ( Order( files ), std::vector<u32>{ 4 } );
	for ( u32 poll = 0; poll < 6; ++poll ) {
		DVDGetDriveStatus();
	}
	EXPECT_EQ( Order( files ), ( std::vector<u32>{ 4, 3 } ) );
}

TEST_F( DVDQueue, EndsTheRunOnAFatalDriveStateOnlyWithAutomaticMessaging ) {
	struct Panicked {};
	const OSHostPanicHook previous = OSHostSetPanicHook( []( const char*, s32, const char* ) { throw Panicked(); } );
	const DVDHostDrivePhase phases[] = { { DVD_STATE_FATAL_ERROR, LATENCY } };
	for ( const BOOL automatic : { 0, 1 } ) {
		SCOPED_TRACE( automatic );
		DVDSetAutoFatalMessaging( automatic );
		ASSERT_TRUE( DVDHostScriptDriveStates( phases, 1 ) );
		ASSERT_TRUE( Issue( 0, DVD_PRIO_NORMAL ) );
		if ( automatic ) {
			EXPECT_THROW( DVDGetDriveStatus(), Panicked );
		} else {
			EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_FATAL_ERROR );
		}
		DVDSetAutoFatalMessaging( 0 );
		RunUntilIdle();
	}
	OSHostSetPanicHook( previous );
	EXPECT_EQ( DVDTestCompletions().size(), 2u );
}
