/*
===============================================================================

	Demo files for tests and tools: a writer that lays out the demo data
	(header, one block a frame, the final block), the save image and the
	data's length word from plain values, a reader that takes a file apart
	again, and a text dump of what the reader found.

	The writer writes what it is given: counts, markers and the length word
	can be set to anything, so that tests build malformed files with it.

===============================================================================
*/
#ifndef TOOL_DEMO_FILE_H
#define TOOL_DEMO_FILE_H

#include "datatypes/base/DTTypes.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

constexpr u32 TOOL_DEMO_MAGIC			= 0x44454D4F;
constexpr u16 TOOL_DEMO_BLOCK_MARKER	= 0x4446;
constexpr u16 TOOL_DEMO_FINAL_MARKER	= 0x4C46;

// One stored action value.
struct ToolDemoRecord {
	u16						id = 0;
	f32						x = 0.0f;
	f32						y = 0.0f;
	u32						flags = 0;

	bool					operator==( const ToolDemoRecord& ) const = default;
};

// One frame.
struct ToolDemoBlock {
	u16						marker = TOOL_DEMO_BLOCK_MARKER;
	f32						step = 0.0f;
	std::vector<ToolDemoRecord>	records;
	// Written instead of the record count when set.
	std::optional<u16>		count;
};

struct ToolDemoFile {
	u32						magic = TOOL_DEMO_MAGIC;
	u32						seed = 0;
	std::vector<ToolDemoBlock>	blocks;
	// Closes the data with the final block (count 0, step 0).
	bool					finalBlock = true;
	std::vector<u8>			image;
	// Written instead of the demo data's length when set.
	std::optional<u32>		dataLength;
};

// The file's bytes.
std::vector<u8>		ToolWriteDemoFile( const ToolDemoFile& demo );

// Takes a file apart: the header, every block up to the final one (not
// kept in blocks; finalBlock says whether it was found) and the image.
// False, with the reason, for a file too short, a length word out of range
// or a block that runs past the demo data.
bool				ToolReadDemoFile( std::span<const u8> bytes, ToolDemoFile& demo, std::string& error );

// A text listing: header, one line per block with its records, the image's
// size and level name.
std::string			ToolDumpDemoFile( const ToolDemoFile& demo );

#endif
