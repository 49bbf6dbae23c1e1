/*
===============================================================================

	Names of the files a level holds besides its resource file, as the
	engine looks for them in the level's language folder and its GEN
	folder: the loading screen, the numbered texture dictionaries, fonts
	and font palettes, the global palette and the texts.

===============================================================================
*/
#ifndef TOOL_LEVEL_FILE_NAMES_H
#define TOOL_LEVEL_FILE_NAMES_H

#include "datatypes/base/DTTypes.h"

#include <string>

constexpr const char* TOOL_LOADING_SCREEN_FILE = "LOAD.LS";
constexpr const char* TOOL_GLOBAL_PALETTE_FILE = "GLOBAL.PAL";
constexpr const char* TOOL_TEXTS_FILE          = "TEXT.TX";

// The loading screen's picture dictionary, by TV system.
constexpr const char* TOOL_LOADING_DICTIONARY_NTSC = "LOADNTSC.TXD";
constexpr const char* TOOL_LOADING_DICTIONARY_PAL  = "LOADPAL.TXD";

inline std::string ToolTextureDictionaryFile( const u32 index ) {
	return "TEXDIC_" + std::to_string( index ) + ".TXD";
}

inline std::string ToolFontFile( const u32 index ) {
	return "FONT" + std::to_string( index ) + ".FT";
}

inline std::string ToolFontPaletteFile( const u32 index ) {
	return "FONT" + std::to_string( index ) + ".PAL";
}

#endif
