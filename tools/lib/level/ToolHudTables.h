/*
===============================================================================

	Encoders of the tables that fonts and text tables carry as blocks.

	Font character records are 11 big-endian floats each (u, v, u size,
	v size, pixel width, pixel height, y offset, texture page, then three
	screen values the engine computes, stored as 0); the character map is
	128 big-endian u16 glyph indices. A text language is an index of
	big-endian u32 byte offsets into a block of the texts, each stored
	with its terminating zero, or (TextCommandLanguage) a block of text-
	command streams.

	Text-command streams are big-endian u32 command words with their
	payloads, 4-byte aligned: 0 a run of u16 glyph codes ended by 0 and
	padded (0xFFFF newline, 0xFFFE space, 0xFFFD tab), 1 end, 2 u16 flags,
	u8 width, u8 pad, 3 u32 colour, 4 colour from an argument, 5 u32 font
	slot, 6 font from an argument. TextCommands converts a literal as the
	engine does: characters through the glyph map (128 and above as 33),
	"%(color)" ends the run with a colour-from-argument command.

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
	// The same index over command streams, each taken as it is.
	static ToolTextLanguage		TextCommandLanguage( std::span<const std::vector<u8>> streams );
	static std::vector<u8>		TextCommands( const std::string& text, const std::array<u16, 128>& glyphs );
};

// Builds a text-command stream command by command.
class ToolTextCommands {
public:
	ToolTextCommands&			Run( std::span<const u16> glyphs );
	ToolTextCommands&			Argument( u16 flags, u8 width );
	ToolTextCommands&			Color( u32 color );
	ToolTextCommands&			ColorArgument();
	ToolTextCommands&			Font( u32 slot );
	ToolTextCommands&			FontArgument();
	// Appends the end command and gives the stream.
	std::vector<u8>				End();

private:
	std::vector<u8>				mBytes;

	void						Word( u32 value );
	void						Unit( u16 value );
};

#endif
