#include "tools/lib/graphics3d/ToolNativeGeometryWriter.h"

#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/ToolChunkWriter.h"
#include "tools/lib/graphics3d/ToolBinMeshWriter.h"

namespace {

constexpr u32 PLATFORM			= 6;
constexpr u32 HEADER_BYTES		= 68;
constexpr u32 RECORD_BYTES		= 8;
constexpr u32 ALIGNMENT			= 32;
constexpr u32 MAX_SETS			= 8;
constexpr u16 INDEX8			= 2;
constexpr u16 INDEX16			= 3;
constexpr u8 OPCODE_TRIANGLES	= 0x90;
constexpr u8 OPCODE_STRIP		= 0x98;

struct Record {
	u32 size;
	u32 offset;
};

}	// namespace

std::vector<u8> ToolNativeGeometryWriter::Entry( const ToolNativeGeometry& geometry ) {
	const bool wide = geometry.numVertices >= 255;
	const size_t sets = geometry.texCoords.size() < MAX_SETS ? geometry.texCoords.size() : MAX_SETS;
	const u32 attributes = 1 + ( geometry.normals.empty() ? 0 : 1 ) + ( geometry.colours.empty() ? 0 : 1 ) + static_cast<u32>( sets );

	// The data block: lists, then arrays.
	ToolBigEndianWriter data;
	std::vector<Record> records;
	for ( const std::vector<u16>& mesh : geometry.meshes ) {
		const size_t start = data.Size();
		data.WriteU8( geometry.strips ? OPCODE_STRIP : OPCODE_TRIANGLES );
		data.WriteU16( static_cast<u16>( mesh.size() ) );
		for ( const u16 index : mesh ) {
			for ( u32 a = 0; a < attributes; a++ ) {
				if ( wide ) {
					data.WriteU16( index );
				} else {
					data.WriteU8( static_cast<u8>( index ) );
				}
			}
		}
		data.AlignTo( ALIGNMENT );
		records.push_back( { static_cast<u32>( data.Size() - start ), static_cast<u32>( start ) } );
	}
	u32 offsets[3 + MAX_SETS] = {};
	u8 strides[3 + MAX_SETS] = {};
	auto floats = [&]( const u32 slot, const std::vector<f32>& values, const u8 stride ) {
		data.AlignTo( ALIGNMENT );
		offsets[slot] = static_cast<u32>( data.Size() );
		strides[slot] = stride;
		for ( const f32 value : values ) {
			data.WriteF32( value );
		}
	};
	floats( 0, geometry.positions, 12 );
	if ( !geometry.normals.empty() ) {
		floats( 1, geometry.normals, 12 );
	}
	if ( !geometry.colours.empty() ) {
		data.AlignTo( ALIGNMENT );
		offsets[2] = static_cast<u32>( data.Size() );
		strides[2] = 4;
		data.WriteBytes( geometry.colours );
	}
	for ( size_t k = 0; k < sets; k++ ) {
		floats( static_cast<u32>( 3 + k ), geometry.texCoords[k], 8 );
	}
	data.AlignTo( ALIGNMENT );

	// The header block.
	ToolBigEndianWriter header;
	header.WriteU16( geometry.serial );
	header.WriteU16( wide ? INDEX16 : INDEX8 );
	header.WriteU16( 0 );
	for ( const u8 stride : strides ) {
		header.WriteU8( stride );
	}
	header.WriteZeros( 3 );
	header.WriteU32( 0 );
	for ( const u32 offset : offsets ) {
		header.WriteU32( offset );
	}
	for ( const Record& record : records ) {
		header.WriteU32( record.size );
		header.WriteU32( record.offset );
	}

	const u32 headerBytes = HEADER_BYTES + RECORD_BYTES * static_cast<u32>( records.size() );
	ToolChunkWriter writer;
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteU32( PLATFORM );
	writer.WriteU32( headerBytes );
	writer.WriteU32( static_cast<u32>( data.Size() ) );
	writer.WriteBytes( header.Bytes() );
	writer.WriteBytes( data.Bytes() );
	writer.EndChunk();
	std::vector<u8> bytes;
	writer.Finish( bytes );
	return bytes;
}

std::vector<u8> ToolNativeGeometryWriter::Meshes( const bool strips, const std::vector<u32>& counts ) {
	ToolBinMesh meshes;
	meshes.flags = strips ? TOOL_BIN_MESH_TRISTRIP : 0;
	meshes.native = true;
	for ( const u32 count : counts ) {
		meshes.meshes.push_back( { std::vector<u32>( count, 0 ), 0, {} } );
	}
	ToolChunkWriter writer;
	ToolBinMeshWriter::WritePayload( writer, meshes );
	std::vector<u8> payload;
	writer.Finish( payload );
	return payload;
}

std::vector<u8> ToolNativeGeometryWriter::Meshes( const ToolNativeGeometry& geometry ) {
	std::vector<u32> counts;
	for ( const std::vector<u16>& mesh : geometry.meshes ) {
		counts.push_back( static_cast<u32>( mesh.size() ) );
	}
	return Meshes( geometry.strips, counts );
}

ToolWorld ToolNativeGeometryWriter::World( const ToolNativeGeometry& geometry, const u32 format, const f32 extent ) {
	s32 triangles = 0;
	for ( const std::vector<u16>& mesh : geometry.meshes ) {
		const s32 n = static_cast<s32>( mesh.size() );
		triangles += geometry.strips ? ( n > 2 ? n - 2 : 0 ) : n / 3;
	}
	ToolWorld world;
	world.format = format;
	world.box = { extent, extent, extent, -extent, -extent, -extent };
	world.storedVertices = static_cast<s32>( geometry.numVertices );
	world.storedTriangles = triangles;
	world.materials = ToolWorldWriter::PlainMaterials( 1 );
	ToolAtomicSector sector;
	sector.storedVertices = world.storedVertices;
	sector.storedTriangles = triangles;
	sector.extension = { { TOOL_PLUGIN_BIN_MESH, Meshes( geometry ) }, { TOOL_NATIVE_DATA_PLUGIN, Entry( geometry ) } };
	world.sectors = { sector };
	return world;
}
