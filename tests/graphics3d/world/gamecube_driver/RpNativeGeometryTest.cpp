// Native geometry: an instance written and read back draws as before from
// a block of its own; malformed chunks are refused with nothing left
// allocated and nothing waited for; a failed write leaves the instance
// drawable.
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/gamecube/RpNativeGeometry.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/gamecube/RxGCInstance.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorld.h"
#include "tools/lib/graphics3d/ToolBinMeshWriter.h"
#include "tools/lib/graphics3d/ToolGeometryWriter.h"
#include "tools/lib/graphics3d/ToolNativeGeometryWriter.h"
#include "tools/lib/graphics3d/ToolWorldWriter.h"

#include "datatypes/base/DTByteOrder.h"

#include "RpGameCubeTestCase.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <list>
#include <vector>

namespace {

constexpr u32 FORMAT = 0x02 | 0x04 | 0x08 | 0x10;	// positions, one texture set, colours, normals
constexpr u32 NATIVE = 0x01000000;
constexpr s32 VERTICES = 6;
constexpr u32 WORLD_CHUNK = 0x0B;
// Byte offsets in a written chunk: chunk header, the three counts, the
// header image and its array offsets, the records after it.
constexpr size_t STAMP_AT = 8;
constexpr size_t PLATFORM_AT = 12;
constexpr size_t H_AT = 16;
constexpr size_t D_AT = 20;
constexpr size_t IMAGE_AT = 24;
constexpr size_t POS_STRIDE_AT = IMAGE_AT + 6;
constexpr size_t POS_OFFSET_AT = IMAGE_AT + 24;
constexpr size_t RECORDS_AT = IMAGE_AT + RPNATIVE_HEADER_BYTES;

// A stream that keeps what is written and fails write number failAt.
struct FailingWrites {
	std::vector<u8> bytes;
	s32 writes = 0;
	s32 failAt = -1;

	static bool Write( void* data, const void* buffer, const u32 length ) {
		FailingWrites& self = *static_cast<FailingWrites*>( data );
		if ( self.writes++ == self.failAt ) {
			return false;
		}
		const u8* const p = static_cast<const u8*>( buffer );
		self.bytes.insert( self.bytes.end(), p, p + length );
		return true;
	}
	static int Close( void* ) { return 0; }
};

// A read stream over bytes that cannot tell how many are left.
struct OpaqueReads {
	std::vector<u8> bytes;
	size_t at = 0;

	static u32 Read( void* data, void* buffer, const u32 length ) {
		OpaqueReads& self = *static_cast<OpaqueReads*>( data );
		const size_t n = std::min<size_t>( length, self.bytes.size() - self.at );
		std::memcpy( buffer, self.bytes.data() + self.at, n );
		self.at += n;
		return static_cast<u32>( n );
	}
	static bool Skip( void* data, const u32 offset ) { return Read( data, std::vector<u8>( offset ).data(), offset ) == offset; }
	static int Close( void* ) { return 0; }
};

class RpNativeGeometryTest : public RpGameCubeTestCase {
protected:
	void TearDown() override {
		for ( RpAtomic* atomic : atomics ) {
			RpAtomicDestroy( atomic );
		}
		for ( RpGeometry* geometry : geometries ) {
			RpGeometryDestroy( geometry );
		}
		if ( material != nullptr ) {
			RpMaterialDestroy( material );
		}
		RwDlTestCase::TearDown();
	}

	// A fan of four triangles with positions, normals, colours and one
	// texture set, instanced by one draw.
	RpGeometry* Instanced() {
		RpGeometry* const geometry = RpGeometryCreate( VERTICES, VERTICES - 2, FORMAT );
		for ( s32 i = 0; i < VERTICES; i++ ) {
			const f32 f = static_cast<f32>( i );
			geometry->morphTarget[0].verts[i] = { f, 2.0f * f, -f };
			geometry->morphTarget[0].normals[i] = { 0.0f, 1.0f, 0.0f };
			geometry->preLitLum[i] = { static_cast<u8>( i ), 20, 30, 255 };
			geometry->texCoords[0][i] = { 0.25f * f, 1.0f - 0.125f * f };
		}
		for ( s32 t = 0; t < VERTICES - 2; t++ ) {
			geometry->triangles[t] = { { 0, static_cast<u16>( t + 1 ), static_cast<u16>( t + 2 ) }, 0 };
		}
		if ( material == nullptr ) {
			material = RpMaterialCreate();
		}
		_rpMaterialListAppendMaterial( &geometry->matList, material );
		EXPECT_EQ( RpGeometryUnlock( geometry ), geometry );
		EXPECT_NE( Drawn( geometry ).size(), 0u );
		EXPECT_NE( geometry->repEntry, nullptr );
		return geometry;
	}

	// Every vertex an atomic of the geometry draws, in order.
	std::vector<GXHostVertex> Drawn( RpGeometry* geometry ) {
		if ( std::find( geometries.begin(), geometries.end(), geometry ) == geometries.end() ) {
			geometries.push_back( geometry );
		}
		RpAtomic* const atomic = RpAtomicCreate();
		atomics.push_back( atomic );
		RpAtomicSetGeometry( atomic, geometry, 0 );
		GXHostClearLog();
		EXPECT_NE( RxPipelineExecute( _rxPipelineGetDefaultAtomicPipeline(), atomic, true ), nullptr );
		EXPECT_TRUE( GXHostFaults().empty() );
		std::vector<GXHostVertex> vertices;
		for ( const GXHostDraw& draw : GXHostCurrentFrame().draws ) {
			vertices.insert( vertices.end(), draw.vertices.begin(), draw.vertices.end() );
		}
		return vertices;
	}

	static std::vector<u8> Written( RwResEntry* entry, const RpMeshHeader* mesh ) {
		FailingWrites out;
		const RwStreamCustom custom = { FailingWrites::Close, nullptr, FailingWrites::Write, nullptr, &out, nullptr };
		RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMWRITE, &custom );
		EXPECT_EQ( _rpNativeWrite( stream, entry, nullptr, mesh->numMeshes, VERTICES ), stream );
		RwStreamClose( stream, nullptr );
		return out.bytes;
	}

	// A native geometry chunk with the meshes of mesh and the native entry.
	RpGeometry* ReadGeometry( const std::vector<u8>& native, const RpMeshHeader* mesh ) {
		std::vector<u32> counts;
		const RpMesh* const m = RpMeshHeaderGetMeshes( const_cast<RpMeshHeader*>( mesh ) );
		for ( u32 i = 0; i < mesh->numMeshes; i++ ) {
			counts.push_back( m[i].numIndices );
		}
		const bool strips = ( mesh->flags & TOOL_BIN_MESH_TRISTRIP ) != 0;
		return ReadGeometry( native, ToolNativeGeometryWriter::Meshes( strips, counts ), VERTICES, FORMAT );
	}

	RpGeometry* ReadGeometry( const std::vector<u8>& native, const std::vector<u8>& meshes, const s32 vertices,
							  const u32 format ) {
		ToolGeometry geometry;
		geometry.numVertices = vertices;
		geometry.format = NATIVE | format;
		geometry.materials = ToolWorldWriter::PlainMaterials( 1 );
		geometry.extension.push_back( { TOOL_PLUGIN_BIN_MESH, meshes } );
		geometry.extension.push_back( { TOOL_NATIVE_DATA_PLUGIN, native } );
		return ReadGeometry( geometry );
	}

	RpGeometry* ReadGeometry( const ToolGeometry& geometry ) {
		ToolChunkWriter writer;
		ToolGeometryWriter::Write( writer, geometry );
		RwStream* const stream = Open( writer, TOOL_CHUNK_GEOMETRY );
		RpGeometry* const read = RpGeometryStreamRead( stream );
		RwStreamClose( stream, nullptr );
		return read;
	}

	// A memory stream over the written bytes (kept by the test), inside
	// the chunk of the type given.
	RwStream* Open( ToolChunkWriter& writer, const u32 chunk ) {
		held.emplace_back();
		writer.Finish( held.back() );
		RwMemory memory = { held.back().data(), static_cast<u32>( held.back().size() ) };
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
		EXPECT_TRUE( RwStreamFindChunk( stream, chunk, nullptr, nullptr ) );
		return stream;
	}

	// Reads a native chunk for an owner with the meshes and flags given.
	void* ReadDirect( RwStream* stream, const std::vector<u8>& chunk, const RpMeshHeader* mesh, RwResEntry** entryRef ) {
		const RpNativeTarget target = { this, entryRef, mesh, VERTICES, nullptr, FORMAT };
		return _rpNativeRead( stream, target, static_cast<u32>( chunk.size() ), true );
	}

	RpMaterial*					material = nullptr;
	std::list<std::vector<u8>>	held;
	std::vector<RpAtomic*>		atomics;
	std::vector<RpGeometry*>	geometries;
};

bool SameVertices( const std::vector<GXHostVertex>& a, const std::vector<GXHostVertex>& b ) {
	if ( a.size() != b.size() ) {
		return false;
	}
	for ( size_t i = 0; i < a.size(); i++ ) {
		if ( std::memcmp( a[i].position, b[i].position, sizeof( a[i].position ) ) != 0 ||
			 std::memcmp( a[i].normal, b[i].normal, sizeof( a[i].normal ) ) != 0 ||
			 std::memcmp( &a[i].colour[0], &b[i].colour[0], sizeof( GXColor ) ) != 0 ||
			 std::memcmp( a[i].texCoord[0], b[i].texCoord[0], sizeof( a[i].texCoord[0] ) ) != 0 ) {
			return false;
		}
	}
	return true;
}

TEST_F( RpNativeGeometryTest, AWrittenInstanceReadsBackByteForByteIntoItsOwnBlockAndDrawsTheSame ) {
	RpGeometry* const original = Instanced();
	const std::vector<GXHostVertex> expected = Drawn( original );
	RwResEntry* const entry = original->repEntry;
	const u32 meshes = original->mesh->numMeshes;

	// Nothing for a geometry that is not native; the chunk once it is.
	EXPECT_EQ( _rpGeometryNativeSize( original ), 0 );
	const std::vector<u8> chunk = Written( entry, original->mesh );
	original->flags |= NATIVE;
	EXPECT_EQ( _rpGeometryNativeSize( original ), static_cast<s32>( chunk.size() ) );
	original->flags &= ~NATIVE;
	ASSERT_GT( chunk.size(), RECORDS_AT );
	const u32 headerBytes = DTReadLE32( &chunk[H_AT] );
	const u32 dataBytes = DTReadLE32( &chunk[D_AT] );
	EXPECT_EQ( DTReadLE32( &chunk[0] ), 1u );
	EXPECT_EQ( DTReadLE32( &chunk[4] ), chunk.size() - 12 );
	EXPECT_EQ( DTReadLE32( &chunk[PLATFORM_AT] ), RPNATIVE_PLATFORM );
	EXPECT_EQ( headerBytes, RPNATIVE_HEADER_BYTES + RPNATIVE_RECORD_BYTES * meshes );
	EXPECT_EQ( chunk.size(), 24u + headerBytes + dataBytes );

	RpGeometry* const copy = ReadGeometry( chunk, original->mesh );
	ASSERT_NE( copy, nullptr );
	RwResEntry* const read = copy->repEntry;
	ASSERT_NE( read, nullptr );
	EXPECT_EQ( read->owner, copy );
	EXPECT_EQ( read->link.next, nullptr );
	const RxGCInstanceHeader* const a = _rxGCInstanceHeader( entry );
	const RxGCInstanceHeader* const b = _rxGCInstanceHeader( read );
	EXPECT_EQ( b->drawToken, _RwDlTokenCurrent );
	EXPECT_EQ( b->indexType, a->indexType );
	EXPECT_EQ( b->posStride, a->posStride );
	EXPECT_EQ( b->texStride[0], a->texStride[0] );
	// Lists and arrays byte for byte, every address moved into the new block
	// at the same place.
	const u8* const baseA = _rpNativeDataBase( entry, meshes );
	const u8* const baseB = _rpNativeDataBase( read, meshes );
	EXPECT_EQ( std::memcmp( baseA, baseB, dataBytes ), 0 );
	const std::pair<const u8*, const u8*> addresses[] = {
		{ a->posArray, b->posArray }, { a->normArray, b->normArray }, { a->colorArray, b->colorArray },
		{ a->texArray[0], b->texArray[0] }, { _rxGCDisplayListRecords( entry )[0].list, _rxGCDisplayListRecords( read )[0].list } };
	for ( const auto& [from, to] : addresses ) {
		EXPECT_EQ( to - baseB, from - baseA );
		EXPECT_TRUE( to >= baseB && to < baseB + dataBytes );
	}
	EXPECT_EQ( b->texArray[1], nullptr );
	EXPECT_TRUE( SameVertices( Drawn( copy ), expected ) );

	// The original drew from its own instance all along.
	EXPECT_EQ( original->repEntry, entry );
	EXPECT_TRUE( SameVertices( Drawn( original ), expected ) );
}

TEST_F( RpNativeGeometryTest, MalformedChunksAreRefusedWithNothingAllocated ) {
	RpGeometry* const geometry = Instanced();
	const std::vector<u8> good = Written( geometry->repEntry, geometry->mesh );
	const u32 dataBytes = DTReadLE32( &good[D_AT] );
	const size_t dataAt = 24 + DTReadLE32( &good[H_AT] );
	const size_t listAt = dataAt + DTReadBE32( &good[RECORDS_AT + 4] );
	struct Case {
		const char* name;
		std::function<void( std::vector<u8>& )> edit;
		u32 error;
	} const cases[] = {
		{ "another platform", []( std::vector<u8>& c ) { DTWriteLE32( &c[PLATFORM_AT], 5 ); }, RWERR_NONE },
		{ "a newer version", []( std::vector<u8>& c ) { DTWriteLE32( &c[STAMP_AT], _rwStreamEncodeStamp( 0x34004, 0xFFFF ) ); },
		  RWERR_BAD_VERSION },
		{ "a header size beside the meshes", []( std::vector<u8>& c ) { DTWriteLE32( &c[H_AT], DTReadLE32( &c[H_AT] ) + 8 ); },
		  RWERR_READ },
		{ "a data size beside the payload", [&]( std::vector<u8>& c ) { DTWriteLE32( &c[D_AT], dataBytes - 32 ); }, RWERR_READ },
		{ "positions past the data", [&]( std::vector<u8>& c ) { DTWriteBE32( &c[POS_OFFSET_AT], dataBytes - 4 ); },
		  RWERR_READ },
		{ "a stride below a position", []( std::vector<u8>& c ) { c[POS_STRIDE_AT] = 4; }, RWERR_READ },
		{ "a list past the data", [&]( std::vector<u8>& c ) { DTWriteBE32( &c[RECORDS_AT], dataBytes ); }, RWERR_READ },
		{ "a list of the wrong primitive", [&]( std::vector<u8>& c ) { c[listAt] = 0x98; }, RWERR_READ },
		{ "a vertex index past the vertices", [&]( std::vector<u8>& c ) { c[listAt + 3] = VERTICES; }, RWERR_READ },
		{ "a list longer than its record", [&]( std::vector<u8>& c ) { c[listAt + 2] = 0xFF; }, RWERR_READ },
	};
	for ( const Case& test : cases ) {
		std::vector<u8> chunk = good;
		test.edit( chunk );
		const u32 live = RwDlTestMemory::live;
		RwMemory memory = { chunk.data(), static_cast<u32>( chunk.size() ) };
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
		RwResEntry* entry = nullptr;
		EXPECT_EQ( ReadDirect( stream, chunk, geometry->mesh, &entry ), nullptr ) << test.name;
		RwStreamClose( stream, nullptr );
		EXPECT_EQ( entry, nullptr ) << test.name;
		EXPECT_EQ( RwDlTestMemory::live, live ) << test.name;
		EXPECT_EQ( RwDlTestReadError().errorCode, test.error ) << test.name;
	}

	// The unedited chunk reads.
	RwMemory memory = { const_cast<u8*>( good.data() ), static_cast<u32>( good.size() ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	RwResEntry* entry = nullptr;
	EXPECT_EQ( ReadDirect( stream, good, geometry->mesh, &entry ), this );
	RwStreamClose( stream, nullptr );
	ASSERT_NE( entry, nullptr );
	EXPECT_EQ( entry->ownerRef, &entry );
	RwResourcesFreeResEntry( entry );
	EXPECT_EQ( entry, nullptr );
}

TEST_F( RpNativeGeometryTest, AChunkCutInsideItsDataLeavesNoInstanceToWaitFor ) {
	RpGeometry* const geometry = Instanced();
	const std::vector<u8> good = Written( geometry->repEntry, geometry->mesh );
	OpaqueReads in = { std::vector<u8>( good.begin(), good.end() - 40 ) };
	const RwStreamCustom custom = { OpaqueReads::Close, OpaqueReads::Read, nullptr, OpaqueReads::Skip, &in, nullptr };
	RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMREAD, &custom );
	// With the processor held, any wait for a token would panic.
	GXHostStall();
	const u32 live = RwDlTestMemory::live;
	RwResEntry* entry = nullptr;
	EXPECT_EQ( ReadDirect( stream, good, geometry->mesh, &entry ), nullptr );
	RwStreamClose( stream, nullptr );
	EXPECT_EQ( entry, nullptr );
	EXPECT_EQ( RwDlTestMemory::live, live );
	GXHostResume();
}

TEST_F( RpNativeGeometryTest, AFailedWriteLeavesTheInstanceDrawable ) {
	RpGeometry* const geometry = Instanced();
	const std::vector<GXHostVertex> expected = Drawn( geometry );
	RwResEntry* const entry = geometry->repEntry;
	const RxGCInstanceHeader before = *_rxGCInstanceHeader( entry );
	const u8* const list = _rxGCDisplayListRecords( entry )[0].list;
	FailingWrites counted;
	{
		const RwStreamCustom custom = { FailingWrites::Close, nullptr, FailingWrites::Write, nullptr, &counted, nullptr };
		RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMWRITE, &custom );
		ASSERT_EQ( _rpNativeWrite( stream, entry, nullptr, geometry->mesh->numMeshes, VERTICES ), stream );
		RwStreamClose( stream, nullptr );
	}
	ASSERT_GE( counted.writes, 5 );
	for ( s32 failAt = 0; failAt < counted.writes; failAt++ ) {
		FailingWrites out;
		out.failAt = failAt;
		const RwStreamCustom custom = { FailingWrites::Close, nullptr, FailingWrites::Write, nullptr, &out, nullptr };
		RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMWRITE, &custom );
		EXPECT_EQ( _rpNativeWrite( stream, entry, nullptr, geometry->mesh->numMeshes, VERTICES ), nullptr ) << failAt;
		RwStreamClose( stream, nullptr );
		EXPECT_EQ( std::memcmp( &before, _rxGCInstanceHeader( entry ), sizeof( before ) ), 0 ) << failAt;
		EXPECT_EQ( _rxGCDisplayListRecords( entry )[0].list, list ) << failAt;
	}
	EXPECT_TRUE( SameVertices( Drawn( geometry ), expected ) );
	// An edit is still rewritten into the arrays the header points at.
	RpGeometryLock( geometry, 0x02 );
	geometry->morphTarget[0].verts[2].y = 50.0f;
	RpGeometryUnlock( geometry );
	const std::vector<GXHostVertex> edited = Drawn( geometry );
	EXPECT_TRUE( std::any_of( edited.begin(), edited.end(), []( const GXHostVertex& v ) { return v.position[1] == 50.0f; } ) );
}

TEST_F( RpNativeGeometryTest, EntriesTheToolsWriteDrawAsGeometriesAndLoadAsSectors ) {
	ToolNativeGeometry quad;
	quad.numVertices = 4;
	quad.positions = { 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0 };
	quad.colours = { 10, 0, 0, 255, 11, 0, 0, 255, 12, 0, 0, 255, 13, 0, 0, 255 };
	quad.meshes = { { 0, 1, 2, 0, 2, 3 } };
	const std::vector<u8> entry = ToolNativeGeometryWriter::Entry( quad );

	RpGeometry* const geometry = ReadGeometry( entry, ToolNativeGeometryWriter::Meshes( quad ), 4, 0x02 | 0x08 );
	ASSERT_NE( geometry, nullptr );
	const std::vector<GXHostVertex> drawn = Drawn( geometry );
	ASSERT_EQ( drawn.size(), 6u );
	const u32 corners[] = { 0, 1, 2, 0, 2, 3 };
	for ( size_t i = 0; i < drawn.size(); i++ ) {
		EXPECT_EQ( drawn[i].colour[0].r, 10 + corners[i] );
		EXPECT_EQ( drawn[i].position[0], quad.positions[3 * corners[i]] );
		EXPECT_EQ( drawn[i].position[1], quad.positions[3 * corners[i] + 1] );
	}
	// Drawn with normals it would index an array the entry lacks.
	EXPECT_EQ( ReadGeometry( entry, ToolNativeGeometryWriter::Meshes( quad ), 4, 0x02 | 0x08 | 0x10 ), nullptr );
	// A second native entry would orphan the first instance.
	ToolGeometry twice;
	twice.numVertices = 4;
	twice.format = NATIVE | 0x02 | 0x08;
	twice.materials = ToolWorldWriter::PlainMaterials( 1 );
	twice.extension = { { TOOL_PLUGIN_BIN_MESH, ToolNativeGeometryWriter::Meshes( quad ) },
						{ TOOL_NATIVE_DATA_PLUGIN, entry }, { TOOL_NATIVE_DATA_PLUGIN, entry } };
	EXPECT_EQ( ReadGeometry( twice ), nullptr );
	// New meshes after the instance would not match its lists.
	ToolGeometry late = twice;
	late.extension = { { TOOL_PLUGIN_BIN_MESH, ToolNativeGeometryWriter::Meshes( quad ) },
					   { TOOL_NATIVE_DATA_PLUGIN, entry },
					   { TOOL_PLUGIN_BIN_MESH, ToolNativeGeometryWriter::Meshes( false, { 3, 3 } ) } };
	EXPECT_EQ( ReadGeometry( late ), nullptr );

	// A native world's sector takes the entry as its instance.
	ToolChunkWriter writer;
	ToolWorldWriter::Write( writer, ToolNativeGeometryWriter::World( quad, NATIVE | 0x02 | 0x08, 10.0f ) );
	RwStream* const stream = Open( writer, WORLD_CHUNK );
	RpWorld* const read = RpWorldStreamRead( stream );
	RwStreamClose( stream, nullptr );
	ASSERT_NE( read, nullptr ) << std::hex << RwDlTestReadError().errorCode;
	RpWorldSector* const atomicSector = reinterpret_cast<RpWorldSector*>( read->rootSector );
	ASSERT_NE( atomicSector->repEntry, nullptr );
	const RxGCInstanceHeader* const header = _rxGCInstanceHeader( atomicSector->repEntry );
	EXPECT_EQ( DTReadBEF32( header->posArray + 12 * 2 + 4 ), 1.0f );
	EXPECT_EQ( header->colorArray[4 * 3], 13 );
	RpWorldDestroy( read );
}

}	// namespace
