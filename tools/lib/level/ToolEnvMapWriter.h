/*
===============================================================================

	Environment-map records (class 64): two words, then the octree block,
	whose first word is its own size. The block is big-endian: a header
	of nine words (size, version, root offset, material count, material
	offset, a count, leaf-area offset, the drawing hook's count and
	offset), the material chunks (little-endian library chunks), the leaf
	data area, then the nodes in order, the root first. Inner nodes hold
	their children's offsets from the root at words 8-15; leaves count
	their entries at word 10 and list them from word 14.

===============================================================================
*/
#ifndef TOOL_ENV_MAP_WRITER_H
#define TOOL_ENV_MAP_WRITER_H

#include "tools/lib/graphics3d/ToolMaterialWriter.h"

#include <array>
#include <vector>

struct ToolOctNode {
	bool					leaf = false;
	// Node indices; -1 for an empty slot.
	std::array<s32, 8>		children = { -1, -1, -1, -1, -1, -1, -1, -1 };
	// Offsets into the leaf data area.
	std::vector<u32>		entries;
};

struct ToolEnvMap {
	u32							version = 2;
	std::vector<ToolMaterial>	materials;
	// Node 0 is the root.
	std::vector<ToolOctNode>	nodes;
	u32							word5 = 0;
	u32							hookCount = 0;
	u32							leafAreaBytes = 16;
};

// Where the writer put things, for tests that spoil a block.
struct ToolEnvMapLayout {
	u32						root = 0;
	std::vector<u32>		nodes;
};

std::vector<u8>	ToolWriteEnvMapBlock( const ToolEnvMap& map, ToolEnvMapLayout* layout = nullptr );
// The record: two words and the block.
std::vector<u8>	ToolWriteEnvMapRecord( u32 id, const std::vector<u8>& block );

#endif
