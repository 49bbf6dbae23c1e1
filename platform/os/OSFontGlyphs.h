/*
===============================================================================

	Glyph drawings of the host ROM font.

	The glyphs are drawn on a grid of OS_FONT_DESIGN_ROWS rows and enlarged
	OS_FONT_DESIGN_SCALE times into the font's cells. They come in bands of
	several glyphs side by side: a band names its character codes (in
	Windows-1252) and gives each grid row as the glyphs' slots separated by
	'|', with '#' for ink and '.' for paper. A slot's width is the glyph's
	width on the grid; one empty grid column follows every glyph.

	Grid rows: capitals and ascenders occupy rows 2 to 8, the x-height rows
	4 to 8, descenders rows 9 and 10; accents sit in rows 1 and 2.

	The bands are checked when the program is compiled: every row of a band
	has the same slots, one per code, no wider than a cell allows, and no
	code is drawn twice.

===============================================================================
*/
#ifndef OS_FONT_GLYPHS_H
#define OS_FONT_GLYPHS_H

#include "platform/types/PlatformTypes.h"

constexpr u32 OS_FONT_DESIGN_ROWS  = 12;
constexpr u32 OS_FONT_DESIGN_SCALE = 2;

// Widest slot: the glyph and its trailing column must fit in a 24-texel cell.
constexpr u32 OS_FONT_DESIGN_MAX_WIDTH = 11;

// Glyphs drawn side by side.
struct OSFontGlyphBand {
	const char*	codes;
	const char*	rows[OS_FONT_DESIGN_ROWS];
};

// The bands of the font and their number.
const OSFontGlyphBand*	OSFontGlyphBands();
u32						OSFontGlyphBandCount();

#endif
