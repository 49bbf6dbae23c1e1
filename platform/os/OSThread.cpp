#include "platform/os/OSHost.h"

#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"

namespace {

struct ThreadState {
	OSHostSleepObserver	observer;
	u32					sleeps;
	u32					faults;
};

ThreadState threads;

}	// namespace

void OSInitThreadQueue( OSThreadQueue* queue ) {
	queue->wakeups = 0;
}

void OSSleepThread( OSThreadQueue* queue ) {
	if ( !HostInterruptsEnabled() ) {
		threads.faults++;
		return;
	}
	threads.sleeps++;
	if ( threads.observer != nullptr ) {
		threads.observer( queue );
	}
	const u32 seen = queue->wakeups;
	const s64 start = HostClockNow();
	while ( queue->wakeups == seen ) {
		if ( HostClockNow() - start > HostSecondsToTicks( OS_HOST_SLEEP_LIMIT_SECONDS ) ) {
			OSPanic( __FILE__, __LINE__, "OSSleepThread: no wake-up for %d seconds",
					 static_cast<s32>( OS_HOST_SLEEP_LIMIT_SECONDS ) );
		}
		HostIdle();
	}
}

void OSWakeupThread( OSThreadQueue* queue ) {
	queue->wakeups++;
}

OSHostSleepObserver OSHostSetSleepObserver( const OSHostSleepObserver observer ) {
	const OSHostSleepObserver previous = threads.observer;
	threads.observer = observer;
	return previous;
}

u32 OSHostSleepCount() {
	return threads.sleeps;
}

u32 OSHostSleepFaults() {
	return threads.faults;
}

void OSHostResetThreads() {
	threads = ThreadState();
}
