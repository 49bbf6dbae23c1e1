/*
===============================================================================

	World chunks (0x0B) of the 3D library.

	A world is a struct (root flag, inverse origin, triangle, vertex,
	plane-sector and atomic-sector counts, collision sector size, format
	and, from version 0x34001, the bounding box sup then inf; before it
	three surface floats sit between the origin and the counts and there
	is no box), the material list, the root sector and the extension.

	A plane sector (0x0A) is a struct (type, value, whether each child is
	an atomic sector, left and right values) followed by its two
	children. An atomic sector (0x09) is a 44-byte struct (material
	window base, triangle and vertex counts, tight box inf then sup, two
	unused words), then unless the world is native and only with
	vertices: positions, packed normals, pre-lit colours and the texture
	sets as the format asks, the triangles (four u16: material, then the
	vertices; four u8 when narrow) and the extension.

	The world's counts are the sums over its sectors unless set apart, for
	malformed data.

===============================================================================
*/
#ifndef TOOL_WORLD_WRITER_H
#define TOOL_WORLD_WRITER_H

#include "tools/lib/graphics3d/ToolMaterialWriter.h"

#include <array>
#include <optional>
#include <vector>

constexpr u32 TOOL_CHUNK_WORLD			= 0x0B;
constexpr u32 TOOL_CHUNK_ATOMIC_SECTOR	= 0x09;
constexpr u32 TOOL_CHUNK_PLANE_SECTOR	= 0x0A;
// Format bit of worlds whose plane sectors keep separate left and right
// values.
constexpr u32 TOOL_WORLD_SECTORS_OVERLAP = 0x40000000;

struct ToolSectorRef {
	bool	atomic = true;
	u32		index = 0;		// into the world's atomic or plane sectors
};

struct ToolPlaneSector {
	s32				type = 0;
	f32				value = 0.0f;
	ToolSectorRef	left;
	ToolSectorRef	right;
	f32				leftValue = 0.0f;
	f32				rightValue = 0.0f;
	u32				extraStructBytes = 0;
};

struct ToolAtomicSector {
	s32								windowBase = 0;
	std::vector<f32>				positions;			// x, y, z per vertex
	std::vector<u8>					normals;			// four bytes per vertex
	std::vector<u8>					preLit;				// RGBA per vertex
	std::vector<std::vector<f32>>	texCoords;			// u, v per vertex, per set
	std::vector<std::array<u16, 4>>	triangles;			// material, then three vertices
	std::array<f32, 6>				tightBox = {};		// inf x, y, z, then sup
	std::optional<s32>				storedTriangles;
	std::optional<s32>				storedVertices;
	bool							narrowTriangles = false;
	u32								stamp = 0;			// of the sector chunk; 0: this system's
	u32								extraStructBytes = 0;
	std::vector<ToolExtensionEntry>	extension;
};

struct ToolWorld {
	u32								version = TOOL_CHUNK_VERSION;	// of the world chunk and its struct
	u32								format = 0x02;
	std::array<f32, 3>				inverseOrigin = {};
	std::array<f32, 6>				box = {};			// sup x, y, z, then inf
	s32								collSectorSize = 0;
	std::optional<s32>				storedTriangles;
	std::optional<s32>				storedVertices;
	std::optional<s32>				storedPlanes;
	std::optional<s32>				storedSectors;
	u32								extraStructBytes = 0;
	ToolMaterialList				materials;
	ToolSectorRef					root;
	std::vector<ToolPlaneSector>	planes;
	std::vector<ToolAtomicSector>	sectors;
	std::vector<ToolExtensionEntry>	extension;
};

class ToolWorldWriter {
public:
	// Appends the whole world chunk.
	static void		Write( ToolChunkWriter& writer, const ToolWorld& world );
	// A material list of count plain materials.
	static ToolMaterialList	PlainMaterials( u32 count );
};

#endif
