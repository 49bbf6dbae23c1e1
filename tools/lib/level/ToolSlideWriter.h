/*
===============================================================================

	Slide files (.SLD): three slides back to back, each five picture
	records (an image chunk, a little-endian name length, the name's
	bytes) followed by the slide's 256-byte record, whose five
	NUL-terminated names at offsets 0, 51, 102, 153 and 204 pick the
	pictures of the five strips.

===============================================================================
*/
#ifndef TOOL_SLIDE_WRITER_H
#define TOOL_SLIDE_WRITER_H

#include "tools/lib/level/ToolTextureDictWriter.h"

#include <array>
#include <string>
#include <vector>

struct ToolSlide {
	std::array<ToolTextureRecord, 5>	pictures;
	// The record's names (each at most 50 characters).
	std::array<std::string, 5>			strips;
};

enum ToolSlideVariant_e {
	TOOL_SLIDE_WELL_FORMED,
	// The last slide's record cut in half.
	TOOL_SLIDE_TRUNCATED,
	// Padded beyond the reader's 4 MB buffer.
	TOOL_SLIDE_OVERSIZED,
	// The first slide's record names a picture its slide does not hold.
	TOOL_SLIDE_MISLABELLED,
};

// The 256-byte record of five names.
std::vector<u8>	ToolSlideRecord( const std::array<std::string, 5>& strips );
// A slide of five one-colour 8-bit pictures width x height named "<prefix>_<k>",
// each strip naming its own picture.
ToolSlide		ToolSolidSlide( const std::string& prefix, s32 width, s32 height, u8 shade );
// The file of slides (three for a well-formed file).
bool			ToolWriteSlideFile( const std::vector<ToolSlide>& slides, std::vector<u8>& out,
									ToolSlideVariant_e variant = TOOL_SLIDE_WELL_FORMED );
// File number of a show of 3 x files slides: three 640 x 448 slides
// (pictures 128 x 448) named "SL<slide>_<k>".
std::vector<u8>	ToolSampleSlideFile( u32 file, ToolSlideVariant_e variant = TOOL_SLIDE_WELL_FORMED );

#endif
