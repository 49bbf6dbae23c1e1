/*
===============================================================================

	Native geometry entries (plug-in 0x510) of the 3D library: a geometry or
	world sector already instanced for the console's graphics processor.

	The entry is one struct chunk: the platform (6), the header size H (68
	plus 8 per mesh) and the data size D as little-endian words, then the
	header block and the data block, both big-endian. The header block is
	the instance header (mesh serial, index type 2 for 8-bit or 3 for 16-bit
	indices, draw token, the strides of positions, normals, colours and
	eight texture sets, three zero bytes, the excluded mask and eleven array
	offsets) and {size, offset} per display list. The data block holds one
	display list per mesh (a triangle-list or strip draw command with every
	attribute indexed, padded with zeros to 32 bytes) and then the vertex
	arrays (f32 positions, normals and texture coordinates, RGBA8 colours),
	each from a 32-byte boundary. Offsets count from the data block's start.

===============================================================================
*/
#ifndef TOOL_NATIVE_GEOMETRY_WRITER_H
#define TOOL_NATIVE_GEOMETRY_WRITER_H

#include "tools/lib/graphics3d/ToolWorldWriter.h"

#include <vector>

constexpr u32 TOOL_NATIVE_DATA_PLUGIN = 0x510;

struct ToolNativeGeometry {
	u32								numVertices = 0;
	std::vector<f32>				positions;		// x, y, z per vertex
	std::vector<f32>				normals;		// x, y, z per vertex; empty: none
	std::vector<u8>					colours;		// RGBA per vertex; empty: none
	std::vector<std::vector<f32>>	texCoords;		// u, v per vertex, per set (at most 8)
	bool							strips = false;	// else triangle lists
	std::vector<std::vector<u16>>	meshes;			// vertex indices per mesh
	u16								serial = 0;
};

class ToolNativeGeometryWriter {
public:
	// The whole entry: the struct chunk with its header.
	static std::vector<u8>	Entry( const ToolNativeGeometry& geometry );
	// The bin-mesh entry (0x50E) payload a native owner carries: the meshes'
	// index counts, no indices.
	static std::vector<u8>	Meshes( bool strips, const std::vector<u32>& counts );
	static std::vector<u8>	Meshes( const ToolNativeGeometry& geometry );
	// A native world (format with the native bit) of one atomic sector that
	// holds the geometry's meshes and entry, in a box reaching extent from
	// the origin on every axis.
	static ToolWorld		World( const ToolNativeGeometry& geometry, u32 format, f32 extent );
};

#endif
