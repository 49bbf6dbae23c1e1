#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/host/HostSettings.h"

namespace {

constexpr u32 RETRACES_PER_SECOND_60HZ = 60;
constexpr u32 RETRACES_PER_SECOND_50HZ = 50;
// Entries the retrace log keeps; the oldest goes first.
constexpr u32 RETRACE_LOG_LIMIT = 1024;

struct VIState {
	bool				initialised;
	u32					retraceCount;

	// Retrace i of the schedule falls due at origin + i seconds / rate;
	// index is the number of the pending one.
	u32					rate;
	s64					scheduleOrigin;
	s64					scheduleIndex;
	HostEventId			pendingRetrace;

	void*				nextFrameBuffer;
	void*				currentFrameBuffer;
	bool				blackRequested;
	bool				black;
	bool				flushPending;

	bool				configured;
	GXRenderModeObj		mode;

	VIRetraceCallback	preRetrace;
	VIRetraceCallback	postRetrace;

	// The retrace log: a ring of the last RETRACE_LOG_LIMIT entries, kept
	// without allocating (the program may route operator new to the
	// engine's heaps).
	VIHostRetrace				retraceLog[RETRACE_LOG_LIMIT];
	u32							retraceLogCount;
	u32							retraceLogFirst;
	VIHostCopySerialSource		copySerialSource;

	bool				tvFormatForced;
	u32					forcedTvFormat;
	bool				warnedNotRunning;
};

VIState state;

u32 RateForFormat( const u32 format ) {
	return ( format == VI_PAL || format == VI_DEBUG_PAL ) ? RETRACES_PER_SECOND_50HZ : RETRACES_PER_SECOND_60HZ;
}

s64 DueTick( const s64 index ) {
	return state.scheduleOrigin + index * HOST_TIMER_CLOCK / state.rate;
}

void RetraceHandler( void* );

// Posts the next retrace of the schedule. A retrace delivered late (the
// game kept interrupts disabled across several) does not bring the missed
// ones in a burst: as on the console, they are lost, and the schedule
// continues with the first due time still ahead.
void ScheduleNextRetrace() {
	const s64 now = HostClockNow();
	s64 index = state.scheduleIndex + 1;
	if ( DueTick( index ) <= now ) {
		index = ( now - state.scheduleOrigin ) * state.rate / HOST_TIMER_CLOCK + 1;
	}
	state.scheduleIndex = index;
	state.pendingRetrace = HostPostEventAt( DueTick( index ), RetraceHandler, nullptr );
}

// Runs at interrupt level, with interrupts disabled by the event queue.
void RetraceHandler( void* ) {
	ScheduleNextRetrace();
	++state.retraceCount;
	if ( state.preRetrace != nullptr ) {
		state.preRetrace( state.retraceCount );
	}
	if ( state.flushPending ) {
		state.currentFrameBuffer = state.nextFrameBuffer;
		state.black = state.blackRequested;
		state.flushPending = false;
	}
	const void* const shown = state.currentFrameBuffer;
	const u32 serial = state.copySerialSource != nullptr && shown != nullptr ? state.copySerialSource( shown ) : 0;
	const VIHostRetrace entry = { state.retraceCount, shown, serial, state.black };
	if ( state.retraceLogCount < RETRACE_LOG_LIMIT ) {
		state.retraceLog[( state.retraceLogFirst + state.retraceLogCount++ ) % RETRACE_LOG_LIMIT] = entry;
	} else {
		state.retraceLog[state.retraceLogFirst] = entry;
		state.retraceLogFirst = ( state.retraceLogFirst + 1 ) % RETRACE_LOG_LIMIT;
	}
	if ( state.postRetrace != nullptr ) {
		state.postRetrace( state.retraceCount );
	}
}

}

void VIInit() {
	if ( state.initialised ) {
		return;
	}
	const u32 format = state.configured ? VITvModeFormat( state.mode.viTVmode ) : VIGetTvFormat();
	state.initialised = true;
	state.rate = RateForFormat( format );
	state.scheduleOrigin = HostClockNow();
	state.scheduleIndex = 0;
	state.black = true;
	state.blackRequested = true;
	ScheduleNextRetrace();
}

void VIConfigure( const GXRenderModeObj* mode ) {
	if ( mode == nullptr ) {
		OSReport( "VIConfigure: no render mode given\n" );
		return;
	}
	state.mode = *mode;
	state.configured = true;
	const u32 rate = RateForFormat( VITvModeFormat( mode->viTVmode ) );
	if ( !state.initialised || rate == state.rate ) {
		return;
	}
	// The pending retrace keeps its time; the new rate counts from it.
	state.scheduleOrigin = DueTick( state.scheduleIndex );
	state.scheduleIndex = 0;
	state.rate = rate;
}

u32 VIGetTvFormat() {
	if ( state.tvFormatForced ) {
		return state.forcedTvFormat;
	}
	return static_cast<u32>( HostGetSettings().tvFormat );
}

void VISetNextFrameBuffer( void* frameBuffer ) {
	state.nextFrameBuffer = frameBuffer;
}

void* VIGetNextFrameBuffer() {
	return state.nextFrameBuffer;
}

void* VIGetCurrentFrameBuffer() {
	return state.currentFrameBuffer;
}

void VISetBlack( const BOOL black ) {
	state.blackRequested = black != 0;
}

void VIFlush() {
	state.flushPending = true;
}

void VIWaitForRetrace() {
	if ( !state.initialised ) {
		// On the console this would hang for ever; say so once and go on.
		if ( !state.warnedNotRunning ) {
			OSReport( "VIWaitForRetrace: the video interface is not initialised\n" );
			state.warnedNotRunning = true;
		}
		return;
	}
	const u32 start = state.retraceCount;
	// Retraces that cannot be delivered (a wait from inside an interrupt
	// handler) must not hang the host: give up two periods after the due time.
	const s64 deadline = DueTick( state.scheduleIndex ) + 2 * HOST_TIMER_CLOCK / state.rate;
	// A retrace already due is delivered before the deadline is judged, so
	// a host that fell behind (the real clock under load) still takes it.
	const BOOL wasEnabled = OSEnableInterrupts();
	HostDeliverEvents();
	while ( state.retraceCount == start ) {
		if ( HostClockNow() > deadline ) {
			OSReport( "VIWaitForRetrace: no retrace arrived; interrupt-level work cannot wait for one\n" );
			break;
		}
		HostIdle();
	}
	OSRestoreInterrupts( wasEnabled );
}

u32 VIGetRetraceCount() {
	return state.retraceCount;
}

u32 VIGetNextField() {
	const bool interlaced = !state.configured || VITvModeScan( state.mode.viTVmode ) == VI_INTERLACE;
	if ( !interlaced ) {
		return VI_FIELD_ABOVE;
	}
	// Fields alternate, the upper one first after VIInit.
	return ( state.retraceCount & 1 ) == 0 ? VI_FIELD_ABOVE : VI_FIELD_BELOW;
}

VIRetraceCallback VISetPreRetraceCallback( const VIRetraceCallback callback ) {
	const VIRetraceCallback previous = state.preRetrace;
	state.preRetrace = callback;
	return previous;
}

VIRetraceCallback VISetPostRetraceCallback( const VIRetraceCallback callback ) {
	const VIRetraceCallback previous = state.postRetrace;
	state.postRetrace = callback;
	return previous;
}

void VIHostSetTvFormat( const u32 format ) {
	state.tvFormatForced = true;
	state.forcedTvFormat = format;
}

bool VIHostIsBlack() {
	return state.black;
}

const GXRenderModeObj* VIHostGetConfiguredMode() {
	return state.configured ? &state.mode : nullptr;
}

u32 VIHostRetracesPerSecond() {
	return state.initialised ? state.rate : 0;
}

void VIHostReset() {
	HostCancelEvent( state.pendingRetrace );
	state = VIState{};
}

void VIHostSetCopySerialSource( const VIHostCopySerialSource source ) {
	state.copySerialSource = source;
}

std::vector<VIHostRetrace> VIHostRetraceLog() {
	std::vector<VIHostRetrace> log;
	for ( u32 i = 0; i < state.retraceLogCount; i++ ) {
		log.push_back( state.retraceLog[( state.retraceLogFirst + i ) % RETRACE_LOG_LIMIT] );
	}
	return log;
}

void VIHostClearRetraceLog() {
	state.retraceLogCount = 0;
	state.retraceLogFirst = 0;
}
