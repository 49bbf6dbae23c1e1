#include "tools/lib/graphics3d/ToolTextureWriter.h"

void ToolTextureWriter::Write( ToolChunkWriter& writer, const ToolTexture& texture ) {
	if ( texture.stamp != 0 ) {
		writer.BeginChunkStamped( TOOL_CHUNK_TEXTURE, texture.stamp );
	} else {
		writer.BeginChunk( TOOL_CHUNK_TEXTURE );
	}
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteU32( texture.filterAddressing );
	writer.EndChunk();
	writer.WriteStringChunk( texture.name );
	writer.WriteStringChunk( texture.maskName );
	writer.BeginChunk( TOOL_CHUNK_EXTENSION );
	writer.EndChunk();
	writer.EndChunk();
}
