#include "tools/lib/graphics3d/ToolGeometryWriter.h"

void ToolGeometryWriter::Write( ToolChunkWriter& writer, const ToolGeometry& geometry ) {
	writer.BeginChunk( TOOL_CHUNK_GEOMETRY );
	writer.BeginChunkStamped( TOOL_CHUNK_STRUCT, ToolChunkWriter::EncodeStamp( geometry.version, TOOL_CHUNK_BUILD ) );
	writer.WriteU32( geometry.format );
	writer.WriteS32( geometry.storedTriangles.value_or( static_cast<s32>( geometry.triangles.size() ) ) );
	writer.WriteS32( geometry.numVertices );
	writer.WriteS32( geometry.storedMorphTargets.value_or( static_cast<s32>( geometry.morphTargets.size() ) ) );
	if ( geometry.version < TOOL_GEOMETRY_NO_SURFACE_VERSION ) {
		for ( const f32 value : geometry.surface ) {
			writer.WriteF32( value );
		}
	}
	for ( u32 i = 0; i < geometry.extraStructBytes; i++ ) {
		const u8 zero = 0;
		writer.WriteBytes( std::span<const u8>( &zero, 1 ) );
	}
	writer.EndChunk();
	writer.WriteBytes( geometry.preLit );
	for ( const std::vector<f32>& set : geometry.texCoords ) {
		for ( const f32 value : set ) {
			writer.WriteF32( value );
		}
	}
	for ( const ToolTriangle& t : geometry.triangles ) {
		writer.WriteU32( ( static_cast<u32>( t.v[0] ) << 16 ) | t.v[1] );
		writer.WriteU32( ( static_cast<u32>( t.v[2] ) << 16 ) | static_cast<u16>( t.material ) );
	}
	for ( const ToolMorphTarget& target : geometry.morphTargets ) {
		for ( const f32 value : target.sphere ) {
			writer.WriteF32( value );
		}
		writer.WriteU32( target.positions.empty() ? 0 : 1 );
		writer.WriteU32( target.normals.empty() ? 0 : 1 );
		for ( const f32 value : target.positions ) {
			writer.WriteF32( value );
		}
		for ( const f32 value : target.normals ) {
			writer.WriteF32( value );
		}
	}
	ToolMaterialWriter::WriteList( writer, geometry.materials );
	ToolMaterialWriter::WriteExtension( writer, geometry.extension );
	writer.EndChunk();
}
