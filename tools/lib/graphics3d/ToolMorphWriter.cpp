#include "tools/lib/graphics3d/ToolMorphWriter.h"

#include "tools/lib/ToolChunkWriter.h"

#include <bit>

namespace {

class BlockBuilder {
public:
	u32 Reserve( const size_t bytes ) {
		const u32 at = static_cast<u32>( data.size() );
		data.resize( data.size() + ( ( bytes + 3 ) & ~size_t{ 3 } ) );
		return at;
	}
	void Word( const u32 at, const u32 value ) {
		for ( u32 i = 0; i < 4; i++ ) {
			data[at + i] = static_cast<u8>( value >> ( 8 * i ) );
		}
	}
	void Half( const u32 at, const u16 value ) {
		data[at] = static_cast<u8>( value );
		data[at + 1] = static_cast<u8>( value >> 8 );
	}
	void Real( const u32 at, const f32 value ) { Word( at, std::bit_cast<u32>( value ) ); }
	u32 Vectors( const std::vector<std::array<f32, 3>>& vectors, const size_t count ) {
		if ( count == 0 ) {
			return 0;
		}
		const u32 at = Reserve( 12 * count );
		for ( size_t i = 0; i < vectors.size() && i < count; i++ ) {
			for ( u32 c = 0; c < 3; c++ ) {
				Real( at + static_cast<u32>( 12 * i + 4 * c ), vectors[i][c] );
			}
		}
		return at;
	}

	std::vector<u8>	data;
};

void WriteChannel( BlockBuilder& block, const u32 at, const ToolMorphChannel& channel ) {
	const size_t n = channel.indices.size();
	block.Real( at, channel.time );
	block.Half( at + 4, static_cast<u16>( channel.keys.size() ) );
	block.Half( at + 6, channel.currentKey );
	block.Half( at + 8, static_cast<u16>( n ) );
	u32 indices = 0;
	if ( n != 0 ) {
		indices = block.Reserve( 2 * n );
		for ( size_t i = 0; i < n; i++ ) {
			block.Half( indices + static_cast<u32>( 2 * i ), channel.indices[i] );
		}
	}
	block.Word( at + 12, indices );
	block.Word( at + 16, block.Vectors( channel.slopes, n ) );
	block.Word( at + 20, block.Vectors( channel.bases, n ) );
	block.Word( at + 24, block.Vectors( channel.outputs, n ) );
	const u32 keys = channel.keys.empty() ? 0 : block.Reserve( 12 * channel.keys.size() );
	block.Word( at + 28, keys );
	for ( size_t k = 0; k < channel.keys.size(); k++ ) {
		const u32 key = keys + static_cast<u32>( 12 * k );
		block.Real( key, channel.keys[k].time );
		block.Word( key + 4, k + 1 < channel.keys.size() ? key + 12 : 0 );
		block.Word( key + 8, block.Vectors( channel.keys[k].values, n ) );
	}
}

}

std::vector<u8> ToolMorphWriter::Block( const ToolMorphAnimation& animation, ToolMorphLayout* layout ) {
	BlockBuilder block;
	block.Reserve( 16 );
	const size_t count = animation.atomics.size();
	const u32 table = count != 0 ? block.Reserve( 4 * count ) : 0;
	block.Word( 0, table );
	block.data[4] = animation.storedCount.value_or( static_cast<u8>( count ) );
	block.Word( 8, animation.version );
	block.data[12] = animation.group;
	ToolMorphLayout where;
	where.table = table;
	for ( size_t i = 0; i < count; i++ ) {
		const std::optional<ToolMorphAtomic>& atomic = animation.atomics[i];
		const u32 record = atomic.has_value() ? block.Reserve( 12 ) : 0;
		block.Word( table + static_cast<u32>( 4 * i ), record );
		where.records.push_back( record );
		if ( !atomic.has_value() ) {
			where.channels.insert( where.channels.end(), { 0, 0 } );
			continue;
		}
		const std::optional<ToolMorphChannel>* const channels[] = { &atomic->vertex, &atomic->normal };
		for ( u32 c = 0; c < 2; c++ ) {
			const u32 at = channels[c]->has_value() ? block.Reserve( 32 ) : 0;
			block.Word( record + 4 * c, at );
			where.channels.push_back( at );
			if ( at != 0 ) {
				WriteChannel( block, at, **channels[c] );
			}
		}
		block.Word( record + 8, atomic->third );
	}
	if ( layout != nullptr ) {
		*layout = where;
	}
	return block.data;
}

std::vector<u8> ToolMorphWriter::Chunk( const std::vector<u8>& block ) {
	ToolChunkWriter writer;
	writer.BeginChunk( TOOL_CHUNK_MORPH_ANIMATION );
	writer.WriteBytes( block );
	writer.EndChunk();
	std::vector<u8> bytes;
	writer.Finish( bytes );
	return bytes;
}

void ToolMorphWriter::Patch( std::vector<u8>& block, const u32 offset, const u32 value ) {
	if ( static_cast<size_t>( offset ) + 4 > block.size() ) {
		return;
	}
	for ( u32 i = 0; i < 4; i++ ) {
		block[offset + i] = static_cast<u8>( value >> ( 8 * i ) );
	}
}
