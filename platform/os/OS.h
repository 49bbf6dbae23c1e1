/*
===============================================================================

	OS library, host version.

	The calls the engine makes on the console's operating system library,
	with the behaviour its callers rely on: initialisation, the free memory
	arena, interrupt disable and restore, the time base and calendar, debug
	reports, fatal panics and reset, the reset button, the ROM font and the
	cache maintenance calls (no-ops: the host has no incoherent DMA).

	Panics and resets end the executable with a message; tests replace the
	behaviour through the hooks below.

===============================================================================
*/
#ifndef OS_H
#define OS_H

#include "platform/types/PlatformTypes.h"

#include <cstdarg>

typedef s32 BOOL;
typedef s64 OSTime;
typedef u32 OSTick;

constexpr s64 OS_BUS_CLOCK   = 162000000;
constexpr s64 OS_TIMER_CLOCK = OS_BUS_CLOCK / 4;

// Time-base conversions.
constexpr OSTime OSSecondsToTicks( const s64 s )       { return s * OS_TIMER_CLOCK; }
constexpr OSTime OSMillisecondsToTicks( const s64 ms ) { return ms * ( OS_TIMER_CLOCK / 1000 ); }
constexpr OSTime OSMicrosecondsToTicks( const s64 us ) { return us * ( OS_TIMER_CLOCK / 125000 ) / 8; }
constexpr s64    OSTicksToMilliseconds( const OSTime t ) { return t / ( OS_TIMER_CLOCK / 1000 ); }
constexpr s64    OSTicksToMicroseconds( const OSTime t ) { return t * 8 / ( OS_TIMER_CLOCK / 125000 ); }
constexpr s64    OSTicksToSeconds( const OSTime t )      { return t / OS_TIMER_CLOCK; }

// Broken-down calendar time of the time base.
struct OSCalendarTime {
	s32		sec;	// 0 to 59
	s32		min;	// 0 to 59
	s32		hour;	// 0 to 23
	s32		mday;	// 1 to 31
	s32		mon;	// 0 to 11
	s32		year;	// e.g. 2026
	s32		wday;	// 0 (Sunday) to 6
	s32		yday;	// 0 to 365
	s32		msec;	// 0 to 999
	s32		usec;	// 0 to 999
};

// Initialises the OS: creates the arena if it does not exist yet.
void	OSInit();

// The free memory arena.
void*	OSGetArenaLo();
void*	OSGetArenaHi();
void	OSSetArenaLo( void* lo );
void	OSSetArenaHi( void* hi );

// Interrupts. Disable and Enable return the previous state; Restore sets
// the state given and returns the previous one. Going from disabled to
// enabled delivers the interrupt-level work that fell due meanwhile.
BOOL	OSDisableInterrupts();
BOOL	OSEnableInterrupts();
BOOL	OSRestoreInterrupts( BOOL level );

// Thread queues. The host has one thread: sleeping delivers interrupt-
// level work (and runs the GPU) until another party wakes the queue.
struct OSThreadQueue {
	u32		wakeups;	// bumped by every OSWakeupThread
};

void	OSInitThreadQueue( OSThreadQueue* queue );
// Must be called with interrupts enabled.
void	OSSleepThread( OSThreadQueue* queue );
void	OSWakeupThread( OSThreadQueue* queue );

// Time base.
OSTime	OSGetTime();
OSTick	OSGetTick();
void	OSTicksToCalendarTime( OSTime ticks, OSCalendarTime* td );

// Debug output and fatal errors.
void	OSReport( const char* format, ... ) __attribute__( ( format( printf, 1, 2 ) ) );
void	OSVReport( const char* format, va_list args );
[[noreturn]] void OSPanic( const char* file, s32 line, const char* format, ... ) __attribute__( ( format( printf, 3, 4 ) ) );

// Reset kinds of OSResetSystem.
constexpr s32 OS_RESET_RESTART  = 0;
constexpr s32 OS_RESET_HOTRESET = 1;
constexpr s32 OS_RESET_SHUTDOWN = 2;

// Resets the console. On the host the hook decides; by default the
// executable ends cleanly with a message.
void	OSResetSystem( s32 reset, u32 resetCode, BOOL forceMenu );

// True while the reset button is held.
BOOL	OSGetResetButtonState();

// Cache maintenance: nothing to do on the host.
void	DCFlushRange( void* address, u32 bytes );
void	DCFlushRangeNoSync( void* address, u32 bytes );
void	DCStoreRange( void* address, u32 bytes );
void	DCStoreRangeNoSync( void* address, u32 bytes );
void	DCInvalidateRange( void* address, u32 bytes );
void	ICInvalidateRange( void* address, u32 bytes );

// Bytes of the locked cache: fast scratch memory the decoder kernels use.
constexpr u32 LC_BYTES = 16 * 1024;

// Turns the locked cache on and returns its start: on the host a block of
// LC_BYTES, 32-byte aligned, the same for the whole run.
void*	LCEnable();

#endif
