/*
===============================================================================

	Render-mode records: how the frame is drawn into the embedded frame
	buffer, copied to the external one and scanned out by the video
	interface.

	The four interlaced, deflickered full-height modes stand for the TV
	formats the engine supports. Their values follow the published video
	timings: a 640-pixel picture centred in the 720-pixel active line, 480
	frame lines for the 60 Hz formats and 528 of PAL's 574 centred
	vertically, both fields in one external buffer, no antialiasing, and a
	seven-tap vertical filter weighted toward the centre line (weights sum
	to 64) to tame interlace flicker.

	The record is 60 bytes, the size callers copy.

===============================================================================
*/
#ifndef GX_RENDER_MODE_H
#define GX_RENDER_MODE_H

#include "platform/types/PlatformTypes.h"
#include "platform/gx/GXTypes.h"
#include "platform/vi/VITypes.h"

struct GXRenderModeObj {
	VITVMode	viTVmode;				// format and scan mode
	u16			fbWidth;				// embedded and external buffer width, pixels
	u16			efbHeight;				// embedded buffer height, lines
	u16			xfbHeight;				// external buffer height, lines
	u16			viXOrigin;				// left of the picture in the active line
	u16			viYOrigin;				// top of the picture, frame lines
	u16			viWidth;				// scanned-out width, pixels
	u16			viHeight;				// scanned-out height, frame lines
	VIXFBMode	xFBmode;				// one field or both fields per buffer
	GXBool		field_rendering;		// draw one field per frame
	GXBool		aa;						// multisample antialiasing
	u8			sample_pattern[12][2];	// sample offsets, three per pixel of a 2x2 quad
	u8			vfilter[7];				// vertical copy filter weights
};

static_assert( sizeof( GXRenderModeObj ) == 60, "the render-mode record is copied as 60 bytes" );

extern GXRenderModeObj GXNtsc480IntDf;
extern GXRenderModeObj GXPal528IntDf;
extern GXRenderModeObj GXMpal480IntDf;
extern GXRenderModeObj GXEurgb60Hz480IntDf;

// Copies in to out with hor pixels cut from each side and ver frame lines
// from top and bottom, so the picture stays clear of the TV's overscan.
// in and out may be the same record. Cuts larger than the picture leave a
// zero-sized one; null pointers do nothing.
void GXAdjustForOverscan( const GXRenderModeObj* in, GXRenderModeObj* out, u16 hor, u16 ver );

#endif
