// The engine executable: runs on the real clock, then hands over to the
// start-up code.

#include "Engine/implementation/GC/EIStartup.h"
#include "platform/host/HostClock.h"

int main( int argc, char** argv ) {
	HostClockUseReal();
	EIExit( EIMain( argc, argv ) );
}
