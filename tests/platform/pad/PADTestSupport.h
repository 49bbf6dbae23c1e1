/*
===============================================================================

	Shared helpers of the controller tests: a clean controller library and
	running retraces per test, readings built field by field, and a
	readable comparison.

===============================================================================
*/
#ifndef PAD_TEST_SUPPORT_H
#define PAD_TEST_SUPPORT_H

#include "platform/host/HostClock.h"
#include "platform/os/OSHost.h"
#include "platform/host/HostEventQueue.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

#include <gtest/gtest.h>

#include <ostream>

inline PADStatus Reading( const u16 buttons, const s8 stickX = 0, const s8 stickY = 0, const s8 substickX = 0,
						  const s8 substickY = 0, const u8 triggerLeft = 0, const u8 triggerRight = 0,
						  const u8 analogA = 0, const u8 analogB = 0 ) {
	PADStatus status = {};
	status.button = buttons;
	status.stickX = stickX;
	status.stickY = stickY;
	status.substickX = substickX;
	status.substickY = substickY;
	status.triggerLeft = triggerLeft;
	status.triggerRight = triggerRight;
	status.analogA = analogA;
	status.analogB = analogB;
	status.err = PAD_ERR_NONE;
	return status;
}

inline PADStatus ErrorReading( const s8 err ) {
	PADStatus status = {};
	status.err = err;
	return status;
}

inline bool operator==( const PADStatus& a, const PADStatus& b ) {
	return a.button == b.button && a.stickX == b.stickX && a.stickY == b.stickY && a.substickX == b.substickX &&
		   a.substickY == b.substickY && a.triggerLeft == b.triggerLeft && a.triggerRight == b.triggerRight &&
		   a.analogA == b.analogA && a.analogB == b.analogB && a.err == b.err;
}

inline void PrintTo( const PADStatus& s, std::ostream* os ) {
	*os << "{buttons 0x" << std::hex << s.button << std::dec << " stick " << int( s.stickX ) << "," << int( s.stickY )
		<< " c " << int( s.substickX ) << "," << int( s.substickY ) << " triggers " << int( s.triggerLeft ) << ","
		<< int( s.triggerRight ) << " analog " << int( s.analogA ) << "," << int( s.analogB ) << " err "
		<< int( s.err ) << "}";
}

// Each test starts with no records, the reset button up and the retraces
// running on the virtual clock from retrace 0.
class PADTestBase : public ::testing::Test {
protected:
	void SetUp() override {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		VIHostReset();
		VIHostSetTvFormat( VI_NTSC );
		VIInit();
		PADHostReset();
		OSHostSetResetButton( false );
	}
	void TearDown() override {
		VIHostReset();
		HostResetEvents();
		PADHostReset();
		OSHostSetResetButton( false );
	}

	// Moves on to the next frame.
	static void NextFrame() { VIWaitForRetrace(); }

	// Moves on to the given frame, which must not have passed.
	static void GoToFrame( const u32 frame ) {
		while ( VIGetRetraceCount() < frame ) {
			VIWaitForRetrace();
		}
	}
};

#endif
