/*
===============================================================================

	Video interface, host version.

	The video interface scans a frame buffer out to the TV and raises an
	interrupt at every vertical retrace. On the host the retraces are
	periodic events on the host event queue: 60 a second for the 60 Hz
	formats, 50 for PAL, from the moment VIInit runs. Each due time is
	computed from the retrace number, so the schedule never drifts.

	At each retrace, with interrupts disabled: the retrace count goes up by
	one, the pre-retrace callback runs, settings flushed with VIFlush take
	effect (the next frame buffer becomes the displayed one, the black-out
	state changes), the field flips in interlaced modes, and the
	post-retrace callback runs. Both callbacks receive the new count.

	Nothing is drawn on the host; tests and tools observe what would be on
	the screen through VIGetCurrentFrameBuffer and the host calls below.

===============================================================================
*/
#ifndef VI_H
#define VI_H

#include "platform/types/PlatformTypes.h"
#include "platform/gx/GXRenderMode.h"
#include "platform/os/OS.h"
#include "platform/vi/VITypes.h"

// Starts the video interface and its retraces; the screen is black until
// VISetBlack(FALSE) is flushed. A second call changes nothing.
void				VIInit();

// Takes the scan-out settings of a render mode. A mode of a 50 Hz format
// switches the retraces to 50 a second from the next one on, and back.
void				VIConfigure( const GXRenderModeObj* mode );

// The TV format of the console: the ENGINE_TV_FORMAT host setting unless a
// test forced another value.
u32					VIGetTvFormat();

// The buffer to show from the next flushed retrace on, as last set; null
// until one is set.
void				VISetNextFrameBuffer( void* frameBuffer );
void*				VIGetNextFrameBuffer();

// The buffer being scanned out; null until a flushed retrace showed one.
void*				VIGetCurrentFrameBuffer();

// Blacks the picture out (or shows it again) from the next flushed retrace.
void				VISetBlack( BOOL black );

// Makes the settings given since the last retrace take effect at the next.
void				VIFlush();

// Waits until the next retrace has run. Interrupts are enabled during the
// wait, as on the console where the waiting thread sleeps, and restored.
void				VIWaitForRetrace();

// Retraces since VIInit.
u32					VIGetRetraceCount();

// The field the next retrace shows: VI_FIELD_ABOVE or VI_FIELD_BELOW. Modes
// that are not interlaced always show the upper one.
u32					VIGetNextField();

// Install a retrace callback (null removes it); return the one replaced.
VIRetraceCallback	VISetPreRetraceCallback( VIRetraceCallback callback );
VIRetraceCallback	VISetPostRetraceCallback( VIRetraceCallback callback );

#endif
