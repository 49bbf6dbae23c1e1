#include "DVDTestDisc.h"
#include "platform/dvd/DVDHost.h"

#include "platform/os/OS.h"
#include "platform/os/OSHost.h"

#include <cstring>
#include <string>

namespace {

constexpr u8	UNTOUCHED = 0xCD;
constexpr s64	LATENCY = 1000;

// Polls the drive as a waiting reader does, noting each change of state,
// until the drive is idle.
std::vector<s32> PollUntilIdle() {
	std::vector<s32> seen;
	for ( u32 turn = 0; turn < 100000; ++turn ) {
		const s32 status = DVDGetDriveStatus();
		if ( seen.empty() || seen.back() != status ) {
			seen.push_back( status );
		}
		if ( status == DVD_STATE_END ) {
			break;
		}
		HostIdle();
	}
	return seen;
}

}

class DVDRead : public DVDTestDisc {
protected:
	void SetUp() override {
		DVDTestDisc::SetUp();
		WriteFile( "DATA.BIN", Counting( 100 ) );
		ASSERT_TRUE( DVDOpen( "data.bin", &file ) );
		DVDHostSetReadLatency( LATENCY );
		std::memset( buffer, UNTOUCHED, sizeof( buffer ) );
	}

	BOOL Issue( const s32 length, const s32 offset, const s32 priority = DVD_PRIO_NORMAL ) {
		return DVDReadAsyncPrio( &file, buffer, length, offset, DVDTestRecordCompletion, priority );
	}

	DVDFileInfo	file;
	u8			buffer[256];
};

TEST_F( DVDRead, CopiesTheFileAndZeroFillsUpTo31BytesPastItsEnd ) {
	const struct {
		s32		offset;
		s32		length;
		s32		result;
	} cases[] = {
		{ 0, 100, 100 },
		{ 0, 128, 128 },	// rounded up to 32: 28 bytes of zeros
		{ 40, 60, 60 },
		{ 96, 35, 35 },		// ends 31 bytes past the end
		{ 100, 31, 31 },	// nothing but zeros
		{ 0, 0, 0 },
		{ 96, 36, DVD_RESULT_FATAL_ERROR },
		{ 0, 132, DVD_RESULT_FATAL_ERROR },
		{ 101, 4, DVD_RESULT_FATAL_ERROR },
		{ 4096, 32, DVD_RESULT_FATAL_ERROR },
	};
	const std::vector<u8> data = Counting( 100 );
	for ( const auto& c : cases ) {
		SCOPED_TRACE( std::to_string( c.offset ) + "+" + std::to_string( c.length ) );
		std::memset( buffer, UNTOUCHED, sizeof( buffer ) );
		DVDTestCompletions().clear();
		ASSERT_TRUE( Issue( c.length, c.offset ) );
		EXPECT_EQ( PollUntilIdle().back(), DVD_STATE_END );
		ASSERT_EQ( DVDTestCompletions().size(), 1u );
		EXPECT_EQ( DVDTestCompletions()[0].result, c.result );
		EXPECT_EQ( DVDTestCompletions()[0].fileInfo, &file );

		const u32 written = c.result > 0 ? static_cast<u32>( c.result ) : 0;
		for ( u32 i = 0; i < sizeof( buffer ); ++i ) {
			const u32 at = static_cast<u32>( c.offset ) + i;
			const u8 expected = i >= written ? UNTOUCHED : at < data.size() ? data[at] : 0;
			ASSERT_EQ( buffer[i], expected ) << "byte " << i;
		}
	}
}

TEST_F( DVDRead, DeliversCompletionsOnlyAtEventPointsWithInterruptsEnabled ) {
	ASSERT_TRUE( Issue( 32, 0 ) );
	EXPECT_TRUE( DVDTestCompletions().empty() );
	EXPECT_EQ( buffer[0], UNTOUCHED );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_BUSY );
	EXPECT_EQ( DVDGetCommandBlockStatus( &file.cb ), DVD_STATE_BUSY );

	HostAdvanceTime( LATENCY - 1 );
	EXPECT_TRUE( DVDTestCompletions().empty() );

	const BOOL level = OSDisableInterrupts();
	HostAdvanceTime( 10 * LATENCY );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_BUSY );
	EXPECT_EQ( DVDGetCommandBlockStatus( &file.cb ), DVD_STATE_BUSY );
	HostIdle();
	EXPECT_TRUE( DVDTestCompletions().empty() );
	EXPECT_EQ( buffer[0], UNTOUCHED );

	OSRestoreInterrupts( level );
	ASSERT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( DVDTestCompletions()[0].result, 32 );
	EXPECT_EQ( DVDTestCompletions()[0].stateSeen, DVD_STATE_END );
	EXPECT_FALSE( DVDTestCompletions()[0].interruptsEnabled );
	EXPECT_EQ( buffer[0], 1 );
	EXPECT_EQ( file.cb.transferredSize, 32u );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );
}

TEST_F( DVDRead, NeverCompletesInsideTheCallThatIssuesTheRead ) {
	DVDHostSetReadLatency( 0 );
	ASSERT_TRUE( Issue( 32, 0 ) );
	EXPECT_TRUE( DVDTestCompletions().empty() );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );
	ASSERT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( HostClockNow(), 0 );
}

TEST_F( DVDRead, ShowsScriptedDriveStatesToAPollingCallerBeforeReading ) {
	const DVDHostDrivePhase phases[] = {
		{ DVD_STATE_COVER_OPEN, 5000 },
		{ DVD_STATE_NO_DISK, 3000 },
		{ DVD_STATE_WRONG_DISK, 1 },
		{ DVD_STATE_RETRY, 2000 },
		{ DVD_STATE_BUSY, 2000 },
		{ DVD_STATE_COVER_CLOSED, 100 },
	};
	ASSERT_TRUE( DVDHostScriptDriveStates( phases, 6 ) );
	EXPECT_EQ( DVDGetDriveStatus(), DVD_STATE_END );	// only a read meets the fault

	ASSERT_TRUE( Issue( 64, 0 ) );
	EXPECT_EQ( DVDGetCommandBlockStatus( &file.cb ), DVD_STATE_COVER_OPEN );
	const std::vector<s32> expected = { DVD_STATE_COVER_OPEN, DVD_STATE_NO_DISK, DVD_STATE_WRONG_DISK,
										DVD_STATE_RETRY, DVD_STATE_BUSY, DVD_STATE_COVER_CLOSED,
										DVD_STATE_BUSY, DVD_STATE_END };
	EXPECT_EQ( PollUntilIdle(), expected );
	EXPECT_EQ( HostClockNow(), 5000 + 3000 + 1 + 2000 + 2000 + 100 + LATENCY );
	ASSERT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( DVDTestCompletions()[0].result, 64 );
	EXPECT_EQ( buffer[63], 64 );

	// The script is spent: the next read goes straight through.
	ASSERT_TRUE( Issue( 32, 0 ) );
	EXPECT_EQ( PollUntilIdle(), ( std::vector<s32>{ DVD_STATE_BUSY, DVD_STATE_END } ) );
}

TEST_F( DVDRead, RejectsDriveScriptsItCannotPlay ) {
	const DVDHostDrivePhase bad[] = {
		{ DVD_STATE_END, 10 },
		{ DVD_STATE_WAITING, 10 },
		{ DVD_STATE_CANCELED, 10 },
		{ 12, 10 },
		{ -2, 10 },
		{ DVD_STATE_COVER_OPEN, 0 },
		{ DVD_STATE_COVER_OPEN, -5 },
	};
	for ( const DVDHostDrivePhase& phase : bad ) {
		const DVDHostDrivePhase script[] = { { DVD_STATE_NO_DISK, 10 }, phase };
		EXPECT_FALSE( DVDHostScriptDriveStates( script, 2 ) ) << phase.state << " " << phase.ticks;
	}
	DVDHostDrivePhase tooMany[DVD_HOST_SCRIPT_MAX + 1];
	for ( DVDHostDrivePhase& phase : tooMany ) {
		phase = { DVD_STATE_RETRY, 1 };
	}
	EXPECT_FALSE( DVDHostScriptDriveStates( tooMany, DVD_HOST_SCRIPT_MAX + 1 ) );
	EXPECT_FALSE( DVDHostScriptDriveStates( nullptr, 1 ) );

	// Nothing of the rejected scripts is left behind.
	ASSERT_TRUE( Issue( 32, 0 ) );
	EXPECT_EQ( PollUntilIdle(), ( std::vector<s32>{ DVD_STATE_BUSY, DVD_STATE_END } ) );
}

TEST_F( DVDRead, RefusesRequestsTheDriveCannotTake ) {
	DVDFileInfo closed = file;
	ASSERT_TRUE( DVDClose( &closed ) );
	u8 target[32];

	const struct {
		const char*		what;
		DVDFileInfo*	fileInfo;
		void*			addr;
		s32				length;
		s32				offset;
		s32				priority;
	} cases[] = {
		{ "no file", nullptr, target, 32, 0, 2 },
		{ "closed file", &closed, target, 32, 0, 2 },
		{ "no destination", &file, nullptr, 32, 0, 2 },
		{ "negative length", &file, target, -32, 0, 2 },
		{ "negative offset", &file, target, 32, -32, 2 },
		{ "priority below 0", &file, target, 32, 0, -1 },
		{ "priority above 3", &file, target, 32, 0, 4 },
	};
	for ( const auto& c : cases ) {
		EXPECT_FALSE( DVDReadAsyncPrio( c.fileInfo, c.addr, c.length, c.offset, DVDTestRecordCompletion, c.priority ) ) << c.what;
	}
	EXPECT_EQ( DVDHostReadCount(), 0u );

	// A second read on a file whose read is still in progress.
	ASSERT_TRUE( Issue( 32, 0 ) );
	EXPECT_FALSE( Issue( 32, 32 ) );
	PollUntilIdle();
	EXPECT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( DVDHostReadCount(), 1u );
}

TEST_F( DVDRead, RefusesScriptedRequestsUntilTheCallerRepeats ) {
	DVDHostScriptRefusedReads( 3 );
	u32 attempts = 1;
	while ( !Issue( 32, 32 ) ) {
		++attempts;
		ASSERT_LT( attempts, 10u );
	}
	EXPECT_EQ( attempts, 4u );
	EXPECT_EQ( DVDHostReadCount(), 1u );
	PollUntilIdle();
	ASSERT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( DVDTestCompletions()[0].result, 32 );
	EXPECT_EQ( buffer[0], 33 );

	// A synchronous read the drive refuses reports a fatal error.
	DVDHostScriptRefusedReads( 1 );
	EXPECT_EQ( DVDReadPrio( &file, buffer, 32, 0, DVD_PRIO_NORMAL ), DVD_RESULT_FATAL_ERROR );
}

TEST_F( DVDRead, FailsTheScriptedReadAndTheNextAttemptSucceeds ) {
	ASSERT_TRUE( DVDHostScriptFailedRead( 2 ) );
	ASSERT_FALSE( DVDHostScriptFailedRead( 0 ) );
	DVDSetAutoFatalMessaging( 1 );
	static std::string reported;
	reported.clear();
	const OSHostReportHook previous = OSHostSetReportHook( []( const char* text ) { reported += text; } );

	const s32 expected[] = { 32, DVD_RESULT_FATAL_ERROR, 32 };
	for ( const s32 result : expected ) {
		std::memset( buffer, UNTOUCHED, sizeof( buffer ) );
		DVDTestCompletions().clear();
		ASSERT_TRUE( Issue( 32, 32 ) );
		EXPECT_EQ( PollUntilIdle().back(), DVD_STATE_END );	// the drive recovers at once
		ASSERT_EQ( DVDTestCompletions().size(), 1u );
		EXPECT_EQ( DVDTestCompletions()[0].result, result );
		EXPECT_EQ( DVDTestCompletions()[0].stateSeen, result < 0 ? DVD_STATE_FATAL_ERROR : DVD_STATE_END );
		EXPECT_EQ( buffer[0], result < 0 ? UNTOUCHED : 33 );
	}
	OSHostSetReportHook( previous );
	EXPECT_NE( reported.find( "fatal" ), std::string::npos );
	EXPECT_TRUE( DVDHostAutoFatalMessaging() );
}

TEST_F( DVDRead, FailsAReadWhoseHostFileVanished ) {
	std::filesystem::remove( root / "disc" / "DATA.BIN" );
	ASSERT_TRUE( Issue( 32, 0 ) );
	PollUntilIdle();
	ASSERT_EQ( DVDTestCompletions().size(), 1u );
	EXPECT_EQ( DVDTestCompletions()[0].result, DVD_RESULT_FATAL_ERROR );
	EXPECT_EQ( buffer[0], UNTOUCHED );
	EXPECT_FALSE( DVDOpen( "DATA.BIN", &file ) );
}
