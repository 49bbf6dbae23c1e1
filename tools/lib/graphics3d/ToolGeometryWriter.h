/*
===============================================================================

	Geometry chunks (0x0F) of the 3D library.

	A geometry is a struct (format, triangle, vertex and morph-target
	counts, and in chunks older than 0x34001 the ambient, specular and
	diffuse surface floats), then unless native and only with vertices:
	pre-lit colours, the texture-coordinate sets and the triangles (two
	words: first and second vertex in the high and low halves, third
	vertex and material index), then per morph target its sphere, the
	two presence words and its positions and normals, the material list
	chunk and the extension chunk. Stored counts can be set apart from
	the arrays, for malformed data.

===============================================================================
*/
#ifndef TOOL_GEOMETRY_WRITER_H
#define TOOL_GEOMETRY_WRITER_H

#include "tools/lib/graphics3d/ToolMaterialWriter.h"

#include <array>
#include <optional>
#include <vector>

constexpr u32 TOOL_CHUNK_GEOMETRY = 0x0F;

// The oldest version whose geometry struct carries no surface properties.
constexpr u32 TOOL_GEOMETRY_NO_SURFACE_VERSION = 0x34001;

struct ToolTriangle {
	u16		v[3];
	s16		material;
};

struct ToolMorphTarget {
	std::array<f32, 4>	sphere = { 0.0f, 0.0f, 0.0f, 0.0f };
	std::vector<f32>	positions;		// x, y, z per vertex; empty: none stored
	std::vector<f32>	normals;		// likewise
};

struct ToolGeometry {
	u32									format = 0x02;
	s32									numVertices = 0;
	std::vector<u8>						preLit;				// RGBA per vertex
	std::vector<std::vector<f32>>		texCoords;			// u, v per vertex, per set
	std::vector<ToolTriangle>			triangles;
	std::vector<ToolMorphTarget>		morphTargets = { ToolMorphTarget{} };
	std::array<f32, 3>					surface = { 1.0f, 1.0f, 1.0f };	// old structs only
	u32									version = TOOL_CHUNK_VERSION;	// of the struct
	u32									extraStructBytes = 0;
	std::optional<s32>					storedTriangles;
	std::optional<s32>					storedMorphTargets;
	ToolMaterialList					materials;
	std::vector<ToolExtensionEntry>		extension;
};

class ToolGeometryWriter {
public:
	// Appends the whole geometry chunk.
	static void		Write( ToolChunkWriter& writer, const ToolGeometry& geometry );
};

#endif
