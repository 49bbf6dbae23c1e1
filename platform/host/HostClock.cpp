#include "platform/host/HostClock.h"

#include <chrono>
#include <thread>

namespace {

bool	virtualClock = true;
s64		virtualTick = 0;

// Real clock: the tick value at the anchor, and the steady time of the anchor.
s64										realAnchorTick = 0;
std::chrono::steady_clock::time_point	realAnchor;

s64 RealNow() {
	const auto elapsed = std::chrono::steady_clock::now() - realAnchor;
	const s64 ns = std::chrono::duration_cast<std::chrono::nanoseconds>( elapsed ).count();
	// 40.5 ticks per microsecond: split to stay exact and clear of overflow.
	return realAnchorTick + ( ns / 1000000000 ) * HOST_TIMER_CLOCK + ( ns % 1000000000 ) * HOST_TIMER_CLOCK / 1000000000;
}

}

s64 HostClockNow() {
	return virtualClock ? virtualTick : RealNow();
}

bool HostClockIsVirtual() {
	return virtualClock;
}

void HostClockUseReal() {
	const auto wall = std::chrono::system_clock::now().time_since_epoch();
	const s64 ms = std::chrono::duration_cast<std::chrono::milliseconds>( wall ).count();
	realAnchorTick = ( ms - HOST_EPOCH_OFFSET_SECONDS * 1000 ) * ( HOST_TIMER_CLOCK / 1000 );
	realAnchor = std::chrono::steady_clock::now();
	virtualClock = false;
}

void HostClockUseVirtual( const s64 startTick ) {
	virtualClock = true;
	virtualTick = startTick;
}

void HostClockSet( const s64 tick ) {
	if ( virtualClock && tick > virtualTick ) {
		virtualTick = tick;
	}
}

void HostClockSleepUntil( const s64 tick ) {
	if ( virtualClock ) {
		HostClockSet( tick );
		return;
	}
	const s64 wait = tick - RealNow();
	if ( wait <= 0 ) {
		return;
	}
	const s64 ns = wait * 1000000000 / HOST_TIMER_CLOCK;
	std::this_thread::sleep_for( std::chrono::nanoseconds( ns ) );
}
