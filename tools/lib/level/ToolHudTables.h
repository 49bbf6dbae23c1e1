/*
===============================================================================

	Encoders of the tables that fonts and text tables carry as blocks.

	Font character records are 11 big-endian floats each (u, v, u size,
	v size, pixel width, pixel height, y offset, texture page, then three
	screen values the engine computes, stored as 0); the character map is
	128 big-endian u16 glyph indices. A text language is an index of
	big-endian u32 byte offsets into a block of the texts, each stored
	with its terminating zero.

===============================================================================
*/
#ifndef TOOL_HUD_TABLES_H
#define TOOL_HUD_TABLES_H

#include "datatypes/base/DTTypes.h"
#include "tools/lib/level/ToolLevelRecords.h"

#include <array>
#include <span>
#include <string>
#include <vector>

// The eight stored fields of one character; the screen values follow.
struct ToolFontChar {
	f32							u = 0.0f;
	f32							v = 0.0f;
	f32							uSize = 0.0f;
	f32							vSize = 0.0f;
	f32							width = 0.0f;
	f32							height = 0.0f;
	f32							yOffset = 0.0f;
	f32							page = 0.0f;
};

class ToolHudTables {
public:
	// 44 bytes per character.
	static std::vector<u8>		CharTable( std::span<const ToolFontChar> chars );
	// 256 bytes: glyphs[c] for every ASCII code c.
	static std::vector<u8>		AsciiTable( const std::array<u16, 128>& glyphs );
	// The index and texts of one language for the given strings.
	static ToolTextLanguage		TextLanguage( std::span<const std::string> texts );
};

#endif
