/*
===============================================================================

	A HUD text window: a literal string or a text of the level's text
	table laid out in the window with a HUD font, with word wrap at spaces
	and tabs, line and block alignment, colour and font changes and
	arguments (numbers, UTF-16 strings, other texts) filled in each frame.

	Text-command streams are big-endian byte images: u32 command words,
	each followed by its payload, 4-byte aligned. 0: a run of u16 glyph
	codes ended by 0 and padded (0xFFFF newline, 0xFFFE space, 0xFFFD
	tab); 1: end; 2: u16 display flags, u8 width, u8 pad: show the next
	argument; 3: u32 colour; 4: colour from the next argument; 5: u32
	font slot (-1 the window's); 6: font from the next argument. A
	literal is converted once into the window's own stream (text id -1);
	table entries are streams already.

	Each update lays the stream out into render commands in the frame's
	command block: {u32 glyph, f32 x, f32 y} per glyph, {-2, font slot},
	{-3, colour index} and a final -1. Layout stops, still ending with
	-1, when the block is full. Glyphs of an empty or unknown font slot,
	texts past the table and arguments past the 20th (read as 0) show
	nothing.

===============================================================================
*/
#ifndef EF_HUD_TEXT_WINDOW_BC_H
#define EF_HUD_TEXT_WINDOW_BC_H

#include "framework/graphics/hud/EFHudWindow.h"

#include <cstdarg>
#include <cstdint>

class EFFont;

constexpr u32 EF_HUD_TEXT_ARGUMENTS		= 20;
// Text id of a window showing its own converted literal.
constexpr u32 EF_HUD_OWN_TEXT			= 0xFFFFFFFF;
// Bytes of a formatted literal, terminator included.
constexpr u32 EF_HUD_FORMAT_BYTES		= 1024;
// Glyphs of a displayed number.
constexpr u32 EF_HUD_ARG_GLYPHS			= 30;

// Text flags in the window's flags word.
constexpr u32 EF_HUD_TEXT_CENTER_LINES	= 0x10000;
constexpr u32 EF_HUD_TEXT_CENTER_BLOCK	= 0x20000;
constexpr u32 EF_HUD_TEXT_RIGHT_LINES	= 0x40000;
constexpr u32 EF_HUD_TEXT_BOTTOM_BLOCK	= 0x80000;
constexpr u32 EF_HUD_TEXT_OWN_MARGINS	= 0x100000;

// Text commands.
enum EFHudTextCommand_e : u32 {
	EF_TEXT_RUN				= 0,
	EF_TEXT_END				= 1,
	EF_TEXT_ARGUMENT		= 2,
	EF_TEXT_COLOR			= 3,
	EF_TEXT_COLOR_ARGUMENT	= 4,
	EF_TEXT_FONT			= 5,
	EF_TEXT_FONT_ARGUMENT	= 6,
};

// Glyph codes of a run.
constexpr u16 EF_GLYPH_END				= 0;
constexpr u16 EF_GLYPH_NEWLINE			= 0xFFFF;
constexpr u16 EF_GLYPH_SPACE			= 0xFFFE;
constexpr u16 EF_GLYPH_TAB				= 0xFFFD;

// Argument display flags.
constexpr u32 EF_ARG_NUMBER				= 0x1;
constexpr u32 EF_ARG_POINTER			= 0x2;
constexpr u32 EF_ARG_MIN_WIDTH			= 0x4;
constexpr u32 EF_ARG_ZERO_PAD			= 0x8;
constexpr u32 EF_ARG_HEX				= 0x10;
constexpr u32 EF_ARG_UNSIGNED			= 0x20;
constexpr u32 EF_ARG_UNICODE			= 0x40;
constexpr u32 EF_ARG_TEXT_ID			= 0x80;

// Render-command markers.
constexpr u32 EF_RENDER_END				= 0xFFFFFFFF;
constexpr u32 EF_RENDER_FONT			= 0xFFFFFFFE;
constexpr u32 EF_RENDER_COLOR			= 0xFFFFFFFD;

class EFHudTextWindow_BC : public EFHudWindow {
public:
							EFHudTextWindow_BC( u32 flags, u32 priority );
							~EFHudTextWindow_BC() override;

	// printf-style into 1024 bytes, then converted; arguments untouched.
	void					SetStringToDisplay( const char * format, va_list args );
	// The literal converted; the arguments its stream consumes read.
	void					SetTextToDisplay( const char * string, va_list args );
	// A text of the table; the arguments its stream consumes read.
	void					SetTextToDisplay( u32 textId, va_list args );

	// The literal as a command stream with the window's font into buffer;
	// bytes written, 0 when it does not fit or there is no font.
	u32						ConvertStringToTextCommands( const char * string, u8 * buffer, u32 bytes ) const;
	// Lays the stream (bytes long) out into commands; commands then stands
	// after the final -1.
	void					ConvertTextCommandsToRenderCommands( const u8 * stream, u32 bytes, void *& commands );

	u32						SpecificUpdate( f32 dt, void *& commands, unsigned long & count ) override;

	// The own stream's bytes, null without one.
	const u8 *				GetCommandBuffer() const { return mpCommandBuffer; }
	u32						GetCommandBufferBytes() const { return muiCommandBytes; }

	u32						muiTextId;
	u8 *					mpRenderStart;
	uintptr_t				mauiArguments[EF_HUD_TEXT_ARGUMENTS];
	f32						mafMargins[4];
	u8 *					mpCommandBuffer;
	u32						muiFont;
	f32						mafLayoutArea[4];
	u32						muiColor;
	// The argument words came from stored data: none of them is an address,
	// so arguments shown through a pointer show nothing.
	bool					mbStoredArguments;

protected:
	void					DisplayString( const u8 * run, const u8 * end );
	void					DisplayUnicodeString( const u8 * text );
	void					DisplayArg( u32 flags, u32 width );
	void					AlignLine();
	void					AlignY();

private:
	// Layout state of the current update.
	u8 *					mpOut;
	u8 *					mpOutEnd;
	u8 *					mpLineStart;
	u8 *					mpBreak;
	EFFont *				mpoLayoutFont;
	f32						mfPenX;
	f32						mfPenY;
	f32						mfWordStart;
	f32						mfLineRight;
	f32						mfBreakRight;
	u32						muiNextArgument;
	bool					mbWordPending;
	bool					mbFull;
	u32						muiCommandBytes;

	void					FreeBuffer();
	void					ConvertLiteral( const char * string );
	void					ReadArguments( va_list args );
	uintptr_t				NextArgument();
	void					LayoutGlyph( u16 code );
	void					MarkBreak( f32 wordStart );
	// False (and full from then on) when bytes do not fit.
	bool					Reserve( u32 bytes );
	bool					WriteGlyph( u32 glyph, f32 x, f32 y );
	void					WriteMarker( u32 marker, u32 value );
	void					MoveGlyphs( u8 * from, u8 * to, f32 dx, f32 dy );
	// The stream of a text-table entry, null past the table.
	const u8 *				GetTableText( u32 id, const u8 *& end ) const;
};

#endif
