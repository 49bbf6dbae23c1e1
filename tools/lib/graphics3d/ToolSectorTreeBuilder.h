/*
===============================================================================

	A world built from a triangle set: the sector tree splits at the
	median triangle centroid along the longest axis of the centroids'
	bounds (left value: the left side's largest vertex coordinate on that
	axis; right value: the right side's smallest; the plane's value the
	median centroid), and a run of at most sectorSize triangles becomes an
	atomic sector with its own vertices and tight box. The world keeps
	separate left and right values, has one plain material and, when
	leafSize is not 0, a collision tree in every sector.

	The same split serves the collision-tree builder.

===============================================================================
*/
#ifndef TOOL_SECTOR_TREE_BUILDER_H
#define TOOL_SECTOR_TREE_BUILDER_H

#include "tools/lib/graphics3d/ToolWorldWriter.h"

#include <array>
#include <vector>

// One split of a run of triangles.
struct ToolSplit {
	u32		axis;			// 0, 1, 2
	size_t	leftCount;
	f32		value;			// the median centroid
	f32		leftValue;
	f32		rightValue;
};

// Orders order[first, first + count) by centroid along the longest axis
// and fills the split; false when the centroids all coincide.
bool	ToolSplitTriangles( const std::vector<f32>& positions, const std::vector<std::array<u32, 3>>& triangles,
							std::vector<u32>& order, size_t first, size_t count, ToolSplit* split );

class ToolSectorTreeBuilder {
public:
	// positions: x, y, z per vertex; every triangle gets material 0.
	static ToolWorld	Build( const std::vector<f32>& positions, const std::vector<std::array<u32, 3>>& triangles,
							   u32 sectorSize, u32 leafSize );
	// The triangles of a built sector, in its own vertex numbering.
	static std::vector<std::array<u32, 3>>	SectorTriangles( const ToolAtomicSector& sector );
};

#endif
