/*
===============================================================================

	Writer of cut-scene tables (class 82 records): after the record's two
	words, a big-endian table {u16, u16, u16 total size, u16 count, count
	u32 entry offsets from the table's start, entries}; an entry is {u32
	pair count, f32 duration, pairs of {u32 game-object id, u32 animation
	id}}.

	Malformed variants for the loader's tests: a size field other than
	the table's, an entry offset moved, or a pair count raised.

===============================================================================
*/
#ifndef TOOL_CUT_SCENE_WRITER_H
#define TOOL_CUT_SCENE_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <utility>
#include <vector>

constexpr s32 TOOL_CLASS_CUT_SCENE		= 82;

struct ToolCutScene {
	f32						duration = 0.0f;
	std::vector<std::pair<u32, u32>>	pairs;
};

struct ToolCutSceneTable {
	std::vector<ToolCutScene>	scenes;
	// Malformed variants: added to the stored size, to entry 0's offset,
	// to entry 0's pair count.
	s32						sizeDelta = 0;
	s32						offsetDelta = 0;
	u32						extraPairs = 0;
};

class ToolCutSceneWriter {
public:
	// The table alone.
	static std::vector<u8>	Table( const ToolCutSceneTable & table );
	// The record: two words, then the table.
	static std::vector<u8>	Record( const ToolCutSceneTable & table );
};

#endif
