/*
===============================================================================

	Host event queue and interrupt model.

	The console runs disc completions, retraces, audio frames and transfer
	completions at interrupt level. The host creates no thread: such work is
	posted here with the console tick at which it falls due, and delivered
	on the game thread at defined points only:

	  - when interrupts go from disabled to enabled,
	  - when a busy-wait calls HostIdle,
	  - when the virtual clock is advanced,
	  - when a caller explicitly polls (drive status and friends call
	    HostDeliverEvents).

	Once the program has decided to end, HostStopEvents drops what waits
	and delivers nothing more: static teardown frees memory, and each free
	restores interrupts, which must not run interrupt-level work over
	objects already destroyed.

	Events are delivered in order of due time, events due at the same tick
	in the order they were posted. Nothing is delivered while interrupts are
	disabled; a handler runs with interrupts disabled, as an interrupt
	handler would, and events it posts are delivered in the same pass when
	they are already due.

===============================================================================
*/
#ifndef HOST_EVENT_QUEUE_H
#define HOST_EVENT_QUEUE_H

#include "platform/types/PlatformTypes.h"

// A deferred piece of interrupt-level work.
typedef void ( *HostEventHandler )( void* context );

// Identifies a posted event; 0 is never a valid id.
typedef u32 HostEventId;

// Most events that can wait at once; posting beyond it is a host fault.
constexpr u32 HOST_MAX_EVENTS = 256;

// Schedules handler(context) for the given console tick. Returns its id.
HostEventId HostPostEventAt( s64 dueTick, HostEventHandler handler, void* context );

// Schedules handler(context) delayTicks after the current time.
HostEventId HostPostEventAfter( s64 delayTicks, HostEventHandler handler, void* context );

// Removes a pending event; false when it was already delivered or unknown.
bool HostCancelEvent( HostEventId id );

// Number of events still waiting.
u32 HostPendingEventCount();

// Delivers every event that is due now, unless interrupts are disabled.
void HostDeliverEvents();

// The hook every busy-wait loop calls once per turn. On the virtual clock it
// moves time to the next pending event (or by HOST_IDLE_STEP_TICKS when none
// waits) and delivers; on the real clock it sleeps briefly and delivers.
void HostIdle();

// HostIdle for a wait that ends at a time of its own: on the virtual clock
// the jump is at most maxTicks (0 or less: the idle step), so a deadline
// between two events is met closely; on the real clock the sleep is capped
// the same way. Delivery is HostIdle's.
void HostIdleAtMost( s64 maxTicks );

// Ticks the virtual clock moves when an idle turn finds nothing pending (1 ms).
constexpr s64 HOST_IDLE_STEP_TICKS = 40500;

// Idle turns taken since start-up or the last HostResetEvents.
u64 HostIdleCount();

// Interrupt state as the OS layer keeps it.
bool HostInterruptsEnabled();
bool HostSetInterruptsEnabled( bool enabled );

// The program is ending: drops every pending event; from now on posts are
// dropped (their id is 0) and nothing is delivered. A wait for an event
// (a completion, a token, a flag an interrupt sets) would spin for ever
// from here on: nothing after this may wait for one.
void HostStopEvents();

// Drops every pending event, re-enables interrupts and lifts a stop; for
// tests and reset.
void HostResetEvents();

#endif
