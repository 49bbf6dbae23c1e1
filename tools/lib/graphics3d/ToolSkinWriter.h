/*
===============================================================================

	Skin sub-chunks (0x116) of the 3D library, in their four forms: the
	portable geometry form (counts word, used bones, index words, weights,
	matrices, split data), the older one (counts word with maxNumWeights
	0, no used bones, 4 bytes before each matrix, no split data), the
	console's native form (one struct chunk: platform word, counts, used
	bones, quantised indices and weights when maxNumWeights > 1,
	big-endian matrices, split data) and the legacy atomic form (bone
	count, 4 skipped bytes, indices, weights, 12 bytes before each matrix).

===============================================================================
*/
#ifndef TOOL_SKIN_WRITER_H
#define TOOL_SKIN_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <array>
#include <optional>
#include <vector>

constexpr u32 TOOL_SKIN_PLUGIN = 0x116;

enum class ToolSkinForm { Portable, Older, Native, LegacyAtomic };

struct ToolSkin {
	u32									numBones = 0;
	std::vector<u8>						usedBones;
	u32									maxNumWeights = 1;
	std::vector<std::array<u8, 4>>		indices;		// per vertex
	std::vector<std::array<f32, 4>>		weights;		// per vertex
	std::vector<std::array<f32, 16>>	matrices;		// per bone, as stored (right, flags, up, pad ...)
	u32									boneLimit = 0;
	std::vector<u8>						remap;			// numBones bytes with split data
	std::vector<std::array<u8, 2>>		meshes;			// {first run, run count}
	std::vector<std::array<u8, 2>>		runs;			// {first bone, bone count}
	std::vector<u8>						quantisedIndices;	// native form
	std::vector<u8>						quantisedWeights;
	u32									nativeVersion = 0x34003;
	u32									platform = 6;
	std::optional<u32>					storedCounts;	// else from the fields
};

class ToolSkinWriter {
public:
	static std::vector<u8>	Payload( const ToolSkin& skin, ToolSkinForm form );
	// The identity with a translation, as sixteen stored words.
	static std::array<f32, 16>	Translation( f32 x, f32 y, f32 z );
};

#endif
