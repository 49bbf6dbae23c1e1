#include "platform/host/HostEventQueue.h"

#include "platform/host/HostClock.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct HostEvent {
	HostEventId			id;			// 0 marks a free slot
	s64					dueTick;
	u64					sequence;	// keeps posting order among equal due times
	HostEventHandler	handler;
	void*				context;
};

HostEvent	events[HOST_MAX_EVENTS];
u32			pendingCount = 0;
HostEventId	nextId = 1;
u64			nextSequence = 0;
bool		interruptsEnabled = true;
bool		delivering = false;
bool		stopped = false;		// the program is ending
u64			idleCount = 0;

// Index of the earliest pending event, or -1 when none waits.
s32 FindEarliest() {
	s32 best = -1;
	for ( u32 i = 0; i < HOST_MAX_EVENTS; ++i ) {
		const HostEvent& e = events[i];
		if ( e.id == 0 ) {
			continue;
		}
		if ( best < 0 || e.dueTick < events[best].dueTick ||
			 ( e.dueTick == events[best].dueTick && e.sequence < events[best].sequence ) ) {
			best = static_cast<s32>( i );
		}
	}
	return best;
}

// Runs one event as an interrupt handler would: with interrupts disabled.
void RunEvent( const s32 index ) {
	const HostEvent e = events[index];
	events[index].id = 0;
	--pendingCount;
	interruptsEnabled = false;
	e.handler( e.context );
	interruptsEnabled = true;
}

}

HostEventId HostPostEventAt( const s64 dueTick, const HostEventHandler handler, void* context ) {
	if ( stopped ) {
		return 0;
	}
	for ( u32 i = 0; i < HOST_MAX_EVENTS; ++i ) {
		if ( events[i].id != 0 ) {
			continue;
		}
		HostEvent& e = events[i];
		e.id = nextId++;
		if ( nextId == 0 ) {
			nextId = 1;
		}
		e.dueTick = dueTick;
		e.sequence = nextSequence++;
		e.handler = handler;
		e.context = context;
		++pendingCount;
		return e.id;
	}
	// The console's hardware cannot lose an interrupt; a full queue is a bug
	// in the host layer, not a condition for callers to handle.
	std::fprintf( stderr, "host: event queue full (%u events)\n", HOST_MAX_EVENTS );
	std::abort();
}

HostEventId HostPostEventAfter( const s64 delayTicks, const HostEventHandler handler, void* context ) {
	return HostPostEventAt( HostClockNow() + delayTicks, handler, context );
}

bool HostCancelEvent( const HostEventId id ) {
	if ( id == 0 ) {
		return false;
	}
	for ( HostEvent& e : events ) {
		if ( e.id == id ) {
			e.id = 0;
			--pendingCount;
			return true;
		}
	}
	return false;
}

u32 HostPendingEventCount() {
	return pendingCount;
}

void HostDeliverEvents() {
	if ( !interruptsEnabled || delivering ) {
		return;
	}
	delivering = true;
	for ( ;; ) {
		const s32 index = FindEarliest();
		if ( index < 0 || events[index].dueTick > HostClockNow() ) {
			break;
		}
		RunEvent( index );
	}
	delivering = false;
}

void HostAdvanceTime( const s64 deltaTicks ) {
	if ( !HostClockIsVirtual() ) {
		HostDeliverEvents();
		return;
	}
	const s64 target = HostClockNow() + ( deltaTicks > 0 ? deltaTicks : 0 );
	if ( interruptsEnabled && !delivering ) {
		delivering = true;
		for ( ;; ) {
			const s32 index = FindEarliest();
			if ( index < 0 || events[index].dueTick > target ) {
				break;
			}
			if ( events[index].dueTick > HostClockNow() ) {
				HostClockSet( events[index].dueTick );
			}
			RunEvent( index );
		}
		delivering = false;
	}
	HostClockSet( target );
}

namespace {

void IdleTurn( const s64 cap ) {
	++idleCount;
	const s32 index = FindEarliest();
	if ( HostClockIsVirtual() ) {
		// With nothing deliverable the clock still moves by one step, so a
		// loop that waits for time itself (or waits with interrupts off)
		// makes progress.
		s64 step = HOST_IDLE_STEP_TICKS;
		if ( index >= 0 ) {
			const s64 wait = events[index].dueTick - HostClockNow();
			if ( wait > 0 ) {
				step = wait;
			} else if ( interruptsEnabled && !delivering ) {
				step = 0;
			}
		}
		HostAdvanceTime( step < cap ? step : cap );
		return;
	}
	// The wait is compared with the cap as a distance from now: the
	// uncapped turn's cap is the largest tick count, and now + cap would
	// overflow.
	const s64 now = HostClockNow();
	s64 wait = HOST_IDLE_STEP_TICKS;
	if ( index >= 0 ) {
		wait = events[index].dueTick - now;
	}
	if ( wait > cap ) {
		wait = cap;
	}
	if ( wait > 0 ) {
		HostClockSleepUntil( now + wait );
	}
	HostDeliverEvents();
}

}	// namespace

void HostIdle() {
	IdleTurn( INT64_MAX );
}

void HostIdleAtMost( const s64 maxTicks ) {
	IdleTurn( maxTicks > 0 ? maxTicks : HOST_IDLE_STEP_TICKS );
}

u64 HostIdleCount() {
	return idleCount;
}

bool HostInterruptsEnabled() {
	return interruptsEnabled;
}

bool HostSetInterruptsEnabled( const bool enabled ) {
	const bool previous = interruptsEnabled;
	interruptsEnabled = enabled;
	if ( enabled && !previous ) {
		HostDeliverEvents();
	}
	return previous;
}

void HostStopEvents() {
	for ( HostEvent& e : events ) {
		e.id = 0;
	}
	pendingCount = 0;
	stopped = true;
}

void HostResetEvents() {
	for ( HostEvent& e : events ) {
		e.id = 0;
	}
	pendingCount = 0;
	stopped = false;
	interruptsEnabled = true;
	delivering = false;
	idleCount = 0;
}
