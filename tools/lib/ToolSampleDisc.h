/*
===============================================================================

	The sample disc.

	The disc the engine boots when it is run from the build: ENGINE.INI
	names the sample level's resource file and folder, the folder layout
	for that level and the start-up language is in place, and the level
	holds its loading-screen description, one font with its palettes, its
	texts (placeholder text bytes) and its resource file with the sample
	logic modules, a game object using the object module, then the sample
	game objects (a hot spot, a model with its nodes and sound, and a
	latent template), all driven by the object module, and last its
	splines (one open, one loop) in one generic-data record. The disc's
	root holds the memory-card icon.

	The disc depends only on the module images it is given: writing it
	again over an existing sample disc gives the same tree, byte for byte.

===============================================================================
*/
#ifndef TOOL_SAMPLE_DISC_H
#define TOOL_SAMPLE_DISC_H

#include "datatypes/base/DTTypes.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The sample level's folder under LEVEL and its resource file, which the
// engine looks for in the level's language-neutral folder.
constexpr std::string_view TOOL_SAMPLE_LEVEL         = "SAMPLE";
constexpr std::string_view TOOL_SAMPLE_RESOURCE_FILE = "SAMPLE.GCR";
// The memory-card icon at the disc's root.
constexpr std::string_view TOOL_SAMPLE_CARD_ICON_FILE = "icon.rgb";

// The sample level's HUD slot of its font and its texts.
constexpr s32 TOOL_SAMPLE_FONT_SLOT = 0;
constexpr s32 TOOL_SAMPLE_GLOBAL_PALETTE_SLOT = -1;
// One glyph per capital letter, after a blank glyph 0: glyph 0 ends a run
// of a text's command stream, so no letter can be it.
constexpr u32 TOOL_SAMPLE_FONT_LETTERS = 26;
constexpr u32 TOOL_SAMPLE_FONT_GLYPHS = TOOL_SAMPLE_FONT_LETTERS + 1;
extern const char* const TOOL_SAMPLE_TEXTS[2];
// Window types of the sample HUD tree.
constexpr u32 TOOL_SAMPLE_HUD_TEXT_TYPE = 1;
constexpr u32 TOOL_SAMPLE_HUD_IMAGE_TYPE = 2;

struct ToolResourceRecord;
// The class-67 record: a text window showing text 0 and a 2D window.
ToolResourceRecord ToolSampleHudRecord();

// The logic module images the sample level carries.
struct ToolSampleModules {
	std::vector<u8>				objectModule;
	std::vector<u8>				libraryModule;
};

// One file of the disc: its path relative to the root, and its bytes.
struct ToolDiscFile {
	std::filesystem::path		path;
	std::vector<u8>				bytes;
};

// Every file of the sample level, in the order they are written; false
// with a message on failure.
bool	ToolMakeSampleLevelFiles( const ToolSampleModules& modules, std::vector<ToolDiscFile>& files, std::string& error );

// Writes the sample disc into root; false with a message on failure.
bool	ToolWriteSampleDisc( const std::filesystem::path& root, const ToolSampleModules& modules, std::string& error );

#endif
