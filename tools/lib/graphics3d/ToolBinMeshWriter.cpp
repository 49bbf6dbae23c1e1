#include "tools/lib/graphics3d/ToolBinMeshWriter.h"

void ToolBinMeshWriter::WritePayload( ToolChunkWriter& writer, const ToolBinMesh& mesh ) {
	u32 total = 0;
	for ( const ToolBinMeshMesh& one : mesh.meshes ) {
		total += static_cast<u32>( one.indices.size() );
	}
	writer.WriteU32( mesh.flags );
	writer.WriteU32( static_cast<u32>( mesh.meshes.size() ) );
	writer.WriteU32( mesh.storedTotal.value_or( total ) );
	for ( const ToolBinMeshMesh& one : mesh.meshes ) {
		writer.WriteU32( one.storedCount.value_or( static_cast<u32>( one.indices.size() ) ) );
		writer.WriteS32( one.materialIndex );
		if ( mesh.native ) {
			continue;
		}
		for ( const u32 index : one.indices ) {
			writer.WriteU32( index );
		}
	}
}

void ToolBinMeshWriter::WriteEntry( ToolChunkWriter& writer, const ToolBinMesh& mesh ) {
	writer.BeginChunk( TOOL_PLUGIN_BIN_MESH );
	WritePayload( writer, mesh );
	writer.EndChunk();
}
