#include "PADTestSupport.h"

#include <cmath>
#include <cstdlib>

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

TEST( PADClamp, ClampCirclePullsSticksOutsideTheirCirclesOntoThemTowardZero ) {
	const StickCase cases[] = {
		{ { 0, 0 }, { 0, 0 }, { 0, 0 } },
		{ { 1, -1 }, { 1, -1 }, { 1, -1 } },			// no dead zone
		{ { 15, 0 }, { 15, 0 }, { 15, 0 } },
		{ { 44, 0 }, { 44, 0 }, { 44, 0 } },			// on the C stick's circle
		{ { 0, -45 }, { 0, -45 }, { 0, -44 } },
		{ { 56, 0 }, { 56, 0 }, { 44, 0 } },			// on the main stick's circle
		{ { 0, 57 }, { 0, 56 }, { 0, 44 } },
		{ { 30, 40 }, { 30, 40 }, { 26, 35 } },			// distance 50
		{ { -40, 30 }, { -40, 30 }, { -35, 26 } },
		{ { 40, 40 }, { 39, 39 }, { 31, 31 } },			// distance 56.6
		{ { 60, 80 }, { 33, 44 }, { 26, 35 } },			// beyond both circles
		{ { 127, 0 }, { 56, 0 }, { 44, 0 } },
		{ { -128, 0 }, { -56, 0 }, { -44, 0 } },
		{ { 0, 127 }, { 0, 56 }, { 0, 44 } },
		{ { 127, 127 }, { 39, 39 }, { 31, 31 } },
		{ { -128, -128 }, { -39, -39 }, { -31, -31 } },
		{ { -128, 127 }, { -39, 39 }, { -31, 30 } },
	};
	ExpectStickCases( PADClampCircle, cases, sizeof( cases ) / sizeof( cases[0] ) );
}

TEST( PADClamp, ClampCapsEachAxisOnItsOwn ) {
	const StickCase cases[] = {
		{ { 0, 0 }, { 0, 0 }, { 0, 0 } },
		{ { 15, -15 }, { 15, -15 }, { 15, -15 } },
		{ { 44, -45 }, { 44, -45 }, { 44, -44 } },
		{ { 56, 57 }, { 56, 56 }, { 44, 44 } },
		{ { 127, 127 }, { 56, 56 }, { 44, 44 } },
		{ { -128, 60 }, { -56, 56 }, { -44, 44 } },
		{ { 10, 100 }, { 10, 56 }, { 10, 44 } },
	};
	ExpectStickCases( PADClamp, cases, sizeof( cases ) / sizeof( cases[0] ) );
}

TEST( PADClamp, LeavesTriggersButtonsAndAnalogButtonsAlone ) {
	const u8 values[] = { 0, 1, 30, 31, 150, 181, 255 };
	for ( void ( *clamp )( PADStatus* ) : { PADClamp, PADClampCircle } ) {
		for ( const u8 value : values ) {
			SCOPED_TRACE( int( value ) );
			const PADStatus in = Reading( PAD_BUTTON_ALL, 0, 0, 0, 0, value, value, value, value );
			PADStatus out[PAD_MAX_CONTROLLERS];
			ClampOnAllPorts( clamp, in, out );
			EXPECT_EQ( out[3], in );
		}
	}
}

TEST( PADClamp, ClampCircleKeepsEveryStickPositionInsideItsCircleNearItsEdgeAndOnItsDirection ) {
	struct Stick {
		s8 PADStatus::*	x;
		s8 PADStatus::*	y;
		s32				range;
	};
	const Stick sticks[] = {
		{ &PADStatus::stickX, &PADStatus::stickY, PAD_STICK_RANGE },
		{ &PADStatus::substickX, &PADStatus::substickY, PAD_SUBSTICK_RANGE },
	};
	for ( s32 x = -128; x <= 127; ++x ) {
		for ( s32 y = -128; y <= 127; ++y ) {
			PADStatus out[PAD_MAX_CONTROLLERS];
			ClampOnAllPorts( PADClampCircle, WithSticks( { s8( x ), s8( y ) }, { s8( x ), s8( y ) } ), out );
			for ( const Stick& stick : sticks ) {
				const s32 outX = out[0].*stick.x;
				const s32 outY = out[0].*stick.y;
				const s32 range = stick.range;
				if ( x * x + y * y <= range * range ) {
					ASSERT_TRUE( outX == x && outY == y ) << x << "," << y;
					continue;
				}
				// Each coordinate loses less than 1 by rounding toward zero.
				const f64 length = std::sqrt( f64( outX * outX + outY * outY ) );
				ASSERT_LE( outX * outX + outY * outY, range * range ) << x << "," << y;
				ASSERT_GT( length, range - std::sqrt( 2.0 ) ) << x << "," << y;
				ASSERT_TRUE( outX * x >= 0 && outY * y >= 0 && std::abs( outX ) <= std::abs( x ) &&
							 std::abs( outY ) <= std::abs( y ) )
					<< x << "," << y;
			}
		}
	}
}

TEST( PADClamp, LeavesReadingsWithAnErrorAlone ) {
	PADStatus status[PAD_MAX_CONTROLLERS];
	for ( s32 chan = 0; chan < PAD_MAX_CONTROLLERS; ++chan ) {
		status[chan] = Reading( 0, 100, 100, 100, 100, 200, 200 );
	}
	// Error readings arrive zeroed; a caller's own noisy copy is kept as is.
	status[1].err = PAD_ERR_NO_CONTROLLER;
	status[2].err = PAD_ERR_TRANSFER;
	const PADStatus missing = status[1];
	const PADStatus failed = status[2];
	PADClampCircle( status );
	EXPECT_EQ( status[1], missing );
	EXPECT_EQ( status[2], failed );
	EXPECT_EQ( status[0].stickX, 39 );
	PADClamp( status );
	EXPECT_EQ( status[1], missing );
	EXPECT_EQ( status[2], failed );
	PADClamp( nullptr );
	PADClampCircle( nullptr );
}
