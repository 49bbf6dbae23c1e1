#include "tools/lib/graphics3d/ToolWorldWriter.h"

// The first version whose world struct holds the counts right after the
// origin (and the box).
static const u32 WORLD_COUNTS_VERSION = 0x34001;
static const u32 NATIVE_FORMAT = 0x01000000;
static const u32 NORMALS_FORMAT = 0x10;
static const u32 PRELIT_FORMAT = 0x08;

namespace {

void Zeros( ToolChunkWriter& writer, const u32 count ) {
	for ( u32 i = 0; i < count; i++ ) {
		writer.WriteBytes( std::vector<u8>{ 0 } );
	}
}

void BeginChunk( ToolChunkWriter& writer, const u32 type, const u32 version ) {
	writer.BeginChunkStamped( type, ToolChunkWriter::EncodeStamp( version, TOOL_CHUNK_BUILD ) );
}

void WriteSector( ToolChunkWriter& writer, const ToolWorld& world, ToolSectorRef ref );

void WriteAtomicSector( ToolChunkWriter& writer, const ToolWorld& world, const ToolAtomicSector& sector ) {
	if ( sector.stamp != 0 ) {
		writer.BeginChunkStamped( TOOL_CHUNK_ATOMIC_SECTOR, sector.stamp );
	} else {
		BeginChunk( writer, TOOL_CHUNK_ATOMIC_SECTOR, world.version );
	}
	const s32 vertices = static_cast<s32>( sector.positions.size() / 3 );
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteS32( sector.windowBase );
	writer.WriteS32( sector.storedTriangles.value_or( static_cast<s32>( sector.triangles.size() ) ) );
	writer.WriteS32( sector.storedVertices.value_or( vertices ) );
	for ( const f32 value : sector.tightBox ) {
		writer.WriteF32( value );
	}
	writer.WriteU32( 0 );
	writer.WriteU32( 0 );
	Zeros( writer, sector.extraStructBytes );
	writer.EndChunk();
	if ( ( world.format & NATIVE_FORMAT ) == 0 ) {
		if ( vertices != 0 ) {
			for ( const f32 value : sector.positions ) {
				writer.WriteF32( value );
			}
			if ( world.format & NORMALS_FORMAT ) {
				writer.WriteBytes( sector.normals );
			}
			if ( world.format & PRELIT_FORMAT ) {
				writer.WriteBytes( sector.preLit );
			}
			for ( const std::vector<f32>& set : sector.texCoords ) {
				for ( const f32 value : set ) {
					writer.WriteF32( value );
				}
			}
		}
		for ( const std::array<u16, 4>& triangle : sector.triangles ) {
			for ( const u16 value : triangle ) {
				if ( sector.narrowTriangles ) {
					writer.WriteBytes( std::vector<u8>{ static_cast<u8>( value ) } );
				} else {
					writer.WriteU16( value );
				}
			}
		}
	}
	ToolMaterialWriter::WriteExtension( writer, sector.extension );
	writer.EndChunk();
}

void WritePlaneSector( ToolChunkWriter& writer, const ToolWorld& world, const ToolPlaneSector& plane ) {
	BeginChunk( writer, TOOL_CHUNK_PLANE_SECTOR, world.version );
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteS32( plane.type );
	writer.WriteF32( plane.value );
	writer.WriteS32( plane.left.atomic ? 1 : 0 );
	writer.WriteS32( plane.right.atomic ? 1 : 0 );
	writer.WriteF32( plane.leftValue );
	writer.WriteF32( plane.rightValue );
	Zeros( writer, plane.extraStructBytes );
	writer.EndChunk();
	WriteSector( writer, world, plane.left );
	WriteSector( writer, world, plane.right );
	writer.EndChunk();
}

void WriteSector( ToolChunkWriter& writer, const ToolWorld& world, const ToolSectorRef ref ) {
	if ( ref.atomic ) {
		WriteAtomicSector( writer, world, world.sectors[ref.index] );
	} else {
		WritePlaneSector( writer, world, world.planes[ref.index] );
	}
}

}	// namespace

void ToolWorldWriter::Write( ToolChunkWriter& writer, const ToolWorld& world ) {
	s32 triangles = 0;
	s32 vertices = 0;
	for ( const ToolAtomicSector& sector : world.sectors ) {
		triangles += static_cast<s32>( sector.triangles.size() );
		vertices += static_cast<s32>( sector.positions.size() / 3 );
	}
	BeginChunk( writer, TOOL_CHUNK_WORLD, world.version );
	BeginChunk( writer, TOOL_CHUNK_STRUCT, world.version );
	writer.WriteS32( world.root.atomic ? 1 : 0 );
	for ( const f32 value : world.inverseOrigin ) {
		writer.WriteF32( value );
	}
	const bool counts = world.version >= WORLD_COUNTS_VERSION;
	if ( !counts ) {
		for ( u32 i = 0; i < 3; i++ ) {
			writer.WriteF32( 1.0f );
		}
	}
	writer.WriteS32( world.storedTriangles.value_or( triangles ) );
	writer.WriteS32( world.storedVertices.value_or( vertices ) );
	writer.WriteS32( world.storedPlanes.value_or( static_cast<s32>( world.planes.size() ) ) );
	writer.WriteS32( world.storedSectors.value_or( static_cast<s32>( world.sectors.size() ) ) );
	writer.WriteS32( world.collSectorSize );
	writer.WriteU32( world.format );
	if ( counts ) {
		for ( const f32 value : world.box ) {
			writer.WriteF32( value );
		}
	}
	Zeros( writer, world.extraStructBytes );
	writer.EndChunk();
	ToolMaterialWriter::WriteList( writer, world.materials );
	WriteSector( writer, world, world.root );
	ToolMaterialWriter::WriteExtension( writer, world.extension );
	writer.EndChunk();
}

ToolMaterialList ToolWorldWriter::PlainMaterials( const u32 count ) {
	ToolMaterialList list;
	for ( u32 i = 0; i < count; i++ ) {
		list.indices.push_back( -1 );
		list.materials.push_back( ToolMaterial{} );
	}
	return list;
}
