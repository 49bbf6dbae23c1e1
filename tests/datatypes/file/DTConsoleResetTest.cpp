#include "DTFileTestBench.h"
#include "platform/vi/VIHost.h"
#include "platform/pad/PADHost.h"
#include "platform/os/OSHost.h"
#include "platform/dvd/DVDHost.h"

#include <cstring>

namespace {

const std::vector<std::string> RESET_REPORTS = {
	"Before VISetBlack\n",
	"Before VIFlush\n",
	"Before VIWaitForRetrace 1\n",
	"Before VIWaitForRetrace 2\n",
	"Before OSResetSystem\n",
};

// Ticks between two retraces of a 60 Hz format.
constexpr s64 RETRACE_TICKS = OS_TIMER_CLOCK / 60;

class DTConsoleResetTest : public DTFileTestBench {
protected:
	static void Press( void* ) { OSHostSetResetButton( true ); }
	static void Release( void* ) { OSHostSetResetButton( false ); }
};

TEST_F( DTConsoleResetTest, ResetsOnTheReleaseOfAPressOnlyWhileResetsAreEnabled ) {
	struct Case {
		const char*	what;
		u32			enabled;
		const char*	button;		// one CheckReset per letter: d down, u up
		u32			resets;
		u8			latched;	// the press flag afterwards
	};
	const Case cases[] = {
		{ "never pressed",			1, "uuu",	0, 0 },
		{ "held",					1, "ddd",	0, 1 },
		{ "pressed and released",	1, "ddu",	1, 0 },
		{ "twice",					1, "dudu",	2, 0 },
		{ "disabled",				0, "duu",	0, 1 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.what );
		DTFileTestSeen() = DTFileTestRecord();
		gbConsoleResetPushed = 0;
		gui32EnableReset = c.enabled;
		for ( const char* b = c.button; *b != '\0'; ++b ) {
			OSHostSetResetButton( *b == 'd' );
			CheckReset();
		}
		EXPECT_EQ( DTFileTestSeen().resetArgs.size(), 3 * c.resets );
		EXPECT_EQ( DTFileTestSeen().reports.size(), RESET_REPORTS.size() * c.resets );
		EXPECT_EQ( gbConsoleResetPushed, c.latched );
	}
}

TEST_F( DTConsoleResetTest, BlacksOutAndWaitsTwoRetracesBeforeResetting ) {
	VISetBlack( 0 );
	VIFlush();
	VIWaitForRetrace();
	ASSERT_FALSE( VIHostIsBlack() );
	const u32 retraces = VIGetRetraceCount();

	GCReset( OS_RESET_HOTRESET, 0x1234, 1 );
	EXPECT_EQ( DTFileTestSeen().reports, RESET_REPORTS );
	EXPECT_EQ( DTFileTestSeen().resetArgs, ( std::vector<s32>{ OS_RESET_HOTRESET, 0x1234, 1 } ) );
	EXPECT_TRUE( VIHostIsBlack() );
	EXPECT_EQ( VIGetRetraceCount() - retraces, 2u );

	DTFileTestSeen() = DTFileTestRecord();
	gui32EnableReset = 0;
	GCReset( 0, 0, 0 );
	EXPECT_TRUE( DTFileTestSeen().reports.empty() );
	EXPECT_TRUE( DTFileTestSeen().resetArgs.empty() );
	EXPECT_EQ( VIGetRetraceCount() - retraces, 2u );
}

TEST_F( DTConsoleResetTest, HonoursTheButtonWhileADiscReadWaits ) {
	const std::vector<u8> data = Pattern( 1000 );
	WriteFile( "A.BIN", data );
	struct Case {
		u32		enabled;
		u32		resets;
	};
	const Case cases[] = { { 1, 1 }, { 0, 0 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.enabled );
		DTFileTestSeen() = DTFileTestRecord();
		gbConsoleResetPushed = 0;
		gui32EnableReset = c.enabled;
		DTFileHandle_* file = DTFopen( "A.BIN", "r" );
		ASSERT_NE( file, nullptr );

		// The drive shows an open cover for 20 retraces; the player presses
		// reset after 5 and lets go after 10.
		const DVDHostDrivePhase phases[] = { { DVD_STATE_COVER_OPEN, 20 * RETRACE_TICKS } };
		ASSERT_TRUE( DVDHostScriptDriveStates( phases, 1 ) );
		HostPostEventAfter( 5 * RETRACE_TICKS, Press, nullptr );
		HostPostEventAfter( 10 * RETRACE_TICKS, Release, nullptr );

		std::vector<u8> out( 1000 );
		EXPECT_EQ( DTFread( out.data(), 1, 1000, file ), 1000u );
		EXPECT_EQ( out, data );
		EXPECT_EQ( DTFileTestSeen().resetArgs, std::vector<s32>( 3 * c.resets, 0 ) );
		std::vector<std::string> expected;
		for ( u32 i = 0; i < c.resets; ++i ) {
			expected.insert( expected.end(), RESET_REPORTS.begin(), RESET_REPORTS.end() );
		}
		EXPECT_EQ( DTFileTestSeen().reports, expected );
		DTFclose( file );
	}
}

// Copies of the frame's luma taken while a read waits.
struct Snapshot {
	const std::vector<u8>*	frame;
	std::vector<u8>			luma;
};

void TakeSnapshot( void* context ) {
	Snapshot* snapshot = static_cast<Snapshot*>( context );
	snapshot->luma.clear();
	for ( u32 i = 0; i < DT_FRAME_HEIGHT_60HZ * DT_FRAME_STRIDE; i += 2 ) {
		snapshot->luma.push_back( ( *snapshot->frame )[i] );
	}
}

TEST_F( DTConsoleResetTest, ShowsTheMessageOfEachDriveStateAndStopsRumbleOnEveryPoll ) {
	std::vector<u8> frame( DT_TEST_FRAME_BYTES, 0 );
	struct Phase {
		s32		driveState;
		s32		message;	// -1: the screen stays as it was
	};
	const Phase phases[] = {
		{ DVD_STATE_NO_DISK,		DT_DISC_MESSAGE_INSERT_DISC },
		{ DVD_STATE_COVER_OPEN,		DT_DISC_MESSAGE_COVER_OPEN },
		{ DVD_STATE_BUSY,			-1 },
		{ DVD_STATE_WRONG_DISK,		DT_DISC_MESSAGE_WRONG_DISC },
		{ DVD_STATE_RETRY,			DT_DISC_MESSAGE_UNREADABLE },
		{ DVD_STATE_MOTOR_STOPPED,	-1 },
	};
	constexpr u32 PHASE_COUNT = sizeof( phases ) / sizeof( phases[0] );

	// What each message looks like when drawn alone.
	std::vector<u8> expected[DT_DISC_MESSAGE_COUNT];
	Snapshot reference = { &frame, {} };
	VISetNextFrameBuffer( frame.data() );
	for ( s32 m = 0; m < DT_DISC_MESSAGE_COUNT; ++m ) {
		DisplayMessageWithRomFont( GetLocalizedMessage( m ) );
		TakeSnapshot( &reference );
		expected[m] = reference.luma;
		EXPECT_GT( std::count_if( expected[m].begin(), expected[m].end(), []( u8 l ) { return l > 0x10; } ), 500 );
	}
	frame.assign( DT_TEST_FRAME_BYTES, 0 );

	const std::vector<u8> data = Pattern( 3000 );
	WriteFile( "A.BIN", data );
	DTFileHandle_* file = DTFopen( "A.BIN", "r" );
	ASSERT_NE( file, nullptr );

	// Each phase lasts six retraces; a snapshot is taken in its middle.
	DVDHostDrivePhase script[PHASE_COUNT];
	Snapshot snapshots[PHASE_COUNT];
	const s64 start = OSGetTime();
	for ( u32 p = 0; p < PHASE_COUNT; ++p ) {
		script[p] = { phases[p].driveState, 6 * RETRACE_TICKS };
		snapshots[p] = { &frame, {} };
		HostPostEventAt( start + static_cast<s64>( p ) * 6 * RETRACE_TICKS + 4 * RETRACE_TICKS, TakeSnapshot, &snapshots[p] );
	}
	ASSERT_TRUE( DVDHostScriptDriveStates( script, PHASE_COUNT ) );
	const u32 retraces = VIGetRetraceCount();
	const u32 motorCalls = PADHostMotorCommandCount( 0 );

	std::vector<u8> out( 3000 );
	EXPECT_EQ( DTFread( out.data(), 1, 3000, file ), 3000u );
	EXPECT_EQ( out, data );

	std::vector<u8> previous( DT_FRAME_HEIGHT_60HZ * DT_FRAME_WIDTH, 0 );
	for ( u32 p = 0; p < PHASE_COUNT; ++p ) {
		SCOPED_TRACE( p );
		const std::vector<u8>& shown = phases[p].message >= 0 ? expected[phases[p].message] : previous;
		EXPECT_TRUE( snapshots[p].luma == shown );
		previous = snapshots[p].luma;
	}
	const u32 polls = VIGetRetraceCount() - retraces;
	EXPECT_GE( polls, 6 * PHASE_COUNT );
	EXPECT_EQ( PADHostMotorCommandCount( 0 ) - motorCalls, polls );
	EXPECT_EQ( PADHostMotorCommand( 0 ), PAD_MOTOR_STOP_HARD );
	EXPECT_TRUE( DTFileTestSeen().resetArgs.empty() );
}

}
