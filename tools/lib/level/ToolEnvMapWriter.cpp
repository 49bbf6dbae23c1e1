#include "tools/lib/level/ToolEnvMapWriter.h"

#include "tools/lib/ToolChunkWriter.h"

#include <algorithm>

namespace {

constexpr u32 HEADER_BYTES	= 36;
constexpr u32 INNER_BYTES	= 64;
constexpr u32 LEAF_BYTES	= 56;

void PutBE32( std::vector<u8>& bytes, const size_t at, const u32 value ) {
	for ( u32 i = 0; i < 4; i++ ) {
		bytes[at + i] = static_cast<u8>( value >> ( 24 - 8 * i ) );
	}
}

u32 NodeBytes( const ToolOctNode& node ) {
	return node.leaf ? LEAF_BYTES + 4 * static_cast<u32>( node.entries.size() ) : INNER_BYTES;
}

}

std::vector<u8> ToolWriteEnvMapBlock( const ToolEnvMap& map, ToolEnvMapLayout* layout ) {
	std::vector<u8> materials;
	if ( !map.materials.empty() ) {
		ToolChunkWriter writer;
		for ( const ToolMaterial& material : map.materials ) {
			ToolMaterialWriter::WriteMaterial( writer, material );
		}
		writer.Finish( materials );
	}
	const u32 materialOffset = HEADER_BYTES;
	// Nodes start on a word.
	const u32 leafArea = ( materialOffset + static_cast<u32>( materials.size() ) + 3 ) & ~3u;
	const u32 root = leafArea + ( ( map.leafAreaBytes + 3 ) & ~3u );
	std::vector<u32> offsets;
	u32 at = root;
	for ( const ToolOctNode& node : map.nodes ) {
		offsets.push_back( at );
		at += NodeBytes( node );
	}
	std::vector<u8> block( at, 0 );
	PutBE32( block, 0, at );
	PutBE32( block, 4, map.version );
	PutBE32( block, 8, root );
	PutBE32( block, 12, static_cast<u32>( map.materials.size() ) );
	PutBE32( block, 16, materialOffset );
	PutBE32( block, 20, map.word5 );
	PutBE32( block, 24, leafArea );
	PutBE32( block, 28, map.hookCount );
	PutBE32( block, 32, leafArea );
	std::copy( materials.begin(), materials.end(), block.begin() + materialOffset );
	for ( size_t i = 0; i < map.nodes.size(); i++ ) {
		const ToolOctNode& node = map.nodes[i];
		const size_t base = offsets[i];
		PutBE32( block, base, node.leaf ? 1 : 0 );
		if ( node.leaf ) {
			PutBE32( block, base + 40, static_cast<u32>( node.entries.size() ) );
			for ( size_t e = 0; e < node.entries.size(); e++ ) {
				PutBE32( block, base + 56 + 4 * e, node.entries[e] );
			}
		} else {
			for ( size_t slot = 0; slot < 8; slot++ ) {
				const s32 child = node.children[slot];
				const u32 offset = child >= 0 && static_cast<size_t>( child ) < offsets.size() ? offsets[child] - root : 0;
				PutBE32( block, base + 32 + 4 * slot, offset );
			}
		}
	}
	if ( layout != nullptr ) {
		layout->root = root;
		layout->nodes = offsets;
	}
	return block;
}

std::vector<u8> ToolWriteEnvMapRecord( const u32 id, const std::vector<u8>& block ) {
	std::vector<u8> record( 8 + block.size(), 0 );
	PutBE32( record, 0, id );
	std::copy( block.begin(), block.end(), record.begin() + 8 );
	return record;
}
