#include "framework/audio/GCChorus.h"

#include "platform/axfx/AXFX.h"
#include "platform/os/OS.h"

GCChorus g_Chorus[2];

GCChorus::GCChorus() : moParameters{ 5, 0, 500 } {
}

GCChorus::~GCChorus() {
}

void GCChorus::ShutDown() {
	const BOOL level = OSDisableInterrupts();
	AXFXChorusShutdown( &moParameters );
	OSRestoreInterrupts( level );
}
