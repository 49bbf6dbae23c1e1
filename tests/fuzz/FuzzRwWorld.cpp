/*
	The 3D library's static worlds, collision trees, skins and native
	(already instanced) data: world chunks and geometry chunks (with a
	collision record, a skin or native data in their extension) read from
	a memory stream, with the collision and world plug-ins attached. The
	first byte of an input picks the reader; the rest is the stream,
	searched for that reader's chunk. A world read is also walked by a
	line and a box query, so that a tree the reader let through is
	exercised.

	The library runs over the host test device with the C library's
	allocator and no free lists, so that the sanitizers see every block.
*/
#include "FuzzTarget.h"

#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpWorld.h"
#include "platform/gx/GX.h"
#include "platform/gx/GXHost.h"
#include "tools/lib/graphics3d/ToolCollisionTreeBuilder.h"
#include "tools/lib/graphics3d/ToolBinMeshWriter.h"
#include "tools/lib/graphics3d/ToolGeometryWriter.h"
#include "tools/lib/graphics3d/ToolNativeGeometryWriter.h"
#include "tools/lib/graphics3d/ToolSectorTreeBuilder.h"
#include "tools/lib/graphics3d/ToolSkinWriter.h"
#include "tools/lib/graphics3d/ToolWorldWriter.h"

namespace {

enum WorldReader : u8 { READ_WORLD, READ_GEOMETRY, READER_COUNT };

constexpr u32 GPU_FIFO_BYTES = 64 * 1024;

RpCollisionTriangle* Touch( RpIntersection*, RpWorldSector*, RpCollisionTriangle* triangle, f32, void* ) {
	return triangle;
}

RpCollisionTriangle* TouchAtomic( RpIntersection*, RpCollisionTriangle* triangle, f32, void* ) {
	return triangle;
}

void Query( RpWorld* world ) {
	RpIntersection line = {};
	line.type = rpINTERSECTLINE;
	line.t.line = { { -50.0f, -40.0f, -30.0f }, { 50.0f, 40.0f, 30.0f } };
	RpCollisionWorldForAllIntersections( world, &line, Touch, nullptr );
	RpIntersection box = {};
	box.type = rpINTERSECTBOX;
	box.t.box = { { 20.0f, 20.0f, 20.0f }, { -20.0f, -20.0f, -20.0f } };
	RpCollisionWorldForAllIntersections( world, &box, Touch, nullptr );
}

// Native instances are freed once the graphics processor has passed their
// draw-sync token: the host processor takes the tokens (the test device
// itself never draws through it), and its call log is dropped per input.
void StartGpu() {
	static std::vector<u8> fifo( GPU_FIFO_BYTES );
	static bool started = false;
	if ( !started ) {
		GXInit( fifo.data(), static_cast<u32>( fifo.size() ) );
		started = true;
	}
	GXHostClearLog();
}

void ReadChunk( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	FuzzRwStart( false, true );
	StartGpu();
	std::vector<u8> copy( data + 1, data + size );
	RwMemory memory = { copy.data(), static_cast<u32>( copy.size() ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	FuzzCheck( stream != nullptr, "a memory stream does not open" );
	if ( data[0] % READER_COUNT == READ_WORLD ) {
		if ( RwStreamFindChunk( stream, TOOL_CHUNK_WORLD, nullptr, nullptr ) ) {
			if ( RpWorld* const world = RpWorldStreamRead( stream ) ) {
				Query( world );
				RpWorldDestroy( world );
			}
		}
	} else if ( RwStreamFindChunk( stream, TOOL_CHUNK_GEOMETRY, nullptr, nullptr ) ) {
		if ( RpGeometry* const geometry = RpGeometryStreamRead( stream ) ) {
			RpAtomic* const atomic = RpAtomicCreate();
			RpAtomicSetGeometry( atomic, geometry, 0 );
			RpGeometryDestroy( geometry );
			RpIntersection sphere = {};
			sphere.type = rpINTERSECTSPHERE;
			sphere.t.sphere = { { 0.0f, 0.0f, 0.0f }, 10.0f };
			RpAtomicForAllIntersections( atomic, &sphere, TouchAtomic, nullptr );
			RpAtomicDestroy( atomic );
		}
	}
	RwStreamClose( stream, nullptr );
	RwError ignored = { 0, 0 };
	RwErrorGet( &ignored );
}

struct Soup {
	std::vector<f32>				positions;
	std::vector<std::array<u32, 3>>	triangles;
};

Soup Grid( const u32 side ) {
	Soup soup;
	for ( u32 y = 0; y <= side; y++ ) {
		for ( u32 x = 0; x <= side; x++ ) {
			soup.positions.insert( soup.positions.end(), { 4.0f * x - 20.0f, 4.0f * y - 20.0f, 0.5f * ( ( x * 7 + y * 3 ) % 5 ) } );
		}
	}
	for ( u32 y = 0; y < side; y++ ) {
		for ( u32 x = 0; x < side; x++ ) {
			const u32 a = y * ( side + 1 ) + x;
			soup.triangles.push_back( { a, a + 1, a + side + 2 } );
			soup.triangles.push_back( { a, a + side + 2, a + side + 1 } );
		}
	}
	return soup;
}

std::vector<u8> Finish( const u8 reader, ToolChunkWriter& writer ) {
	std::vector<u8> bytes;
	FuzzCheck( writer.Finish( bytes ), "a seed chunk does not close" );
	bytes.insert( bytes.begin(), reader );
	return bytes;
}

std::vector<u8> WorldSeed( const u32 sectorSize, const bool trees ) {
	const Soup soup = Grid( 6 );
	ToolChunkWriter writer;
	ToolWorldWriter::Write( writer, ToolSectorTreeBuilder::Build( soup.positions, soup.triangles, sectorSize, trees ? 3 : 0 ) );
	return Finish( READ_WORLD, writer );
}

std::vector<u8> GeometrySeed() {
	const Soup soup = Grid( 4 );
	ToolChunkWriter writer;
	ToolGeometryWriter::Write( writer, ToolCollisionTreeBuilder::Geometry( soup.positions, soup.triangles, 2 ) );
	return Finish( READ_GEOMETRY, writer );
}

// A geometry skinned by three bones with split data, in the portable or
// the older form.
std::vector<u8> SkinSeed( const ToolSkinForm form ) {
	const Soup soup = Grid( 1 );
	ToolGeometry geometry = ToolCollisionTreeBuilder::Geometry( soup.positions, soup.triangles, 0 );
	ToolSkin skin;
	skin.numBones = 3;
	skin.usedBones = form == ToolSkinForm::Portable ? std::vector<u8>{ 0, 1, 2 } : std::vector<u8>{};
	skin.maxNumWeights = 2;
	for ( u32 v = 0; v < soup.positions.size() / 3; v++ ) {
		skin.indices.push_back( { static_cast<u8>( v % 3 ), static_cast<u8>( ( v + 1 ) % 3 ), 0, 0 } );
		skin.weights.push_back( { 0.75f, 0.25f, 0.0f, 0.0f } );
	}
	for ( u32 b = 0; b < 3; b++ ) {
		skin.matrices.push_back( ToolSkinWriter::Translation( static_cast<f32>( b ), 0.0f, 0.0f ) );
	}
	if ( form == ToolSkinForm::Portable ) {
		skin.remap = { 0, 1, 2 };
		skin.meshes = { { 0, 2 } };
		skin.runs = { { 0, 2 }, { 2, 1 } };
	}
	geometry.extension.push_back( { TOOL_SKIN_PLUGIN, ToolSkinWriter::Payload( skin, form ) } );
	ToolChunkWriter writer;
	ToolGeometryWriter::Write( writer, geometry );
	return Finish( READ_GEOMETRY, writer );
}

// An instanced quad as the console draws it.
ToolNativeGeometry NativeQuad( const bool strips ) {
	ToolNativeGeometry quad;
	quad.numVertices = 4;
	quad.positions = { -5, -5, 0, 5, -5, 0, 5, 5, 0, -5, 5, 0 };
	quad.normals = { 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1 };
	quad.colours = { 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255 };
	quad.texCoords = { { 0, 0, 1, 0, 1, 1, 0, 1 } };
	quad.strips = strips;
	quad.meshes = strips ? std::vector<std::vector<u16>>{ { 0, 1, 3, 2 } } : std::vector<std::vector<u16>>{ { 0, 1, 2 }, { 0, 2, 3 } };
	return quad;
}

constexpr u32 NATIVE_FORMAT = 0x01000000 | 0x02 | 0x04 | 0x08 | 0x10;

std::vector<u8> NativeGeometrySeed( const bool strips ) {
	const ToolNativeGeometry quad = NativeQuad( strips );
	ToolGeometry geometry;
	geometry.format = NATIVE_FORMAT;
	geometry.numVertices = 4;
	geometry.materials = ToolWorldWriter::PlainMaterials( 1 );
	geometry.extension = { { TOOL_PLUGIN_BIN_MESH, ToolNativeGeometryWriter::Meshes( quad ) },
						   { TOOL_NATIVE_DATA_PLUGIN, ToolNativeGeometryWriter::Entry( quad ) } };
	ToolChunkWriter writer;
	ToolGeometryWriter::Write( writer, geometry );
	return Finish( READ_GEOMETRY, writer );
}

std::vector<u8> NativeWorldSeed() {
	ToolChunkWriter writer;
	ToolWorldWriter::Write( writer, ToolNativeGeometryWriter::World( NativeQuad( false ), NATIVE_FORMAT, 10.0f ) );
	return Finish( READ_WORLD, writer );
}

} // namespace

FUZZ_TARGET( rw_world ) {
	ReadChunk( data, size );
}

static void FuzzSeeds_rw_world( std::vector<FuzzSeed>& seeds ) {
	seeds.push_back( { "world-sectors-trees", WorldSeed( 12, true ) } );
	seeds.push_back( { "world-one-sector", WorldSeed( 1000, false ) } );
	seeds.push_back( { "geometry-tree", GeometrySeed() } );
	seeds.push_back( { "geometry-skin", SkinSeed( ToolSkinForm::Portable ) } );
	seeds.push_back( { "geometry-skin-older", SkinSeed( ToolSkinForm::Older ) } );
	seeds.push_back( { "geometry-native-lists", NativeGeometrySeed( false ) } );
	seeds.push_back( { "geometry-native-strip", NativeGeometrySeed( true ) } );
	seeds.push_back( { "world-native-sector", NativeWorldSeed() } );
}
