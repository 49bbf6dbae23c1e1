/*
===============================================================================

	Full-screen disc messages.

	While a disc read waits on a drive that reports a missing disc, an open
	cover, a wrong disc or an unreadable disc, the reader puts one of four
	messages on screen in the start-up language. The text is drawn with the
	console's ROM font straight into the luma bytes of a frame buffer, with
	no graphics library: this must work whatever state the renderer is in.

	Texts are single-byte Windows-1252, the ROM font's encoding. Lines are
	separated by line feeds; glyphs falling outside the frame are clipped,
	never wrapped.

===============================================================================
*/
#ifndef DT_DISC_MESSAGE_H
#define DT_DISC_MESSAGE_H

#include "datatypes/base/DTTypes.h"

// Message indices. A wrong disc asks for the right one: same text as 0.
constexpr s32 DT_DISC_MESSAGE_INSERT_DISC	= 0;
constexpr s32 DT_DISC_MESSAGE_COVER_OPEN	= 1;
constexpr s32 DT_DISC_MESSAGE_WRONG_DISC	= 2;
constexpr s32 DT_DISC_MESSAGE_UNREADABLE	= 3;
constexpr s32 DT_DISC_MESSAGE_COUNT			= 4;

// Frame buffer geometry: 640 pixels of two bytes (luma, then chroma).
constexpr u32 DT_FRAME_WIDTH				= 640;
constexpr u32 DT_FRAME_STRIDE				= 1280;
constexpr u32 DT_FRAME_HEIGHT_60HZ			= 448;	// NTSC, MPAL, EURGB60
constexpr u32 DT_FRAME_HEIGHT_PAL			= 496;

// Where text goes: the column every line starts at, and the line pitch.
constexpr s32 DT_MESSAGE_LEFT_COLUMN		= 75;
constexpr s32 DT_MESSAGE_LINE_HEIGHT		= 24;

// Frame buffer drawn into while the video interface has none. Allocated
// from the global heap when needed; whoever frees it sets it to null.
extern void* gTempFB;

// Room for a language code, terminator included.
constexpr u32 DT_LANGUAGE_CODE_MAX			= 10;

// Writes the start-up language's two-letter code ("FR", "EN" ...) into out
// (DT_LANGUAGE_CODE_MAX bytes). The platform entry knows the language and
// installs the hook at start-up.
typedef void ( *DTLanguageHook )( char* out );

// Installs the language hook; returns the one it replaces. Null removes it.
DTLanguageHook	DTSetLanguageHook( DTLanguageHook hook );

// Message index in the start-up language (English when no hook is
// installed or the language is not one of EN, DE, FR, ES, IT, NL). An
// index outside 0..3 gives "".
const char*	GetLocalizedMessage( s32 index );

// The same for a given two-letter language code.
const char*	GetLocalizedMessageFor( const char* language, s32 index );

// Frame height for a TV format, 0 for a format the engine does not know.
u32			DTFrameHeightForTvFormat( u32 tvFormat );

// Clears the next frame buffer (or gTempFB) to black and draws text
// centred vertically. An empty or null text draws nothing. An unknown TV
// format is fatal.
void		DisplayMessageWithRomFont( const char* text );

#endif
