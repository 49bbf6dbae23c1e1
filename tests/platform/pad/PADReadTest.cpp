#include "PADTestSupport.h"
#include "platform/pad/PADHost.h"
#include "platform/os/OSHost.h"

#include "platform/host/HostSettings.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class PADReadTest : public PADTestBase {};

struct Frame {
	PADStatus	port[PAD_MAX_CONTROLLERS];
	u32			connected;
};

constexpr u32 ALL_PORTS = PAD_CHAN0_BIT | PAD_CHAN1_BIT | PAD_CHAN2_BIT | PAD_CHAN3_BIT;

// Checks frame after frame, from the current one, reading each frame three
// times: reads within a frame must agree.
void ExpectFrames( const Frame* frames, const u32 count ) {
	for ( u32 f = 0; f < count; ++f ) {
		SCOPED_TRACE( "frame " + std::to_string( VIGetRetraceCount() ) );
		for ( u32 read = 0; read < 3; ++read ) {
			PADStatus status[PAD_MAX_CONTROLLERS];
			EXPECT_EQ( PADRead( status ), frames[f].connected ) << "read " << read;
			for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
				EXPECT_EQ( status[chan], frames[f].port[chan] ) << "port " << chan << " read " << read;
			}
		}
		VIWaitForRetrace();
	}
}

const PADStatus NONE = ErrorReading( PAD_ERR_NO_CONTROLLER );
const PADStatus REST = Reading( 0 );

}

TEST_F( PADReadTest, StartsWithFourControllersAtRest ) {
	const Frame frames[] = {
		{ { REST, REST, REST, REST }, ALL_PORTS },
		{ { REST, REST, REST, REST }, ALL_PORTS },
		{ { REST, REST, REST, REST }, ALL_PORTS },
	};
	ExpectFrames( frames, 3 );
}

TEST_F( PADReadTest, EachRecordHoldsFromItsFrameUntilThePortsNextOne ) {
	const PADStatus walk = Reading( 0, 40, -20 );
	const PADStatus jump = Reading( PAD_BUTTON_A, 40, -20, 0, 0, 0, 0, 200, 0 );
	const PADStatus other = Reading( PAD_BUTTON_START | PAD_TRIGGER_Z, -128, 127, 5, -5, 255, 17 );

	// Made out of order, and one frame given twice: the later call wins.
	ASSERT_TRUE( PADHostSetStatus( 0, 4, NONE ) );
	ASSERT_TRUE( PADHostSetStatus( 0, 1, walk ) );
	ASSERT_TRUE( PADHostSetStatus( 0, 3, other ) );
	ASSERT_TRUE( PADHostSetStatus( 0, 3, jump ) );
	ASSERT_TRUE( PADHostSetStatus( 1, 0, other ) );
	ASSERT_TRUE( PADHostSetStatus( 3, 2, NONE ) );
	ASSERT_TRUE( PADHostSetStatus( 3, 5, other ) );

	const Frame frames[] = {
		{ { REST, other, REST, REST }, ALL_PORTS },
		{ { walk, other, REST, REST }, ALL_PORTS },
		{ { walk, other, REST, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT | PAD_CHAN2_BIT },
		{ { jump, other, REST, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT | PAD_CHAN2_BIT },
		{ { NONE, other, REST, NONE }, PAD_CHAN1_BIT | PAD_CHAN2_BIT },
		{ { NONE, other, REST, other }, PAD_CHAN1_BIT | PAD_CHAN2_BIT | PAD_CHAN3_BIT },
		{ { NONE, other, REST, other }, PAD_CHAN1_BIT | PAD_CHAN2_BIT | PAD_CHAN3_BIT },
	};
	ExpectFrames( frames, 7 );
}

TEST_F( PADReadTest, SettingFromNowReplacesTheRecordsOfThisFrameAndLaterOnes ) {
	const PADStatus walk = Reading( 0, 40, -20 );
	const PADStatus jump = Reading( PAD_BUTTON_A );
	ASSERT_TRUE( PADHostSetStatus( 2, 1, walk ) );
	ASSERT_TRUE( PADHostSetStatus( 2, 3, NONE ) );
	ASSERT_TRUE( PADHostSetStatus( 2, 9, walk ) );
	GoToFrame( 3 );
	ASSERT_TRUE( PADHostSetStatusFromNow( 2, jump ) );
	const Frame frames[] = {
		{ { REST, REST, jump, REST }, ALL_PORTS },
		{ { REST, REST, jump, REST }, ALL_PORTS },
	};
	ExpectFrames( frames, 2 );
	GoToFrame( 12 );
	ExpectFrames( frames, 1 );

	// A record made afterwards for a later frame takes over there.
	EXPECT_TRUE( PADHostSetStatus( 2, 20, walk ) );
	GoToFrame( 20 );
	const Frame later[] = { { { REST, REST, walk, REST }, ALL_PORTS } };
	ExpectFrames( later, 1 );
}

TEST_F( PADReadTest, AReadingWithAnErrorCarriesNoInput ) {
	const s8 errors[] = { PAD_ERR_NO_CONTROLLER, PAD_ERR_NOT_READY, PAD_ERR_TRANSFER };
	for ( const s8 err : errors ) {
		SCOPED_TRACE( int( err ) );
		PADStatus noisy = Reading( PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_START, 90, 90, 9, 9, 99, 99, 9, 9 );
		noisy.err = err;
		ASSERT_TRUE( PADHostSetStatusFromNow( 2, noisy ) );
		PADStatus status[PAD_MAX_CONTROLLERS];
		EXPECT_EQ( PADRead( status ), ALL_PORTS & ~PAD_CHAN2_BIT );
		EXPECT_EQ( status[2], ErrorReading( err ) );
	}
}

TEST_F( PADReadTest, RefusesPortsOutsideTheFour ) {
	const s32 badPorts[] = { -1, 4, 0x7FFFFFFF, static_cast<s32>( 0x80000000 ) };
	for ( const s32 chan : badPorts ) {
		SCOPED_TRACE( chan );
		EXPECT_FALSE( PADHostSetStatus( chan, 0, NONE ) );
		EXPECT_FALSE( PADHostSetStatusFromNow( chan, NONE ) );
		PADControlMotor( chan, PAD_MOTOR_RUMBLE );
		EXPECT_EQ( PADHostMotorCommandCount( chan ), 0u );
		EXPECT_EQ( PADHostMotorCommand( chan ), PAD_MOTOR_STOP );
		EXPECT_EQ( PADHostResetCount( chan ), 0u );
	}
	EXPECT_EQ( PADRead( nullptr ), 0u );
	PADStatus status[PAD_MAX_CONTROLLERS];
	EXPECT_EQ( PADRead( status ), ALL_PORTS );
}

TEST_F( PADReadTest, RecordsReadsResetsByChannelBitAndMotorCommandsByPort ) {
	const struct {
		u32	mask;
		u32	expectedCounts[PAD_MAX_CONTROLLERS];
	} resets[] = {
		{ PAD_CHAN2_BIT, { 0, 0, 1, 0 } },
		{ PAD_CHAN0_BIT >> 2, { 0, 0, 2, 0 } },
		{ PAD_CHAN0_BIT | PAD_CHAN3_BIT, { 1, 0, 2, 1 } },
		{ 0x0FFFFFFF, { 1, 0, 2, 1 } },		// bits of no port
		{ 0xF0000000, { 2, 1, 3, 2 } },
	};
	for ( const auto& r : resets ) {
		SCOPED_TRACE( r.mask );
		EXPECT_EQ( PADReset( r.mask ), 1 );
		for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
			EXPECT_EQ( PADHostResetCount( chan ), r.expectedCounts[chan] ) << "port " << chan;
		}
	}

	// A port reset while its controller is missing keeps reporting that.
	ASSERT_TRUE( PADHostSetStatus( 1, 0, NONE ) );
	PADReset( PAD_CHAN1_BIT );
	PADStatus status[PAD_MAX_CONTROLLERS];
	PADRead( status );
	EXPECT_EQ( status[1].err, PAD_ERR_NO_CONTROLLER );
	EXPECT_EQ( PADHostReadCount(), 1u );
	PADRead( status );
	EXPECT_EQ( PADHostReadCount(), 2u );

	EXPECT_EQ( PADHostMotorCommand( 0 ), PAD_MOTOR_STOP );
	PADControlMotor( 0, PAD_MOTOR_RUMBLE );
	PADControlMotor( 3, PAD_MOTOR_RUMBLE );
	PADControlMotor( 0, PAD_MOTOR_STOP_HARD );
	EXPECT_EQ( PADHostMotorCommand( 0 ), PAD_MOTOR_STOP_HARD );
	EXPECT_EQ( PADHostMotorCommandCount( 0 ), 2u );
	EXPECT_EQ( PADHostMotorCommand( 3 ), PAD_MOTOR_RUMBLE );
	EXPECT_EQ( PADHostMotorCommandCount( 1 ), 0u );

	PADHostReset();
	EXPECT_EQ( PADHostReadCount(), 0u );
	EXPECT_EQ( PADHostMotorCommandCount( 0 ), 0u );
	EXPECT_EQ( PADHostResetCount( 2 ), 0u );
	PADRead( status );
	EXPECT_EQ( status[1], REST );
}

TEST_F( PADReadTest, TheResetButtonFollowsItsRecordsOrTheTestsOwnSetting ) {
	ASSERT_TRUE( PADHostSetResetButton( 2, true ) );
	ASSERT_TRUE( PADHostSetResetButton( 4, false ) );
	ASSERT_TRUE( PADHostSetResetButton( 6, true ) );
	const struct {
		u32		frame;
		bool	set;		// OSHostSetResetButton
		BOOL	pressed;
	} rows[] = {
		{ 0, false, 0 }, { 1, false, 0 }, { 2, false, 1 }, { 3, false, 1 }, { 4, false, 0 },
		{ 4, true, 1 }, { 5, false, 0 }, { 6, false, 1 }, { 9, false, 1 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.frame );
		GoToFrame( row.frame );
		OSHostSetResetButton( row.set );
		EXPECT_EQ( OSGetResetButtonState(), row.pressed );
		EXPECT_EQ( OSGetResetButtonState(), row.pressed );
	}
	PADHostReset();
	EXPECT_EQ( OSGetResetButtonState(), 0 );
}

TEST_F( PADReadTest, InitLoadsTheScriptOfTheHostSettingOnce ) {
	char path[] = "/tmp/pad-script-XXXXXX";
	const int fd = mkstemp( path );
	ASSERT_GE( fd, 0 );
	const char script[] = "0 0 X+B+START 0 0 0 0 0 0\n0 1 A 10 0 0 0 0 0\n2 0 0 0 0 0 0 0 0\n";
	ASSERT_EQ( write( fd, script, sizeof( script ) - 1 ), static_cast<ssize_t>( sizeof( script ) - 1 ) );
	close( fd );

	const HostSettings saved = HostGetSettings();
	HostSettings settings = saved;
	std::snprintf( settings.padScript, sizeof( settings.padScript ), "%s", path );
	HostSettingsOverride( settings );
	EXPECT_EQ( PADInit(), 1 );
	EXPECT_EQ( PADInit(), 1 );
	HostSettingsOverride( saved );
	std::remove( path );

	const PADStatus reset = Reading( PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_START );
	const PADStatus a = Reading( PAD_BUTTON_A, 10 );
	const Frame frames[] = {
		{ { reset, a, REST, REST }, ALL_PORTS },
		{ { reset, a, REST, REST }, ALL_PORTS },
		{ { REST, a, REST, REST }, ALL_PORTS },
		{ { REST, a, REST, REST }, ALL_PORTS },
	};
	ExpectFrames( frames, 4 );
}
