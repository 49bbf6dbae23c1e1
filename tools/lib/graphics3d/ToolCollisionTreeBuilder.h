/*
===============================================================================

	Collision trees over a triangle set, and their stored form (the
	payload of a 0x11D entry in a geometry's or world sector's extension).

	The builder splits at the median triangle centroid along the longest
	axis of the centroids' bounds; a branch's left value is the largest
	coordinate of its left side's vertices on that axis, its right value
	the smallest of its right side's, and a run of at most leafSize
	triangles becomes a leaf. Branches are numbered in the order they are
	made (the root is 0), leaves likewise, and the triangle map lists the
	triangles leaf by leaf.

	Stored counts can be set apart from the arrays, for malformed data.

===============================================================================
*/
#ifndef TOOL_COLLISION_TREE_BUILDER_H
#define TOOL_COLLISION_TREE_BUILDER_H

#include "tools/lib/graphics3d/ToolGeometryWriter.h"

#include <array>
#include <optional>
#include <vector>

constexpr u32 TOOL_COLLISION_PLUGIN = 0x11D;
constexpr u8 TOOL_COLLISION_LEAF	= 1;
constexpr u8 TOOL_COLLISION_BRANCH	= 2;

struct ToolCollisionBranch {
	u16		type;			// 0, 4, 8
	u8		leftType;
	u8		rightType;
	u16		leftNode;
	u16		rightNode;
	f32		leftValue;
	f32		rightValue;
};

struct ToolCollisionLeaf {
	u16		numPolygons;
	u16		firstPolygon;
};

struct ToolCollisionTree {
	std::vector<ToolCollisionBranch>	branches;
	std::vector<ToolCollisionLeaf>		leaves;
	std::vector<u32>					map;
	std::optional<u32>					storedLeaves;
	std::optional<u32>					storedMapLength;
};

class ToolCollisionTreeBuilder {
public:
	// positions: x, y, z per vertex; triangles: three vertex indices each.
	static ToolCollisionTree	Build( const std::vector<f32>& positions, const std::vector<std::array<u32, 3>>& triangles,
									   u32 leafSize );
	// The stored record: N, M, the branches, the leaves and the map.
	static std::vector<u8>		Payload( const ToolCollisionTree& tree );
	// A geometry of the triangles (material 0 of one plain material) with,
	// unless leafSize is 0, a collision tree in its extension.
	static ToolGeometry			Geometry( const std::vector<f32>& positions,
										  const std::vector<std::array<u32, 3>>& triangles, u32 leafSize );
};

#endif
