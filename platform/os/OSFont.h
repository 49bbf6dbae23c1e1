/*
===============================================================================

	ROM font, host version.

	The console keeps a system font that programs copy into a buffer of
	their own with OSInitFont and then draw without any graphics library:
	OSGetFontTexture names the sheet and the cell of a character, and the
	caller reads the cell's texels itself. The host builds the same kind of
	buffer from a small bitmap font of its own in the single-byte
	Windows-1252 encoding. It covers every printable ASCII character and
	é è à á ó ö ß ™; any other code is drawn as the invalid character, a
	hollow box.

	Buffer layout, offsets counted from the start of the buffer, which holds
	the header:
	- widthTable: one byte per code from firstChar to lastChar, the texels
	  from a glyph's left edge to the next glyph's (0: no glyph for the code);
	- sheetImage (a multiple of 32): one sheet of I4 texels, four-bit
	  intensity from 0 (empty) to 15 (full ink), in 8 x 8 tiles of 32 bytes
	  stored left to right, then top to bottom. Inside a tile the rows run
	  top to bottom, 4 bytes a row, the left texel of each pair in the high
	  nibble.
	The sheet holds cellWidth x cellHeight cells, sheetColumn to a row, in
	code order from firstChar. A glyph's ink starts one texel right of its
	cell's left edge and ends before its advance; its baseline lies
	`ascent` texels below the cell's top.

	Everything fits in OS_FONT_SIZE_ANSI bytes, also after the caller has
	moved an unaligned allocation of that size up to a multiple of 32.

===============================================================================
*/
#ifndef OS_FONT_H
#define OS_FONT_H

#include "platform/os/OS.h"

// Encodings reported by OSGetFontEncode.
constexpr u16 OS_FONT_ENCODE_ANSI = 0;	// single byte: Windows-1252
constexpr u16 OS_FONT_ENCODE_SJIS = 1;	// Shift-JIS (never on the host)

// Bytes a caller sets aside for the font buffer.
constexpr u32 OS_FONT_SIZE_ANSI = 131392;

// Texel format of the sheets: four-bit intensity in 8 x 8 tiles.
constexpr u16 OS_FONT_SHEET_FORMAT_I4 = 0;

// Geometry of an I4 sheet, for callers that read texels themselves: tiles
// of 8 x 8 texels in 32 bytes, and the width of the ANSI sheet in texels.
constexpr u32 OS_FONT_TILE_SIZE        = 8;
constexpr u32 OS_FONT_TILE_BYTES       = 32;
constexpr u32 OS_FONT_SHEET_WIDTH_ANSI = 384;

// The record at the start of the font buffer. Sizes are in texels.
struct OSFontHeader {
	u16		fontType;		// encoding, as OSGetFontEncode reports it
	u16		firstChar;		// first code of the sheet
	u16		lastChar;		// last code of the sheet
	u16		invalChar;		// code drawn for every code without a glyph
	u16		ascent;			// cell top to baseline
	u16		descent;		// baseline to cell bottom
	u16		width;			// widest glyph advance
	u16		leading;		// baseline to baseline of successive lines
	u16		cellWidth;
	u16		cellHeight;
	u32		sheetSize;		// bytes of one sheet
	u16		sheetFormat;	// OS_FONT_SHEET_FORMAT_I4
	u16		sheetColumn;	// cells across a sheet
	u16		sheetRow;		// cells down a sheet
	u16		sheetWidth;
	u16		sheetHeight;
	u16		widthTable;		// byte offset of the width table from the header
	u32		sheetImage;		// byte offset of the first sheet from the header
	u32		sheetFullSize;	// bytes of all sheets together
};

// The encoding of the console's font: always OS_FONT_ENCODE_ANSI here.
u16			OSGetFontEncode();

// Builds the font into a buffer of OS_FONT_SIZE_ANSI bytes and makes it
// the font OSGetFontTexture reads. Returns 0, writing nothing, when the
// buffer is null or not aligned to 32 bytes.
BOOL		OSInitFont( OSFontHeader* fontData );

// Locates the glyph of the character at `string` in the current font:
// the sheet in `image`, the cell's top-left texel in `x` and `y` and the
// glyph's advance in `width` (any output may be null). Returns the
// character after the one consumed. At the terminating zero nothing is
// consumed and the invalid glyph is reported with width 0; before any
// OSInitFont the image is null and the position and width are 0.
const char*	OSGetFontTexture( const char* string, void** image, s32* x, s32* y, s32* width );

#endif
