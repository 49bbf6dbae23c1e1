#include "platform/os/OS.h"

#include "platform/host/HostEventQueue.h"

BOOL OSDisableInterrupts() {
	return HostSetInterruptsEnabled( false ) ? 1 : 0;
}

BOOL OSEnableInterrupts() {
	return HostSetInterruptsEnabled( true ) ? 1 : 0;
}

BOOL OSRestoreInterrupts( const BOOL level ) {
	return HostSetInterruptsEnabled( level != 0 ) ? 1 : 0;
}
