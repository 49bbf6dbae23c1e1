#include "framework/audio/GCDelay.h"

#include "platform/axfx/AXFX.h"
#include "platform/os/OS.h"

GCDelay g_Delay[2];

GCDelay::GCDelay() : moParameters{ { 10, 10, 10 }, { 0, 0, 0 }, { 0, 0, 0 } } {
}

GCDelay::~GCDelay() {
}

void GCDelay::ShutDown() {
	const BOOL level = OSDisableInterrupts();
	AXFXDelayShutdown( &moParameters );
	OSRestoreInterrupts( level );
}
