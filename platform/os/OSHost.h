/*
===============================================================================

	Host-only controls of the OS library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef OS_HOST_H
#define OS_HOST_H

#include "platform/os/OS.h"

// Host hooks for the calls that leave the program or print.
typedef void ( *OSHostReportHook )( const char* text );
typedef void ( *OSHostPanicHook )( const char* file, s32 line, const char* message );
typedef void ( *OSHostResetHook )( s32 reset, u32 resetCode, BOOL forceMenu );

// Each setter returns the hook it replaces; null restores the default.
OSHostReportHook	OSHostSetReportHook( OSHostReportHook hook );
// A panic hook must not return: it ends the program or unwinds (tests throw).
OSHostPanicHook		OSHostSetPanicHook( OSHostPanicHook hook );
OSHostResetHook		OSHostSetResetHook( OSHostResetHook hook );

// Scripts the reset button.
void	OSHostSetResetButton( bool pressed );

// A second say on the reset button: OSGetResetButtonState reads pressed
// when the state set above or the source says so. The controller library
// installs its per-frame records here. Returns the source replaced; null
// removes it.
typedef bool ( *OSHostResetButtonSource )();
OSHostResetButtonSource	OSHostSetResetButtonSource( OSHostResetButtonSource source );

// Thread queues. A sleep with interrupts disabled could never be woken on
// the host (no interrupt-level work is delivered): it returns at once and
// is counted as a fault. A sleep that sees no wake-up for ten virtual
// seconds ends through the panic hook, so a test that forgot to resume
// the GPU fails instead of hanging. The observer, when installed, is
// called as each sleep begins.

// Virtual seconds a sleep may wait for its wake-up.
constexpr s64 OS_HOST_SLEEP_LIMIT_SECONDS = 10;

typedef void ( *OSHostSleepObserver )( OSThreadQueue* queue );

// Returns the observer replaced; null removes it.
OSHostSleepObserver	OSHostSetSleepObserver( OSHostSleepObserver observer );
// Sleeps begun since the last reset.
u32					OSHostSleepCount();
// Sleeps attempted with interrupts disabled since the last reset.
u32					OSHostSleepFaults();
void				OSHostResetThreads();

#endif
