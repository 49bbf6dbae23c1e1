/*
===============================================================================

	The sample model's clump: two levels of detail over a skeleton.

	Frames: the root, then three frames each half a unit up its parent;
	the first of them carries a three-node hierarchy without matrices of
	its own (nodes 100, 101, 102 on the three frames). Atomics: LOD 0 on
	the root and on the second node, LOD 1 on the root, each a lit
	triangle with one coloured material.

===============================================================================
*/
#ifndef TOOL_SAMPLE_MODEL_H
#define TOOL_SAMPLE_MODEL_H

#include "datatypes/base/DTTypes.h"

#include <vector>

struct ToolClump;

// Ids of the skeleton's nodes, first node first.
constexpr s32 TOOL_SAMPLE_MODEL_NODE_IDS[] = { 100, 101, 102 };
// Frame of the sample clump that carries the hierarchy.
constexpr u32 TOOL_SAMPLE_MODEL_SKELETON_FRAME = 1;

ToolClump			ToolSampleModelClump();
// The clump chunk as stored.
std::vector<u8>		ToolSampleModelClumpChunk();

#endif
