/*
===============================================================================

	Bin-mesh entries (plug-in 0x50E) of the 3D library's geometry and
	sector extensions.

	The payload is little-endian words: header flags, mesh count, total
	index count, then per mesh its index count and material index,
	followed by its indices one word each unless the owner is native. The
	stored counts can be set apart from the meshes, for malformed data.

===============================================================================
*/
#ifndef TOOL_BIN_MESH_WRITER_H
#define TOOL_BIN_MESH_WRITER_H

#include "tools/lib/ToolChunkWriter.h"

#include <optional>
#include <vector>

constexpr u32 TOOL_PLUGIN_BIN_MESH = 0x50E;

// Header flag: the meshes are triangle strips.
constexpr u32 TOOL_BIN_MESH_TRISTRIP = 0x01;

struct ToolBinMeshMesh {
	std::vector<u32>		indices;
	s32						materialIndex = 0;
	std::optional<u32>		storedCount;	// else the number of indices
};

struct ToolBinMesh {
	u32								flags = 0;
	std::vector<ToolBinMeshMesh>	meshes;
	bool							native = false;		// no indices stored
	std::optional<u32>				storedTotal;		// else the sum of the meshes' counts
};

class ToolBinMeshWriter {
public:
	// Appends the entry's payload to the open chunk.
	static void		WritePayload( ToolChunkWriter& writer, const ToolBinMesh& mesh );
	// Appends the whole 0x50E chunk.
	static void		WriteEntry( ToolChunkWriter& writer, const ToolBinMesh& mesh );
};

#endif
