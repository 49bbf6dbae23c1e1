/*
===============================================================================

	Host clock: the console's time base.

	The time base counts at a quarter of the 162 MHz bus clock. Tests and
	tools run on a virtual clock that only moves when told to (or when a
	busy-wait idles), so every run is deterministic; the engine executable
	switches to the real clock. Tick 0 is 2000-01-01 00:00:00, the console's
	calendar epoch.

===============================================================================
*/
#ifndef HOST_CLOCK_H
#define HOST_CLOCK_H

#include "platform/types/PlatformTypes.h"

constexpr s64 HOST_BUS_CLOCK   = 162000000;
constexpr s64 HOST_TIMER_CLOCK = HOST_BUS_CLOCK / 4;

// Seconds between 1970-01-01 and the console epoch 2000-01-01.
constexpr s64 HOST_EPOCH_OFFSET_SECONDS = 946684800;

// The current time base value.
s64 HostClockNow();

// True while the virtual clock is in use (the default).
bool HostClockIsVirtual();

// Switches to the real clock, anchored at the wall-clock time now.
void HostClockUseReal();

// Switches to the virtual clock and sets it to startTick.
void HostClockUseVirtual( s64 startTick );

// Moves the virtual clock forward without delivering events. Used by the
// event queue; tests call HostAdvanceTime instead.
void HostClockSet( s64 tick );

// Waits until the clock reaches tick: sleeps on the real clock, jumps the
// virtual one.
void HostClockSleepUntil( s64 tick );

// Advances the virtual clock by deltaTicks, delivering every event that
// falls due on the way at its own time. On the real clock it only delivers.
void HostAdvanceTime( s64 deltaTicks );

// Conversions on the time base.
constexpr s64 HostSecondsToTicks( const f64 seconds ) { return static_cast<s64>( seconds * HOST_TIMER_CLOCK ); }
constexpr s64 HostMillisecondsToTicks( const s64 ms ) { return ms * ( HOST_TIMER_CLOCK / 1000 ); }

#endif
