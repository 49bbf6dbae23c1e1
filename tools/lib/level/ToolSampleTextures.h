/*
===============================================================================

	The sample level's pictures: its texture dictionary TEXDIC_0.TXD (the
	font page, one palettised texture, the lens flare's three glows and a
	sprite picture), the palette dictionary that
	recolours that texture between two states, and the loading screen's
	dictionaries (LOADBACK full-screen for the TV system, LOADBAR).

===============================================================================
*/
#ifndef TOOL_SAMPLE_TEXTURES_H
#define TOOL_SAMPLE_TEXTURES_H

#include "tools/lib/level/ToolResourceFileWriter.h"

#include <vector>

constexpr s32 TOOL_CLASS_PALETTE_DICTIONARY	= 87;
constexpr const char* TOOL_SAMPLE_PALETTISED_TEXTURE = "LAMP";
constexpr const char* TOOL_SAMPLE_SPRITE_TEXTURE = "SPARK";

// TEXDIC_0.TXD.
std::vector<u8>		ToolSampleTextureDictionary();
// LOADNTSC.TXD (pal false: 640 x 448) or LOADPAL.TXD (640 x 512).
std::vector<u8>		ToolSampleLoadingDictionary( bool pal );
// The resource record of the palette dictionary.
ToolResourceRecord	ToolSamplePaletteRecord();

#endif
