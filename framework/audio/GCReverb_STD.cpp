#include "framework/audio/GCReverb_STD.h"

#include "platform/axfx/AXFX.h"
#include "platform/os/OS.h"

GCReverb_STD g_STDReverb[2];

void GCReverb_STD::ShutDown() {
	const BOOL level = OSDisableInterrupts();
	AXFXReverbStdShutdown( &moParameters );
	OSRestoreInterrupts( level );
}
