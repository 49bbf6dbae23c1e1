#include "tools/lib/graphics3d/ToolLightWriter.h"

#include <bit>

void ToolLightWriter::Write( ToolChunkWriter& writer, const ToolLight& light ) {
	const u32 words[TOOL_LIGHT_STRUCT_BYTES / 4] = {
		std::bit_cast<u32>( light.radius ), std::bit_cast<u32>( light.red ),  std::bit_cast<u32>( light.green ),
		std::bit_cast<u32>( light.blue ),	std::bit_cast<u32>( light.cone ), ( ( light.type & 0xFF ) << 16 ) | light.flags,
	};
	u8 record[TOOL_LIGHT_STRUCT_BYTES];
	for ( u32 i = 0; i < TOOL_LIGHT_STRUCT_BYTES; i++ ) {
		record[i] = static_cast<u8>( words[i / 4] >> ( 8 * ( i % 4 ) ) );
	}
	writer.BeginChunk( TOOL_CHUNK_LIGHT );
	if ( light.structStamp != 0 ) {
		writer.BeginChunkStamped( TOOL_CHUNK_STRUCT, light.structStamp );
	} else {
		writer.BeginChunk( TOOL_CHUNK_STRUCT );
	}
	const u32 kept = light.structBytes < TOOL_LIGHT_STRUCT_BYTES ? light.structBytes : TOOL_LIGHT_STRUCT_BYTES;
	writer.WriteBytes( std::span<const u8>( record, kept ) );
	for ( u32 i = kept; i < light.structBytes; i++ ) {
		const u8 zero = 0;
		writer.WriteBytes( std::span<const u8>( &zero, 1 ) );
	}
	writer.EndChunk();
	writer.BeginChunk( TOOL_CHUNK_EXTENSION );
	writer.EndChunk();
	writer.EndChunk();
}
