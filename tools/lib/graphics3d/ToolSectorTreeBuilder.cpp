#include "tools/lib/graphics3d/ToolSectorTreeBuilder.h"

#include "tools/lib/graphics3d/ToolCollisionTreeBuilder.h"

#include <algorithm>
#include <limits>
#include <map>

namespace {

f32 Centroid( const std::vector<f32>& positions, const std::array<u32, 3>& triangle, const u32 axis ) {
	return ( positions[triangle[0] * 3 + axis] + positions[triangle[1] * 3 + axis] + positions[triangle[2] * 3 + axis] ) /
		   3.0f;
}

struct Builder {
	const std::vector<f32>&					positions;
	const std::vector<std::array<u32, 3>>&	triangles;
	u32										sectorSize;
	u32										leafSize;
	ToolWorld								world;

	ToolSectorRef Sector( std::vector<u32>& order, const size_t first, const size_t count ) {
		ToolSplit split;
		if ( count > sectorSize && ToolSplitTriangles( positions, triangles, order, first, count, &split ) ) {
			const size_t index = world.planes.size();
			world.planes.push_back( {} );
			const ToolSectorRef left = Sector( order, first, split.leftCount );
			const ToolSectorRef right = Sector( order, first + split.leftCount, count - split.leftCount );
			ToolPlaneSector& plane = world.planes[index];
			plane.type = static_cast<s32>( split.axis * 4 );
			plane.value = split.value;
			plane.left = left;
			plane.right = right;
			plane.leftValue = split.leftValue;
			plane.rightValue = split.rightValue;
			return { false, static_cast<u32>( index ) };
		}
		ToolAtomicSector sector;
		std::map<u32, u16> local;
		std::array<f32, 6> box = { std::numeric_limits<f32>::max(), std::numeric_limits<f32>::max(),
								   std::numeric_limits<f32>::max(), -std::numeric_limits<f32>::max(),
								   -std::numeric_limits<f32>::max(), -std::numeric_limits<f32>::max() };
		for ( size_t i = 0; i < count; i++ ) {
			const std::array<u32, 3>& triangle = triangles[order[first + i]];
			std::array<u16, 4> stored = { 0, 0, 0, 0 };
			for ( u32 k = 0; k < 3; k++ ) {
				const u32 v = triangle[k];
				auto found = local.find( v );
				if ( found == local.end() ) {
					found = local.emplace( v, static_cast<u16>( local.size() ) ).first;
					for ( u32 a = 0; a < 3; a++ ) {
						const f32 value = positions[v * 3 + a];
						sector.positions.push_back( value );
						box[a] = std::min( box[a], value );
						box[3 + a] = std::max( box[3 + a], value );
					}
				}
				stored[1 + k] = found->second;
			}
			sector.triangles.push_back( stored );
		}
		sector.tightBox = count > 0 ? box : std::array<f32, 6>{};
		if ( leafSize != 0 && count > 0 ) {
			const ToolCollisionTree tree =
				ToolCollisionTreeBuilder::Build( sector.positions, ToolSectorTreeBuilder::SectorTriangles( sector ), leafSize );
			sector.extension.push_back( { TOOL_COLLISION_PLUGIN, ToolCollisionTreeBuilder::Payload( tree ) } );
		}
		world.sectors.push_back( std::move( sector ) );
		return { true, static_cast<u32>( world.sectors.size() - 1 ) };
	}
};

}	// namespace

bool ToolSplitTriangles( const std::vector<f32>& positions, const std::vector<std::array<u32, 3>>& triangles,
						 std::vector<u32>& order, const size_t first, const size_t count, ToolSplit* split ) {
	std::array<f32, 3> low = { std::numeric_limits<f32>::max(), std::numeric_limits<f32>::max(),
							   std::numeric_limits<f32>::max() };
	std::array<f32, 3> high = { -std::numeric_limits<f32>::max(), -std::numeric_limits<f32>::max(),
								-std::numeric_limits<f32>::max() };
	for ( size_t i = first; i < first + count; i++ ) {
		for ( u32 a = 0; a < 3; a++ ) {
			const f32 c = Centroid( positions, triangles[order[i]], a );
			low[a] = std::min( low[a], c );
			high[a] = std::max( high[a], c );
		}
	}
	u32 axis = 0;
	for ( u32 a = 1; a < 3; a++ ) {
		if ( high[a] - low[a] > high[axis] - low[axis] ) {
			axis = a;
		}
	}
	if ( !( high[axis] > low[axis] ) ) {
		return false;
	}
	const auto begin = order.begin() + static_cast<std::ptrdiff_t>( first );
	std::stable_sort( begin, begin + static_cast<std::ptrdiff_t>( count ), [&]( const u32 a, const u32 b ) {
		return Centroid( positions, triangles[a], axis ) < Centroid( positions, triangles[b], axis );
	} );
	split->axis = axis;
	split->leftCount = count / 2;
	split->value = Centroid( positions, triangles[order[first + split->leftCount]], axis );
	split->leftValue = -std::numeric_limits<f32>::max();
	split->rightValue = std::numeric_limits<f32>::max();
	for ( size_t i = first; i < first + count; i++ ) {
		for ( const u32 v : triangles[order[i]] ) {
			const f32 c = positions[v * 3 + axis];
			if ( i < first + split->leftCount ) {
				split->leftValue = std::max( split->leftValue, c );
			} else {
				split->rightValue = std::min( split->rightValue, c );
			}
		}
	}
	return true;
}

ToolWorld ToolSectorTreeBuilder::Build( const std::vector<f32>& positions, const std::vector<std::array<u32, 3>>& triangles,
										const u32 sectorSize, const u32 leafSize ) {
	Builder builder = { positions, triangles, std::max( sectorSize, 1u ), leafSize, {} };
	builder.world.format = 0x02 | TOOL_WORLD_SECTORS_OVERLAP;
	builder.world.materials = ToolWorldWriter::PlainMaterials( 1 );
	std::vector<u32> order( triangles.size() );
	for ( size_t i = 0; i < order.size(); i++ ) {
		order[i] = static_cast<u32>( i );
	}
	builder.world.root = builder.Sector( order, 0, order.size() );
	std::array<f32, 6> box = { -std::numeric_limits<f32>::max(), -std::numeric_limits<f32>::max(),
							   -std::numeric_limits<f32>::max(), std::numeric_limits<f32>::max(),
							   std::numeric_limits<f32>::max(), std::numeric_limits<f32>::max() };
	for ( size_t i = 0; i < positions.size(); i++ ) {
		box[i % 3] = std::max( box[i % 3], positions[i] );
		box[3 + i % 3] = std::min( box[3 + i % 3], positions[i] );
	}
	builder.world.box = positions.empty() ? std::array<f32, 6>{} : box;
	return builder.world;
}

std::vector<std::array<u32, 3>> ToolSectorTreeBuilder::SectorTriangles( const ToolAtomicSector& sector ) {
	std::vector<std::array<u32, 3>> out;
	for ( const std::array<u16, 4>& triangle : sector.triangles ) {
		out.push_back( { triangle[1], triangle[2], triangle[3] } );
	}
	return out;
}
