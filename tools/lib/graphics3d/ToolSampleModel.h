/*
===============================================================================

	The sample model's clump: two levels of detail over a skeleton.

	Frames: the root, then three frames each half a unit up its parent;
	the first of them carries a three-node hierarchy without matrices of
	its own (nodes 100, 101, 102 on the three frames). Atomics: LOD 0 on
	the root and on the second node, LOD 1 on the root, each a lit
	triangle with one coloured material showing the texture
	TOOL_SAMPLE_MODEL_TEXTURE (one of the sample level's; where no
	dictionary holds it the material is untextured).

	Collision primitives (the clump's 0x01BAD003 extension), under a
	sphere of radius 2 about (0, 1, 0): a capsule on the model's frame, a
	box on node 1 and a flat square of two triangles facing up on node 2.

===============================================================================
*/
#ifndef TOOL_SAMPLE_MODEL_H
#define TOOL_SAMPLE_MODEL_H

#include "datatypes/base/DTTypes.h"
#include "tools/lib/graphics3d/ToolCollisionPrimWriter.h"

#include <vector>

struct ToolClump;

// Ids of the skeleton's nodes, first node first.
constexpr s32 TOOL_SAMPLE_MODEL_NODE_IDS[] = { 100, 101, 102 };
// The texture the sample model's materials show.
constexpr const char* TOOL_SAMPLE_MODEL_TEXTURE = "LAMP";
// Frame of the sample clump that carries the hierarchy.
constexpr u32 TOOL_SAMPLE_MODEL_SKELETON_FRAME = 1;

// Tags of the sample model's collision primitives, in record order.
constexpr u32 TOOL_SAMPLE_MODEL_CAPSULE_TAG = 0x51;
constexpr u32 TOOL_SAMPLE_MODEL_BOX_TAG = 0x52;
constexpr u32 TOOL_SAMPLE_MODEL_POLYGONS_TAG = 0x53;

ToolClump			ToolSampleModelClump();
ToolCollisionPrims	ToolSampleModelCollisionPrims();
// The clump chunk as stored.
std::vector<u8>		ToolSampleModelClumpChunk();

// A grid's rectangle: one atomic whose geometry is a pre-lit 4-vertex quad
// in the y = 0 plane, corner (0, 0, 0), width along x, depth along z
// (vertices corner, +x, +z, +x+z), one material of that colour; texture
// coordinates (0, 0), (u, 0), (0, v), (u, v) when textured.
ToolClump			ToolQuadModelClump( f32 width, f32 depth, const u8 ( &colour )[4], bool textured, f32 u = 1.0f,
										f32 v = 1.0f );
std::vector<u8>		ToolQuadModelClumpChunk( f32 width, f32 depth, const u8 ( &colour )[4], bool textured );

#endif
