/*
===============================================================================

	A model's collision primitives as a clump extension entry
	(0x01BAD003), for ToolClump::extension.

	Little-endian words: total size, record count, the model's sphere
	(only with records; zeros without one), each record's 19 common words
	(shape, tag, joint, offset, two free floats, 11 attributes) and its
	shape's payload (1, 4 or 3 floats, or polygon count and byte offset),
	then the polygon records (28 + 28 n bytes: attribute, edge-grab in the
	low and vertex count in the high half of one word, check word, plane,
	vertices, edge planes derived as the collision-map writer derives
	them).

===============================================================================
*/
#ifndef TOOL_COLLISION_PRIM_WRITER_H
#define TOOL_COLLISION_PRIM_WRITER_H

#include "tools/lib/graphics3d/ToolMaterialWriter.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

constexpr u32 TOOL_PLUGIN_COLLISION_PRIMS	= 0x01BAD003;

// One convex polygon of a polygon set, in the primitive's space, wound
// around its front face.
struct ToolCollisionPolygon {
	std::vector<std::array<f32, 3>>		vertices;
	u32									attrib = 0;
	u16									edgeGrab = 0;
};

// One primitive. Polygon sets name their polygons by count and byte
// offset in the polygon data (PolygonBytes sums record sizes).
struct ToolCollisionPrim {
	u32									shape = 0;
	u32									tag = 0;
	s32									joint = -1;				// -1: the model's frame
	std::array<f32, 3>					offset = { 0, 0, 0 };
	std::array<f32, 2>					unused = { 0, 0 };
	std::array<u32, 11>					attribs = {};
	std::array<f32, 4>					size = { 0, 0, 0, 0 };	// radius / radius, half axis / half extents
	u32									polygonCount = 0;
	u32									polygonOffset = 0;
};

struct ToolCollisionPrims {
	std::optional<std::array<f32, 4>>	sphere;					// centre, radius
	std::vector<ToolCollisionPrim>		prims;
	std::vector<ToolCollisionPolygon>	polygons;
	std::optional<s32>					storedSize;				// else the bytes written
	std::optional<s32>					storedCount;			// else the number of records
};

class ToolCollisionPrimWriter {
public:
	static ToolExtensionEntry	Entry( const ToolCollisionPrims& prims );
	// Bytes of the first count polygons' records.
	static u32					PolygonBytes( const std::vector<ToolCollisionPolygon>& polygons, size_t count );
	// Named malformed variants of a sound entry with at least one polygon
	// set, for the reader's tests and the fuzz seeds.
	static std::vector<std::pair<const char*, ToolExtensionEntry>>	Malformed( const ToolCollisionPrims& sound );
};

#endif
