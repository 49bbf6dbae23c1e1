/*
===============================================================================

	Video interface types: TV formats, scan modes, frame-buffer modes, fields
	and the retrace callback.

	A TV mode word packs the format and the scan mode as the console does:
	format in the upper bits, scan mode (interlaced, non-interlaced,
	progressive) in the low two bits. Render-mode records and the video
	interface calls share these, so they live apart from both.

===============================================================================
*/
#ifndef VI_TYPES_H
#define VI_TYPES_H

#include "platform/types/PlatformTypes.h"

// TV formats, as VIGetTvFormat reports them.
constexpr u32 VI_NTSC		= 0;
constexpr u32 VI_PAL		= 1;
constexpr u32 VI_MPAL		= 2;
constexpr u32 VI_DEBUG		= 3;
constexpr u32 VI_DEBUG_PAL	= 4;
constexpr u32 VI_EURGB60	= 5;

// Scan modes.
constexpr u32 VI_INTERLACE		= 0;
constexpr u32 VI_NON_INTERLACE	= 1;
constexpr u32 VI_PROGRESSIVE	= 2;

// Builds a TV mode word from a format and a scan mode.
constexpr u32 VI_TVMODE( const u32 format, const u32 scan ) { return ( format << 2 ) + scan; }

// Splits a TV mode word.
constexpr u32 VITvModeFormat( const u32 mode ) { return mode >> 2; }
constexpr u32 VITvModeScan( const u32 mode )   { return mode & 0x3; }

// TV mode word: four bytes, as the render-mode record stores it.
enum VITVMode : u32 {
	VI_TVMODE_NTSC_INT		= VI_TVMODE( VI_NTSC, VI_INTERLACE ),
	VI_TVMODE_NTSC_DS		= VI_TVMODE( VI_NTSC, VI_NON_INTERLACE ),
	VI_TVMODE_NTSC_PROG		= VI_TVMODE( VI_NTSC, VI_PROGRESSIVE ),
	VI_TVMODE_PAL_INT		= VI_TVMODE( VI_PAL, VI_INTERLACE ),
	VI_TVMODE_PAL_DS		= VI_TVMODE( VI_PAL, VI_NON_INTERLACE ),
	VI_TVMODE_MPAL_INT		= VI_TVMODE( VI_MPAL, VI_INTERLACE ),
	VI_TVMODE_MPAL_DS		= VI_TVMODE( VI_MPAL, VI_NON_INTERLACE ),
	VI_TVMODE_EURGB60_INT	= VI_TVMODE( VI_EURGB60, VI_INTERLACE ),
	VI_TVMODE_EURGB60_DS	= VI_TVMODE( VI_EURGB60, VI_NON_INTERLACE ),
};

// External frame-buffer layout: one field per buffer, or both fields
// interleaved in one buffer.
enum VIXFBMode : u32 {
	VI_XFBMODE_SF	= 0,
	VI_XFBMODE_DF	= 1,
};

// Fields of an interlaced picture.
constexpr u32 VI_FIELD_BELOW	= 0;
constexpr u32 VI_FIELD_ABOVE	= 1;

// Visible area of each format, in pixels and frame lines.
constexpr u16 VI_MAX_WIDTH_NTSC		= 720;
constexpr u16 VI_MAX_HEIGHT_NTSC	= 480;
constexpr u16 VI_MAX_WIDTH_PAL		= 720;
constexpr u16 VI_MAX_HEIGHT_PAL		= 574;
constexpr u16 VI_MAX_WIDTH_MPAL		= 720;
constexpr u16 VI_MAX_HEIGHT_MPAL	= 480;
constexpr u16 VI_MAX_WIDTH_EURGB60	= VI_MAX_WIDTH_NTSC;
constexpr u16 VI_MAX_HEIGHT_EURGB60	= VI_MAX_HEIGHT_NTSC;

// Called at interrupt level at each retrace with the retrace count.
typedef void ( *VIRetraceCallback )( u32 retraceCount );

#endif
