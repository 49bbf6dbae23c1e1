#include "tools/lib/level/ToolMorphAnimResWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolChunkWriter.h"

#include <algorithm>

namespace {

// Channel fields: key count (with the current key in the high half),
// animated count, offsets of the indices and of the keys; a key's values.
constexpr u32 CHANNEL_KEY_COUNT		= 4;
constexpr u32 CHANNEL_ANIMATED		= 8;
constexpr u32 CHANNEL_INDICES		= 12;
constexpr u32 CHANNEL_KEYS			= 28;
constexpr u32 KEY_VALUES			= 8;

u32 ReadLittle( const std::vector<u8> & block, const u32 at ) {
	u32 value = 0;
	for ( u32 i = 0; i < 4 && at + i < block.size(); i++ ) {
		value |= static_cast<u32>( block[at + i] ) << ( 8 * i );
	}
	return value;
}

}

std::vector<u8> ToolMorphAnimResWriter::Encode( const ToolMorphAnimRes & resource ) {
	std::vector<u8> block = ToolMorphWriter::Block( resource.animation );
	for ( const std::pair<u32, u32> & patch : resource.patches ) {
		ToolMorphWriter::Patch( block, patch.first, patch.second );
	}
	std::vector<u8> chunk = ToolMorphWriter::Chunk( block );
	if ( resource.chunkSize.has_value() ) {
		// The payload size is the header's second word.
		for ( u32 i = 0; i < 4; i++ ) {
			chunk[4 + i] = static_cast<u8>( *resource.chunkSize >> ( 8 * i ) );
		}
	}
	ToolBigEndianWriter out;
	out.WriteU32( resource.id );
	out.WriteU32( resource.users );
	out.WriteBytes( chunk );
	std::vector<u8> record = out.Take();
	record.resize( record.size() - std::min<size_t>( resource.cut, record.size() ) );
	return record;
}

ToolMorphAnimRes ToolMorphAnimResWriter::Sample( const u32 id ) {
	ToolMorphChannel vertex;
	vertex.indices = { 1, 3 };
	vertex.keys = { { 0.0f, { { 0, 0, 0 }, { 1, 1, 1 } } }, { 1.0f, { { 2, 0, 0 }, { 1, 3, 1 } } },
					{ 3.0f, { { 0, 0, 0 }, { 1, 1, 1 } } } };
	ToolMorphChannel normal;
	normal.indices = { 2 };
	normal.outputs = { { 0, 0, 1 } };
	normal.keys = { { 0.0f, { { 0, 0, 0 } } }, { 2.0f, { { 2, 0, 0 } } } };
	ToolMorphAnimRes resource;
	resource.id = id;
	resource.animation.atomics = { ToolMorphAtomic{ vertex, normal, 0 }, ToolMorphAtomic{ vertex, std::nullopt, 0 } };
	return resource;
}

std::vector<ToolMorphAnimResVariant> ToolMorphAnimResWriter::Malformed( const ToolMorphAnimRes & resource ) {
	ToolMorphLayout layout;
	const std::vector<u8> block = ToolMorphWriter::Block( resource.animation, &layout );
	const u32 size = static_cast<u32>( block.size() );
	const u32 channel = layout.channels.empty() ? 0 : layout.channels[0];
	const u32 keys = ReadLittle( block, channel + CHANNEL_KEYS );
	std::vector<ToolMorphAnimResVariant> variants;
	const auto add = [&]( const char * name, const auto & damage ) {
		ToolMorphAnimResVariant variant{ name, resource };
		damage( variant.resource );
		variants.push_back( variant );
	};
	add( "chunk_past_record", [&]( ToolMorphAnimRes & r ) { r.chunkSize = size + 16; } );
	add( "chunk_half_block", [&]( ToolMorphAnimRes & r ) { r.chunkSize = size / 2; } );
	add( "record_cut", [&]( ToolMorphAnimRes & r ) { r.cut = 8; } );
	add( "atomic_count", [&]( ToolMorphAnimRes & r ) { r.animation.storedCount = 0xFF; } );
	add( "key_count", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { channel + CHANNEL_KEY_COUNT, 0xFFFF } ); } );
	add( "animated_count", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { channel + CHANNEL_ANIMATED, 0xFFFF } ); } );
	add( "table_offset", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { 0, size } ); } );
	add( "record_offset", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { layout.table, size - 4 } ); } );
	add( "channel_offset", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { layout.records[0], size } ); } );
	add( "indices_offset", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { channel + CHANNEL_INDICES, 0xFFFFFFFE } ); } );
	add( "keys_offset", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { channel + CHANNEL_KEYS, size - 4 } ); } );
	add( "values_offset", [&]( ToolMorphAnimRes & r ) { r.patches.push_back( { keys + KEY_VALUES, size } ); } );
	return variants;
}
