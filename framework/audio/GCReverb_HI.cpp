#include "framework/audio/GCReverb_HI.h"

#include "platform/axfx/AXFX.h"
#include "platform/os/OS.h"

GCReverb_HI g_HIReverb[2];

void GCReverb_HI::ShutDown() {
	const BOOL level = OSDisableInterrupts();
	AXFXReverbHiShutdown( &moParameters );
	OSRestoreInterrupts( level );
}
