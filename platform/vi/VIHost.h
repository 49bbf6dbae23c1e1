/*
===============================================================================

	Host-only controls of the VI library stand-in.

	Nothing here exists on the console: tests and the host executable use
	these to script, inspect and reset the library. Engine code never
	includes this header.

===============================================================================
*/
#ifndef VI_HOST_H
#define VI_HOST_H

#include "platform/vi/VI.h"

#include <vector>

// Host: forces the TV format VIGetTvFormat reports, any value included, so
// callers' handling of unknown formats can be tested.
void				VIHostSetTvFormat( u32 format );

// Host: true while the displayed picture is blacked out.
bool				VIHostIsBlack();

// Host: the mode last given to VIConfigure, or null.
const GXRenderModeObj* VIHostGetConfiguredMode();

// Host: retraces per second of the running schedule; 0 before VIInit.
u32					VIHostRetracesPerSecond();

// Host: stops the retraces and forgets everything, callbacks included.
// Tests call it after HostResetEvents, which drops the pending retrace.
void				VIHostReset();

// Host: a log of what each retrace showed. Every retrace appends one entry
// after its flushed settings took effect: the retrace number, the frame
// buffer scanned out, the serial of the display copy that buffer holds (as
// the graphics library reports it; 0 when none or no source is installed)
// and whether the picture is blacked out. VIHostReset clears it.
struct VIHostRetrace {
	u32			retrace;
	const void*	frameBuffer;
	u32			copySerial;
	bool		black;
};

// Host: tells which display copy a frame buffer holds; installed by GXInit.
typedef u32 ( *VIHostCopySerialSource )( const void* frameBuffer );
void								VIHostSetCopySerialSource( VIHostCopySerialSource source );

// The last 1024 entries, oldest first (a copy made for the caller).
std::vector<VIHostRetrace>			VIHostRetraceLog();
void								VIHostClearRetraceLog();

#endif
