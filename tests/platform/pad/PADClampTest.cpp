#include "PADTestSupport.h"

namespace {

struct Stick {
	s8	x, y;
};

struct StickCase {
	Stick	in;
	Stick	main;	// expected as the main stick
	Stick	c;		// expected as the C stick
};

PADStatus WithSticks( const Stick main, const Stick c ) {
	return Reading( PAD_BUTTON_A, main.x, main.y, c.x, c.y, 0, 0, 33, 44 );
}

void ClampOnAllPorts( void ( *clamp )( PADStatus* ), const PADStatus in, PADStatus out[PAD_MAX_CONTROLLERS] ) {
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		out[chan] = in;
	}
	clamp( out );
}

void ExpectStickCases( void ( *clamp )( PADStatus* ), const StickCase* cases, const u32 count ) {
	for ( u32 i = 0; i < count; ++i ) {
		const StickCase& c = cases[i];
		SCOPED_TRACE( testing::Message() << "in " << int( c.in.x ) << "," << int( c.in.y ) );
		PADStatus out[PAD_MAX_CONTROLLERS];
		ClampOnAllPorts( clamp, WithSticks( c.in, c.in ), out );
		for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
			EXPECT_EQ( out[chan], WithSticks( c.main, c.c ) ) << "port " << chan;
		}
	}
}

}

TEST( PADClamp, ClampCircleRemovesTheDeadZoneAndKeepsSticksInsideTheirCircles ) {
	const StickCase cases[] = {
		{ { 0, 0 }, { 0, 0 }, { 0, 0 } },
		{ { 15, 0 }, { 0, 0 }, { 0, 0 } },			// on the dead zone's edge
		{ { 10, -10 }, { 0, 0 }, { 0, 0 } },		// inside it diagonally
		{ { 16, 0 }, { 1, 0 }, { 1, 0 } },
		{ { 0, -16 }, { 0, -1 }, { 0, -1 } },
		{ { 30, 40 }, { 21, 28 }, { 21, 28 } },		// distance 50: 35 left
		{ { -40, 30 }, { -28, 21 }, { -28, 21 } },
		{ { 60, 80 }, { 33, 44 }, { 26, 35 } },		// beyond both ranges
		{ { 127, 0 }, { 56, 0 }, { 44, 0 } },
		{ { -128, 0 }, { -56, 0 }, { -44, 0 } },
		{ { 0, 127 }, { 0, 56 }, { 0, 44 } },
		{ { 127, 127 }, { 39, 39 }, { 31, 31 } },
		{ { -128, -128 }, { -39, -39 }, { -31, -31 } },
	};
	ExpectStickCases( PADClampCircle, cases, sizeof( cases ) / sizeof( cases[0] ) );
}

TEST( PADClamp, ClampTreatsEachAxisOnItsOwn ) {
	const StickCase cases[] = {
		{ { 0, 0 }, { 0, 0 }, { 0, 0 } },
		{ { 15, -15 }, { 0, 0 }, { 0, 0 } },
		{ { 16, -16 }, { 1, -1 }, { 1, -1 } },
		{ { 30, 40 }, { 15, 25 }, { 15, 25 } },
		{ { 127, 127 }, { 56, 56 }, { 44, 44 } },
		{ { -128, 60 }, { -56, 45 }, { -44, 44 } },
		{ { 10, 100 }, { 0, 56 }, { 0, 44 } },
	};
	ExpectStickCases( PADClamp, cases, sizeof( cases ) / sizeof( cases[0] ) );
}

TEST( PADClamp, TriggersLoseTheirDeadZoneAndStopAtTheirRange ) {
	const struct {
		u8	in;
		u8	out;
	} cases[] = {
		{ 0, 0 }, { 30, 0 }, { 31, 1 }, { 100, 70 }, { 180, 150 }, { 181, 150 }, { 255, 150 },
	};
	for ( void ( *clamp )( PADStatus* ) : { PADClamp, PADClampCircle } ) {
		for ( const auto& c : cases ) {
			SCOPED_TRACE( int( c.in ) );
			PADStatus out[PAD_MAX_CONTROLLERS];
			ClampOnAllPorts( clamp, Reading( 0, 0, 0, 0, 0, c.in, c.in ), out );
			EXPECT_EQ( out[3].triggerLeft, c.out );
			EXPECT_EQ( out[3].triggerRight, c.out );
		}
	}
}

TEST( PADClamp, ClampCircleKeepsEveryStickPositionInsideItsCircleAndDirection ) {
	for ( s32 x = -128; x <= 127; ++x ) {
		for ( s32 y = -128; y <= 127; ++y ) {
			PADStatus out[PAD_MAX_CONTROLLERS];
			ClampOnAllPorts( PADClampCircle, WithSticks( { s8( x ), s8( y ) }, { s8( x ), s8( y ) } ), out );
			const PADStatus& r = out[0];
			ASSERT_LE( r.stickX * r.stickX + r.stickY * r.stickY, PAD_STICK_RANGE * PAD_STICK_RANGE ) << x << "," << y;
			ASSERT_LE( r.substickX * r.substickX + r.substickY * r.substickY, PAD_SUBSTICK_RANGE * PAD_SUBSTICK_RANGE )
				<< x << "," << y;
			ASSERT_GE( r.stickX * x, 0 ) << x << "," << y;
			ASSERT_GE( r.stickY * y, 0 ) << x << "," << y;
		}
	}
}

TEST( PADClamp, LeavesReadingsWithAnErrorAlone ) {
	PADStatus status[PAD_MAX_CONTROLLERS];
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		status[chan] = Reading( 0, 100, 100, 100, 100, 200, 200 );
	}
	status[1].err = PAD_ERR_NO_CONTROLLER;
	status[2].err = PAD_ERR_TRANSFER;
	const PADStatus missing = status[1];
	const PADStatus failed = status[2];
	PADClampCircle( status );
	EXPECT_EQ( status[1], missing );
	EXPECT_EQ( status[2], failed );
	EXPECT_NE( status[0].stickX, 100 );
	PADClamp( nullptr );
	PADClampCircle( nullptr );
}
