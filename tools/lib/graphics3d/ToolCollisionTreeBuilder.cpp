#include "tools/lib/graphics3d/ToolCollisionTreeBuilder.h"

#include "tools/lib/graphics3d/ToolSectorTreeBuilder.h"

#include <algorithm>
#include <cstring>

namespace {

void PutU32( std::vector<u8>& out, const u32 value ) {
	for ( u32 i = 0; i < 4; i++ ) {
		out.push_back( static_cast<u8>( value >> ( 8 * i ) ) );
	}
}

void PutF32( std::vector<u8>& out, const f32 value ) {
	u32 bits = 0;
	std::memcpy( &bits, &value, sizeof( bits ) );
	PutU32( out, bits );
}

struct Builder {
	const std::vector<f32>&					positions;
	const std::vector<std::array<u32, 3>>&	triangles;
	u32										leafSize;
	ToolCollisionTree						tree;

	// Returns the node's kind and index.
	std::pair<u8, u16> Node( std::vector<u32>& order, const size_t first, const size_t count ) {
		ToolSplit split;
		if ( count <= leafSize || !ToolSplitTriangles( positions, triangles, order, first, count, &split ) ) {
			tree.leaves.push_back( { static_cast<u16>( count ), static_cast<u16>( tree.map.size() ) } );
			for ( size_t i = 0; i < count; i++ ) {
				tree.map.push_back( order[first + i] );
			}
			return { TOOL_COLLISION_LEAF, static_cast<u16>( tree.leaves.size() - 1 ) };
		}
		const size_t index = tree.branches.size();
		tree.branches.push_back( { static_cast<u16>( split.axis * 4 ), 0, 0, 0, 0, split.leftValue, split.rightValue } );
		const auto left = Node( order, first, split.leftCount );
		const auto right = Node( order, first + split.leftCount, count - split.leftCount );
		ToolCollisionBranch& branch = tree.branches[index];
		branch.leftType = left.first;
		branch.leftNode = left.second;
		branch.rightType = right.first;
		branch.rightNode = right.second;
		return { TOOL_COLLISION_BRANCH, static_cast<u16>( index ) };
	}
};

}	// namespace

ToolCollisionTree ToolCollisionTreeBuilder::Build( const std::vector<f32>& positions,
												   const std::vector<std::array<u32, 3>>& triangles, const u32 leafSize ) {
	Builder builder = { positions, triangles, std::max( leafSize, 1u ), {} };
	std::vector<u32> order( triangles.size() );
	for ( size_t i = 0; i < order.size(); i++ ) {
		order[i] = static_cast<u32>( i );
	}
	builder.Node( order, 0, order.size() );
	return builder.tree;
}

ToolGeometry ToolCollisionTreeBuilder::Geometry( const std::vector<f32>& positions,
												 const std::vector<std::array<u32, 3>>& triangles, const u32 leafSize ) {
	ToolGeometry geometry;
	geometry.numVertices = static_cast<s32>( positions.size() / 3 );
	for ( const std::array<u32, 3>& t : triangles ) {
		geometry.triangles.push_back( { { static_cast<u16>( t[0] ), static_cast<u16>( t[1] ), static_cast<u16>( t[2] ) }, 0 } );
	}
	geometry.morphTargets[0].positions = positions;
	geometry.materials = ToolWorldWriter::PlainMaterials( 1 );
	if ( leafSize != 0 ) {
		geometry.extension.push_back( { TOOL_COLLISION_PLUGIN, Payload( Build( positions, triangles, leafSize ) ) } );
	}
	return geometry;
}

std::vector<u8> ToolCollisionTreeBuilder::Payload( const ToolCollisionTree& tree ) {
	std::vector<u8> out;
	PutU32( out, tree.storedLeaves.value_or( static_cast<u32>( tree.leaves.size() ) ) );
	PutU32( out, tree.storedMapLength.value_or( static_cast<u32>( tree.map.size() ) ) );
	for ( const ToolCollisionBranch& b : tree.branches ) {
		PutU32( out, ( u32{ b.type } << 16 ) | ( u32{ b.leftType } << 8 ) | b.rightType );
		PutU32( out, ( u32{ b.leftNode } << 16 ) | b.rightNode );
		PutF32( out, b.leftValue );
		PutF32( out, b.rightValue );
	}
	for ( const ToolCollisionLeaf& leaf : tree.leaves ) {
		PutU32( out, ( u32{ leaf.numPolygons } << 16 ) | leaf.firstPolygon );
	}
	for ( const u32 entry : tree.map ) {
		PutU32( out, entry );
	}
	return out;
}
