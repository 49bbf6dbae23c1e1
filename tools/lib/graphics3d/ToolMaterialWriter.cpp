#include "tools/lib/graphics3d/ToolMaterialWriter.h"

#include <bit>
#include <cstring>

void ToolMaterialWriter::WriteExtension( ToolChunkWriter& writer, const std::vector<ToolExtensionEntry>& entries ) {
	writer.BeginChunk( TOOL_CHUNK_EXTENSION );
	for ( const ToolExtensionEntry& entry : entries ) {
		writer.BeginChunk( entry.pluginID );
		writer.WriteBytes( entry.payload );
		writer.EndChunk();
	}
	writer.EndChunk();
}

void ToolMaterialWriter::WriteMaterial( ToolChunkWriter& writer, const ToolMaterial& material ) {
	u8 record[TOOL_MATERIAL_STRUCT_BYTES] = {};
	const auto put = [&record]( const u32 offset, const u32 value ) {
		for ( u32 i = 0; i < 4; i++ ) {
			record[offset + i] = static_cast<u8>( value >> ( 8 * i ) );
		}
	};
	put( 0, material.flags );
	std::memcpy( record + 4, material.color, 4 );
	put( 12, material.texture.has_value() ? 1 : 0 );
	put( 16, std::bit_cast<u32>( material.ambient ) );
	put( 20, std::bit_cast<u32>( material.specular ) );
	put( 24, std::bit_cast<u32>( material.diffuse ) );

	writer.BeginChunk( TOOL_CHUNK_MATERIAL );
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	const u32 kept = material.structBytes < TOOL_MATERIAL_STRUCT_BYTES ? material.structBytes : TOOL_MATERIAL_STRUCT_BYTES;
	writer.WriteBytes( std::span<const u8>( record, kept ) );
	for ( u32 i = kept; i < material.structBytes; i++ ) {
		const u8 zero = 0;
		writer.WriteBytes( std::span<const u8>( &zero, 1 ) );
	}
	writer.EndChunk();
	if ( material.texture.has_value() ) {
		ToolTextureWriter::Write( writer, *material.texture );
	}
	WriteExtension( writer, material.extension );
	writer.EndChunk();
}

void ToolMaterialWriter::WriteList( ToolChunkWriter& writer, const ToolMaterialList& list ) {
	if ( list.stamp != 0 ) {
		writer.BeginChunkStamped( TOOL_CHUNK_MATERIAL_LIST, list.stamp );
	} else {
		writer.BeginChunk( TOOL_CHUNK_MATERIAL_LIST );
	}
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteS32( list.storedCount.value_or( static_cast<s32>( list.indices.size() ) ) );
	for ( const s32 index : list.indices ) {
		writer.WriteS32( index );
	}
	for ( u32 i = 0; i < list.extraStructBytes; i++ ) {
		const u8 zero = 0;
		writer.WriteBytes( std::span<const u8>( &zero, 1 ) );
	}
	writer.EndChunk();
	for ( const ToolMaterial& material : list.materials ) {
		WriteMaterial( writer, material );
	}
	writer.EndChunk();
}
