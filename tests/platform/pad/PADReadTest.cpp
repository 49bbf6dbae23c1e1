#include "PADTestSupport.h"

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

void ExpectFrames( const Frame* frames, const u32 count ) {
	for ( u32 f = 0; f < count; ++f ) {
		SCOPED_TRACE( "frame " + std::to_string( f ) );
		PADStatus status[PAD_MAX_CONTROLLERS];
		EXPECT_EQ( PADRead( status ), frames[f].connected );
		for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
			EXPECT_EQ( status[chan], frames[f].port[chan] ) << "port " << chan;
		}
	}
}

const PADStatus NONE = ErrorReading( PAD_ERR_NO_CONTROLLER );
const PADStatus REST = Reading( 0 );

}

TEST_F( PADReadTest, StartsWithOneControllerAtRestOnPortZero ) {
	const Frame frames[] = {
		{ { REST, NONE, NONE, NONE }, PAD_CHAN0_BIT },
		{ { REST, NONE, NONE, NONE }, PAD_CHAN0_BIT },
	};
	ExpectFrames( frames, 2 );
}

TEST_F( PADReadTest, PlaysQueuedReadingsBackOneFramePerReadAndHoldsTheLast ) {
	const PADStatus walk = Reading( 0, 40, -20 );
	const PADStatus jump = Reading( PAD_BUTTON_A, 40, -20, 0, 0, 0, 0, 200, 0 );
	const PADStatus second = Reading( PAD_BUTTON_START | PAD_TRIGGER_Z, -128, 127, 5, -5, 255, 17 );

	ASSERT_TRUE( PADHostQueueStatus( 0, walk ) );
	ASSERT_TRUE( PADHostQueueNoChange( 0 ) );
	ASSERT_TRUE( PADHostQueueStatus( 0, jump ) );
	ASSERT_TRUE( PADHostQueueDisconnected( 0 ) );
	ASSERT_TRUE( PADHostQueueNoChange( 1 ) );
	ASSERT_TRUE( PADHostQueueStatus( 1, second ) );
	ASSERT_TRUE( PADHostQueueStatus( 3, second ) );
	ASSERT_TRUE( PADHostQueueDisconnected( 3 ) );
	EXPECT_EQ( PADHostPendingFrames( 0 ), 4u );
	EXPECT_EQ( PADHostPendingFrames( 1 ), 2u );
	EXPECT_EQ( PADHostPendingFrames( 2 ), 0u );

	const Frame frames[] = {
		{ { walk, NONE, NONE, second }, PAD_CHAN0_BIT | PAD_CHAN3_BIT },
		{ { walk, second, NONE, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT },
		{ { jump, second, NONE, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT },
		{ { NONE, second, NONE, NONE }, PAD_CHAN1_BIT },
		{ { NONE, second, NONE, NONE }, PAD_CHAN1_BIT },
	};
	ExpectFrames( frames, 5 );
	EXPECT_EQ( PADHostPendingFrames( 0 ), 0u );

	// Queueing again after the queue ran dry starts from the new entries.
	ASSERT_TRUE( PADHostQueueStatus( 0, jump ) );
	const Frame more[] = { { { jump, second, NONE, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT } };
	ExpectFrames( more, 1 );
}

TEST_F( PADReadTest, AReadingWithAnErrorCarriesNoInput ) {
	const s8 errors[] = { PAD_ERR_NO_CONTROLLER, PAD_ERR_NOT_READY, PAD_ERR_TRANSFER };
	for ( const s8 err : errors ) {
		SCOPED_TRACE( int( err ) );
		PADStatus noisy = Reading( PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_START, 90, 90, 9, 9, 99, 99, 9, 9 );
		noisy.err = err;
		ASSERT_TRUE( PADHostQueueStatus( 2, noisy ) );
		PADStatus status[PAD_MAX_CONTROLLERS];
		EXPECT_EQ( PADRead( status ) & PAD_CHAN2_BIT, 0u );
		EXPECT_EQ( status[2], ErrorReading( err ) );
	}
}

TEST_F( PADReadTest, RefusesPortsOutsideTheFour ) {
	const s32 badPorts[] = { -1, 4, 0x7FFFFFFF, static_cast<s32>( 0x80000000 ) };
	for ( const s32 chan : badPorts ) {
		SCOPED_TRACE( chan );
		EXPECT_FALSE( PADHostQueueStatus( chan, REST ) );
		EXPECT_FALSE( PADHostQueueDisconnected( chan ) );
		EXPECT_FALSE( PADHostQueueNoChange( chan ) );
		EXPECT_EQ( PADHostPendingFrames( chan ), 0u );
		PADControlMotor( chan, PAD_MOTOR_RUMBLE );
		EXPECT_EQ( PADHostMotorCommandCount( chan ), 0u );
	}
	EXPECT_EQ( PADRead( nullptr ), 0u );
}

TEST_F( PADReadTest, RecordsResetsByChannelBitAndMotorCommandsByPort ) {
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
	PADStatus status[PAD_MAX_CONTROLLERS];
	PADRead( status );
	EXPECT_EQ( status[1].err, PAD_ERR_NO_CONTROLLER );

	EXPECT_EQ( PADHostMotorCommand( 0 ), PAD_MOTOR_STOP );
	PADControlMotor( 0, PAD_MOTOR_RUMBLE );
	PADControlMotor( 3, PAD_MOTOR_RUMBLE );
	PADControlMotor( 0, PAD_MOTOR_STOP_HARD );
	EXPECT_EQ( PADHostMotorCommand( 0 ), PAD_MOTOR_STOP_HARD );
	EXPECT_EQ( PADHostMotorCommandCount( 0 ), 2u );
	EXPECT_EQ( PADHostMotorCommand( 3 ), PAD_MOTOR_RUMBLE );
	EXPECT_EQ( PADHostMotorCommandCount( 1 ), 0u );
}

TEST_F( PADReadTest, InitLoadsTheScriptOfTheHostSettingOnce ) {
	char path[] = "/tmp/pad-script-XXXXXX";
	const int fd = mkstemp( path );
	ASSERT_GE( fd, 0 );
	const char script[] = "0 X+B+START 0 0 0 0 0 0\n1 A 10 0 0 0 0 0\n0 -\n";
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
		{ { reset, a, NONE, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT },
		{ { reset, a, NONE, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT },
		{ { reset, a, NONE, NONE }, PAD_CHAN0_BIT | PAD_CHAN1_BIT },
	};
	ExpectFrames( frames, 3 );
}
