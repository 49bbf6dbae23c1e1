#include "platform/axart/AXART.h"
#include "platform/axart/AXARTHost.h"
#include "platform/host/HostStartupLog.h"

namespace {

u32 initCount = 0;

}

void AXARTInit() {
	HostStartupLogAppend( "AXARTInit" );
	++initCount;
}

u32 AXARTHostInitCount() {
	return initCount;
}

void AXARTHostReset() {
	initCount = 0;
}
