/*
===============================================================================

	Writer of morph-animation resources (class 19): the resource id and
	its users (big-endian words), then the morph animation as the 3D
	library's chunk (see ToolMorphWriter), little-endian like every
	library chunk.

	Malformed records start from a good one: words of the block patched
	after it is laid out, the chunk's stored size replaced, or the record
	cut short. Malformed lists damaged copies of a resource that a loader
	must refuse, one per kind of damage: sizes and counts promising more
	than the block holds, offsets past the block.

===============================================================================
*/
#ifndef TOOL_MORPH_ANIM_RES_WRITER_H
#define TOOL_MORPH_ANIM_RES_WRITER_H

#include "datatypes/base/DTTypes.h"
#include "tools/lib/graphics3d/ToolMorphWriter.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

constexpr s32 TOOL_CLASS_MORPH_ANIM_RES		= 19;

struct ToolMorphAnimRes {
	u32						id = 0;
	u32						users = 1;
	ToolMorphAnimation		animation;
	// {offset in the block, little-endian word} written over the laid-out block.
	std::vector<std::pair<u32, u32>>	patches;
	// The chunk's stored payload size, else the block's.
	std::optional<u32>		chunkSize;
	// Bytes cut from the end of the record.
	u32						cut = 0;
};

struct ToolMorphAnimResVariant {
	std::string				name;
	ToolMorphAnimRes		resource;
};

class ToolMorphAnimResWriter {
public:
	static std::vector<u8>	Encode( const ToolMorphAnimRes & resource );
	// Two atomics over a 3 s loop: the first moves vertices 1 and 3 and
	// turns the normal of vertex 2, the second moves the same vertices.
	static ToolMorphAnimRes	Sample( u32 id );
	// Damaged copies of resource, whose first atomic must have a vertex
	// channel with at least one key.
	static std::vector<ToolMorphAnimResVariant>	Malformed( const ToolMorphAnimRes & resource );
};

#endif
