/*
===============================================================================

	Clump chunks (0x10) of the 3D library.

	A clump is a struct (atomic, light and camera counts, or the atomic
	count alone up to version 0x33000), a frame list (0x0E: the count and
	a 56-byte record per frame, then one extension per frame, where a
	hierarchy entry 0x11E may stand), a geometry list (0x1A: a count and
	the geometry chunks), the atomics (0x14: a struct of frame index,
	geometry index, flags and a reserved word, written to any length; an
	embedded geometry; the extension with, for instance, the
	rights-to-render entry 0x1F), per light and camera a struct with a
	frame index and the object's chunk, and the clump's extension.

	The frame hierarchy entry and the key-frame arrays are written here
	too, in the layouts the animation plug-in reads.

===============================================================================
*/
#ifndef TOOL_CLUMP_WRITER_H
#define TOOL_CLUMP_WRITER_H

#include "tools/lib/graphics3d/ToolGeometryWriter.h"
#include "tools/lib/graphics3d/ToolLightWriter.h"

#include <array>
#include <optional>
#include <vector>

constexpr u32 TOOL_CHUNK_CAMERA			= 0x05;
constexpr u32 TOOL_CHUNK_FRAMELIST		= 0x0E;
constexpr u32 TOOL_CHUNK_CLUMP			= 0x10;
constexpr u32 TOOL_CHUNK_ATOMIC			= 0x14;
constexpr u32 TOOL_CHUNK_GEOMETRYLIST	= 0x1A;
constexpr u32 TOOL_PLUGIN_HANIM			= 0x11E;
constexpr u32 TOOL_PLUGIN_RIGHTS		= 0x1F;
// The engine's per-atomic data word (level of detail in bits 16-19).
constexpr u32 TOOL_PLUGIN_ATOMIC_DATA	= 0x01BAD008;

// The last version whose clump struct holds only the atomic count.
constexpr u32 TOOL_CLUMP_COUNTS_ONLY_VERSION = 0x33000;

struct ToolFrame {
	std::array<f32, 12>					matrix = { 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0 };	// right, up, at, pos
	s32									parent = -1;
	std::vector<ToolExtensionEntry>		extension;
};

// One node of a frame's hierarchy entry.
struct ToolHAnimNode {
	s32		id;
	s32		index;
	s32		flags;
};

struct ToolHAnimFrame {
	s32							id = -1;
	s32							flags = 0;
	s32							keyFrameSize = 36;
	std::vector<ToolHAnimNode>	nodes;			// empty: no hierarchy of its own
};

// One key frame as streamed: previous key frame by byte offset.
struct ToolKeyFrame {
	f32							time;
	std::array<f32, 4>			q;				// x, y, z, w
	std::array<f32, 3>			t;
	s32							prevOffset;
};

struct ToolAtomic {
	s32									frameIndex = 0;
	s32									geometryIndex = 0;
	u32									flags = 0x05;
	u32									reserved = 0;
	u32									structBytes = 16;		// longer ones are padded with zeros
	std::optional<ToolGeometry>			geometry;				// embedded
	std::vector<ToolExtensionEntry>		extension;
};

struct ToolClumpCamera {
	s32									frameIndex = 0;
	std::array<f32, 7>					values = { 1, 1, 0, 0, 0.05f, 10, 5 };	// window, offset, near, far, fog
	u32									projection = 1;
};

struct ToolClumpLight {
	s32									frameIndex = 0;
	ToolLight							light;
};

struct ToolClump {
	u32									version = TOOL_CHUNK_VERSION;	// of the struct
	std::vector<ToolFrame>				frames;
	std::vector<ToolGeometry>			geometries;
	std::vector<ToolAtomic>				atomics;
	std::vector<ToolClumpLight>			lights;
	std::vector<ToolClumpCamera>		cameras;
	std::vector<ToolExtensionEntry>		extension;
	std::optional<s32>					storedAtomics;			// else the number written
};

class ToolClumpWriter {
public:
	// Appends the whole clump chunk.
	static void					Write( ToolChunkWriter& writer, const ToolClump& clump );
	// The clump chunk alone, as stored.
	static std::vector<u8>		Chunk( const ToolClump& clump );
	// The payload of a frame's hierarchy entry.
	static std::vector<u8>		HAnimFrame( const ToolHAnimFrame& frame );
	// Key frames as an animation stores them.
	static std::vector<u8>		KeyFrames( const std::vector<ToolKeyFrame>& keyFrames );
	// A rights-to-render entry: the plug-in id and the extra word.
	static ToolExtensionEntry	Rights( u32 pluginID, u32 extraData );
	// The engine's atomic data entry: the data word, little-endian.
	static ToolExtensionEntry	AtomicData( u32 word );
	// The data word of an atomic of that level of detail.
	static u32					LodWord( u32 lod ) { return ( lod & 0xF ) << 16; }
};

#endif
