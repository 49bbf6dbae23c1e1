#include "platform/arq/ARQ.h"
#include "platform/arq/ARQHost.h"

#include "platform/am/AM.h"
#include "platform/am/AMHost.h"
#include "platform/ar/AR.h"
#include "platform/ar/ARHost.h"
#include "platform/ar/ARHostCheck.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OS.h"
#include "platform/host/HostStartupLog.h"

#include <cstdlib>
#include <cstring>

namespace {

struct ARQState {
	ARQRequest*		head;			// pending requests in posting order
	ARQRequest*		tail;
	ARQRequest*		inFlight;		// started, waiting for its completion
	HostEventId		startEvent;		// 0 when no start is scheduled
	HostEventId		completeEvent;
	s64				fixedTicks;
	s64				ticksPerKilobyte;
	u32				pendingCount;
	u32				completedCount;
	bool			settingsLoaded;	// latency read from the environment
};

ARQState state;

void OnStart( void* );
ARQState& Settings();
void OnComplete( void* );

bool IsQueued( const ARQRequest* request ) {
	if ( request == state.inFlight ) {
		return true;
	}
	for ( const ARQRequest* r = state.head; r != nullptr; r = r->next ) {
		if ( r == request ) {
			return true;
		}
	}
	return false;
}

void ScheduleStart() {
	if ( state.startEvent == 0 && state.inFlight == nullptr && state.head != nullptr ) {
		state.startEvent = HostPostEventAfter( 0, OnStart, nullptr );
	}
}

// Removes and returns the oldest request of the highest priority waiting.
ARQRequest* TakeNext() {
	ARQRequest* previous = nullptr;
	ARQRequest* best = nullptr;
	ARQRequest* bestPrevious = nullptr;
	for ( ARQRequest* r = state.head; r != nullptr; previous = r, r = r->next ) {
		if ( best == nullptr || ( r->priority == ARQ_PRIORITY_HIGH && best->priority != ARQ_PRIORITY_HIGH ) ) {
			best = r;
			bestPrevious = previous;
		}
	}
	if ( best == nullptr ) {
		return nullptr;
	}
	( bestPrevious != nullptr ? bestPrevious->next : state.head ) = best->next;
	if ( state.tail == best ) {
		state.tail = bestPrevious;
	}
	best->next = nullptr;
	return best;
}

void OnStart( void* ) {
	state.startEvent = 0;
	ARQRequest* request = TakeNext();
	if ( request == nullptr ) {
		return;
	}
	state.inFlight = request;
	const s64 latency = Settings().fixedTicks + static_cast<s64>( request->length ) * state.ticksPerKilobyte / 1024;
	state.completeEvent = HostPostEventAfter( latency, OnComplete, nullptr );
}

void OnComplete( void* ) {
	state.completeEvent = 0;
	ARQRequest* request = state.inFlight;
	if ( request == nullptr ) {
		return;
	}
	u8* aram = ARHostMemory();
	if ( request->type == ARQ_TYPE_MRAM_TO_ARAM ) {
		std::memcpy( aram + request->destination, reinterpret_cast<const void*>( request->source ), request->length );
	} else {
		std::memcpy( reinterpret_cast<void*>( request->destination ), aram + request->source, request->length );
	}
	state.inFlight = nullptr;
	--state.pendingCount;
	++state.completedCount;
	if ( request->callback != nullptr ) {
		request->callback( request );
	}
	ScheduleStart();
}

s64 LatencyFromEnvironment() {
	const char* text = std::getenv( "ENGINE_ARQ_LATENCY" );
	if ( text == nullptr || text[0] == 0 ) {
		return 0;
	}
	char* end = nullptr;
	const unsigned long long microseconds = std::strtoull( text, &end, 10 );
	if ( *end != 0 || text[0] < '0' || text[0] > '9' || microseconds > 60000000ull ) {
		OSReport( "host: ENGINE_ARQ_LATENCY \"%s\" is not a number of microseconds up to a minute; using 0\n", text );
		return 0;
	}
	return OSMicrosecondsToTicks( static_cast<s64>( microseconds ) );
}

// The state with its latency read from the environment on first use.
ARQState& Settings() {
	if ( !state.settingsLoaded ) {
		state.fixedTicks = LatencyFromEnvironment();
		state.settingsLoaded = true;
	}
	return state;
}

bool IsAligned( const ARQAddress value ) {
	return ( value & ( AR_ALIGNMENT - 1 ) ) == 0;
}

// Checks a post; reports and returns false when it must be refused.
bool CheckPost( const ARQRequest* request, const u32 type, const ARQAddress source, const ARQAddress destination,
				const u32 length ) {
	if ( request == nullptr ) {
		ARHostFail( AR_CHECK_OUT_OF_RANGE, "ARQPostRequest: null request record" );
		return false;
	}
	if ( IsQueued( request ) ) {
		ARHostFail( AR_CHECK_POSTED_TWICE, "ARQPostRequest: request %p posted again while pending",
					static_cast<const void*>( request ) );
		return false;
	}
	if ( type != ARQ_TYPE_MRAM_TO_ARAM && type != ARQ_TYPE_ARAM_TO_MRAM ) {
		ARHostFail( AR_CHECK_OUT_OF_RANGE, "ARQPostRequest: unknown transfer type %u", type );
		return false;
	}
	if ( !IsAligned( source ) || !IsAligned( destination ) || ( length & ( AR_ALIGNMENT - 1 ) ) != 0 ) {
		ARHostFail( AR_CHECK_MISALIGNED, "ARQPostRequest: source 0x%llx, destination 0x%llx, length %u not all multiples of 32",
					static_cast<unsigned long long>( source ), static_cast<unsigned long long>( destination ), length );
		return false;
	}
	const ARQAddress aram = type == ARQ_TYPE_MRAM_TO_ARAM ? destination : source;
	const ARQAddress main = type == ARQ_TYPE_MRAM_TO_ARAM ? source : destination;
	if ( aram > 0xFFFFFFFFu || !ARHostIsUserRange( static_cast<u32>( aram ), length ) ) {
		ARHostFail( AR_CHECK_OUT_OF_RANGE, "ARQPostRequest: auxiliary range 0x%llx + %u outside user memory",
					static_cast<unsigned long long>( aram ), length );
		return false;
	}
	if ( main == 0 ) {
		ARHostFail( AR_CHECK_OUT_OF_RANGE, "ARQPostRequest: null main-memory buffer" );
		return false;
	}
	if ( type == ARQ_TYPE_MRAM_TO_ARAM && AMHostTouchesZeroBuffer( static_cast<u32>( aram ), length ) ) {
		ARHostFail( AR_CHECK_ZERO_BUFFER, "ARQPostRequest: transfer to 0x%llx + %u would write the zero buffer",
					static_cast<unsigned long long>( aram ), length );
		return false;
	}
	return true;
}

}

void ARQInit() {
	HostStartupLogAppend( "ARQInit" );
	// Latency is a host setting and survives; the queue starts empty.
	const s64 fixedTicks = Settings().fixedTicks;
	const s64 ticksPerKilobyte = state.ticksPerKilobyte;
	HostCancelEvent( state.startEvent );
	HostCancelEvent( state.completeEvent );
	state = ARQState{};
	state.fixedTicks = fixedTicks;
	state.ticksPerKilobyte = ticksPerKilobyte;
	state.settingsLoaded = true;
}

void ARQPostRequest( ARQRequest* request, const u32 owner, const u32 type, const u32 priority, const ARQAddress source,
					 const ARQAddress destination, const u32 length, const ARQCallback callback ) {
	if ( !CheckPost( request, type, source, destination, length ) ) {
		return;
	}
	// No interrupt guard here: re-enabling interrupts is a dispatch point,
	// and a transfer must not complete inside the call that posts it.
	request->next = nullptr;
	request->owner = owner;
	request->type = type;
	request->priority = priority != ARQ_PRIORITY_LOW ? ARQ_PRIORITY_HIGH : ARQ_PRIORITY_LOW;
	request->source = source;
	request->destination = destination;
	request->length = length;
	request->callback = callback;
	if ( state.tail != nullptr ) {
		state.tail->next = request;
	} else {
		state.head = request;
	}
	state.tail = request;
	++state.pendingCount;
	ScheduleStart();
}

void ARQHostSetLatency( const s64 fixedTicks, const s64 ticksPerKilobyte ) {
	Settings();
	state.fixedTicks = fixedTicks > 0 ? fixedTicks : 0;
	state.ticksPerKilobyte = ticksPerKilobyte > 0 ? ticksPerKilobyte : 0;
}

u32 ARQHostPendingCount() {
	return state.pendingCount;
}

u32 ARQHostCompletedCount() {
	return state.completedCount;
}

void ARQHostReset() {
	HostCancelEvent( state.startEvent );
	HostCancelEvent( state.completeEvent );
	state = ARQState{};
	Settings();
}
