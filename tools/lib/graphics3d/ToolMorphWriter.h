/*
===============================================================================

	The engine's morph animation chunk (0x01BAD006), laid out from a
	native description: the header, the atomic table, the records, the
	channels, then each channel's arrays and keys with their values, all
	little-endian with offsets from the start of the block. A key's next
	offset names the key after it, 0 for the last.

	Malformed blocks start from a good one: Block gives the offsets of
	what it laid out, and Patch overwrites a word.

===============================================================================
*/
#ifndef TOOL_MORPH_WRITER_H
#define TOOL_MORPH_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <optional>
#include <vector>

constexpr u32 TOOL_CHUNK_MORPH_ANIMATION = 0x01BAD006;

struct ToolMorphKey {
	f32									time = 0.0f;
	std::vector<std::array<f32, 3>>		values;			// N
};

struct ToolMorphChannel {
	f32									time = 0.0f;
	u16									currentKey = 0;
	std::vector<u16>					indices;		// N
	std::vector<std::array<f32, 3>>		slopes;			// N, or empty for zeros
	std::vector<std::array<f32, 3>>		bases;
	std::vector<std::array<f32, 3>>		outputs;
	std::vector<ToolMorphKey>			keys;
};

struct ToolMorphAtomic {
	std::optional<ToolMorphChannel>		vertex;
	std::optional<ToolMorphChannel>		normal;
	u32									third = 0;
};

struct ToolMorphAnimation {
	u32									version = 10408;
	u8									group = 0;
	std::vector<std::optional<ToolMorphAtomic>>	atomics;	// null: a zero table entry
	std::optional<u8>					storedCount;	// else the number of entries
};

// Where Block put things.
struct ToolMorphLayout {
	u32						table = 0;
	std::vector<u32>		records;			// 0 for a zero entry
	std::vector<u32>		channels;			// vertex, normal per record (0: none)
};

class ToolMorphWriter {
public:
	static std::vector<u8>	Block( const ToolMorphAnimation& animation, ToolMorphLayout* layout = nullptr );
	// The block in its chunk.
	static std::vector<u8>	Chunk( const std::vector<u8>& block );
	static void				Patch( std::vector<u8>& block, u32 offset, u32 value );
};

#endif
