#include "platform/ai/AI.h"
#include "platform/ai/AIHost.h"
#include "platform/host/HostStartupLog.h"

namespace {

u32	initCount = 0;
u8*	initStack = nullptr;

}

void AIInit( u8* stack ) {
	HostStartupLogAppend( "AIInit" );
	++initCount;
	initStack = stack;
}

u32 AIHostInitCount() {
	return initCount;
}

u8* AIHostInitStack() {
	return initStack;
}

void AIHostReset() {
	initCount = 0;
	initStack = nullptr;
}
