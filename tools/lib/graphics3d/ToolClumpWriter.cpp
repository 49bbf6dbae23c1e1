#include "tools/lib/graphics3d/ToolClumpWriter.h"

#include <bit>

namespace {

void PutWord( std::vector<u8>& out, const u32 value ) {
	for ( u32 i = 0; i < 4; i++ ) {
		out.push_back( static_cast<u8>( value >> ( 8 * i ) ) );
	}
}

void PutFloat( std::vector<u8>& out, const f32 value ) {
	PutWord( out, std::bit_cast<u32>( value ) );
}

void WriteStruct( ToolChunkWriter& writer, const std::vector<u8>& payload ) {
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteBytes( payload );
	writer.EndChunk();
}

void WriteFrameList( ToolChunkWriter& writer, const std::vector<ToolFrame>& frames ) {
	writer.BeginChunk( TOOL_CHUNK_FRAMELIST );
	std::vector<u8> payload;
	PutWord( payload, static_cast<u32>( frames.size() ) );
	for ( const ToolFrame& frame : frames ) {
		for ( const f32 value : frame.matrix ) {
			PutFloat( payload, value );
		}
		PutWord( payload, static_cast<u32>( frame.parent ) );
		PutWord( payload, 0 );
	}
	WriteStruct( writer, payload );
	for ( const ToolFrame& frame : frames ) {
		ToolMaterialWriter::WriteExtension( writer, frame.extension );
	}
	writer.EndChunk();
}

void WriteAtomic( ToolChunkWriter& writer, const ToolAtomic& atomic ) {
	writer.BeginChunk( TOOL_CHUNK_ATOMIC );
	std::vector<u8> payload;
	PutWord( payload, static_cast<u32>( atomic.frameIndex ) );
	PutWord( payload, static_cast<u32>( atomic.geometryIndex ) );
	PutWord( payload, atomic.flags );
	PutWord( payload, atomic.reserved );
	payload.resize( atomic.structBytes, 0 );
	WriteStruct( writer, payload );
	if ( atomic.geometry ) {
		ToolGeometryWriter::Write( writer, *atomic.geometry );
	}
	ToolMaterialWriter::WriteExtension( writer, atomic.extension );
	writer.EndChunk();
}

void WriteFrameIndex( ToolChunkWriter& writer, const s32 index ) {
	std::vector<u8> payload;
	PutWord( payload, static_cast<u32>( index ) );
	WriteStruct( writer, payload );
}

void WriteCamera( ToolChunkWriter& writer, const ToolClumpCamera& camera ) {
	writer.BeginChunk( TOOL_CHUNK_CAMERA );
	std::vector<u8> payload;
	for ( const f32 value : camera.values ) {
		PutFloat( payload, value );
	}
	PutWord( payload, camera.projection );
	WriteStruct( writer, payload );
	ToolMaterialWriter::WriteExtension( writer, {} );
	writer.EndChunk();
}

}	// namespace

void ToolClumpWriter::Write( ToolChunkWriter& writer, const ToolClump& clump ) {
	writer.BeginChunk( TOOL_CHUNK_CLUMP );
	std::vector<u8> counts;
	PutWord( counts, static_cast<u32>( clump.storedAtomics.value_or( static_cast<s32>( clump.atomics.size() ) ) ) );
	const bool countsOnly = clump.version <= TOOL_CLUMP_COUNTS_ONLY_VERSION;
	if ( !countsOnly ) {
		PutWord( counts, static_cast<u32>( clump.lights.size() ) );
		PutWord( counts, static_cast<u32>( clump.cameras.size() ) );
	}
	writer.BeginChunkStamped( TOOL_CHUNK_STRUCT, ToolChunkWriter::EncodeStamp( clump.version, TOOL_CHUNK_BUILD ) );
	writer.WriteBytes( counts );
	writer.EndChunk();
	WriteFrameList( writer, clump.frames );
	writer.BeginChunk( TOOL_CHUNK_GEOMETRYLIST );
	std::vector<u8> count;
	PutWord( count, static_cast<u32>( clump.geometries.size() ) );
	WriteStruct( writer, count );
	for ( const ToolGeometry& geometry : clump.geometries ) {
		ToolGeometryWriter::Write( writer, geometry );
	}
	writer.EndChunk();
	for ( const ToolAtomic& atomic : clump.atomics ) {
		WriteAtomic( writer, atomic );
	}
	if ( !countsOnly ) {
		for ( const ToolClumpLight& light : clump.lights ) {
			WriteFrameIndex( writer, light.frameIndex );
			ToolLightWriter::Write( writer, light.light );
		}
		for ( const ToolClumpCamera& camera : clump.cameras ) {
			WriteFrameIndex( writer, camera.frameIndex );
			WriteCamera( writer, camera );
		}
	}
	ToolMaterialWriter::WriteExtension( writer, clump.extension );
	writer.EndChunk();
}

std::vector<u8> ToolClumpWriter::Chunk( const ToolClump& clump ) {
	ToolChunkWriter writer;
	Write( writer, clump );
	std::vector<u8> bytes;
	writer.Finish( bytes );
	return bytes;
}

ToolExtensionEntry ToolClumpWriter::AtomicData( const u32 word ) {
	ToolExtensionEntry entry{ TOOL_PLUGIN_ATOMIC_DATA, {} };
	PutWord( entry.payload, word );
	return entry;
}

std::vector<u8> ToolClumpWriter::HAnimFrame( const ToolHAnimFrame& frame ) {
	std::vector<u8> out;
	PutWord( out, 0x100 );
	PutWord( out, static_cast<u32>( frame.id ) );
	PutWord( out, static_cast<u32>( frame.nodes.size() ) );
	if ( !frame.nodes.empty() ) {
		PutWord( out, static_cast<u32>( frame.flags ) );
		PutWord( out, static_cast<u32>( frame.keyFrameSize ) );
		for ( const ToolHAnimNode& node : frame.nodes ) {
			PutWord( out, static_cast<u32>( node.id ) );
			PutWord( out, static_cast<u32>( node.index ) );
			PutWord( out, static_cast<u32>( node.flags ) );
		}
	}
	return out;
}

std::vector<u8> ToolClumpWriter::KeyFrames( const std::vector<ToolKeyFrame>& keyFrames ) {
	std::vector<u8> out;
	for ( const ToolKeyFrame& key : keyFrames ) {
		PutFloat( out, key.time );
		for ( const f32 value : key.q ) {
			PutFloat( out, value );
		}
		for ( const f32 value : key.t ) {
			PutFloat( out, value );
		}
		PutWord( out, static_cast<u32>( key.prevOffset ) );
	}
	return out;
}

ToolExtensionEntry ToolClumpWriter::Rights( const u32 pluginID, const u32 extraData ) {
	std::vector<u8> payload;
	PutWord( payload, pluginID );
	PutWord( payload, extraData );
	return { TOOL_PLUGIN_RIGHTS, payload };
}
