#include "graphics3d/world/RpBinMesh.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpMesh.h"
#include "support/TestHexBytes.h"
#include "tools/lib/graphics3d/ToolBinMeshWriter.h"
#include "RpMeshTestInputs.h"
#include "RpWorldTestSupport.h"

#include <algorithm>

namespace {

// Every write a custom stream received, by length.
struct WriteLog {
	std::vector<u8>		bytes;
	std::vector<u32>	lengths;

	static bool Write( void* data, const void* buffer, const u32 length ) {
		WriteLog* const log = static_cast<WriteLog*>( data );
		log->lengths.push_back( length );
		log->bytes.insert( log->bytes.end(), static_cast<const u8*>( buffer ), static_cast<const u8*>( buffer ) + length );
		return true;
	}
	static s32 Close( void* ) { return 0; }
};

class RpBinMeshTest : public RpWorldTestCase {
protected:
	void SetUp() override {
		RpWorldTestCase::SetUp();
		_rpMaterialListInitialize( &twoMaterials );
		_rpMaterialListInitialize( &noMaterials );
		for ( RpMaterial*& material : materials ) {
			material = RpMaterialCreate();
			_rpMaterialListAppendMaterial( &twoMaterials, material );
			RpMaterialDestroy( material );
		}
	}

	void TearDown() override {
		_rpMaterialListDeinitialize( &twoMaterials );
		EXPECT_EQ( RpTestAlive::materials, 0 );
		RpWorldTestCase::TearDown();
	}

	// Reads the entry; the length is the payload's unless given.
	RpMeshHeader* Read( const ToolBinMesh& entry, const bool native, const u32 numVertices, const RpMaterialList* list,
						const s32 length = -1 ) {
		const std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolBinMeshWriter::WriteEntry( w, entry ); } );
		const s32 payload = static_cast<s32>( bytes.size() ) - 12;
		return _rpBinMeshRead( OpenAt( bytes, rwID_BINMESHPLUGIN ), length >= 0 ? length : payload, native, numVertices, list );
	}

	// What the library writes, through a stream that logs each write.
	WriteLog Write( const RpMeshHeader* header, const bool native, const RpMaterialList* list ) {
		WriteLog log;
		const RwStreamCustom custom = { WriteLog::Close, nullptr, WriteLog::Write, nullptr, &log, nullptr };
		RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMWRITE, &custom );
		EXPECT_EQ( _rpBinMeshWrite( header, stream, native, list ), stream );
		RwStreamClose( stream, nullptr );
		return log;
	}

	RpMeshHeader* Built( const std::vector<RpTestTriangle>& triangles, const u32 flags ) {
		RpBuildMesh* const buildMesh = _rpBuildMeshCreate( static_cast<u32>( triangles.size() ) );
		for ( const RpTestTriangle& t : triangles ) {
			_rpBuildMeshAddTriangle( buildMesh, t.material >= 0 ? materials[t.material] : nullptr, t.v[0], t.v[1], t.v[2] );
		}
		return _rpMeshOptimise( buildMesh, flags );
	}

	RpMaterial*		materials[2] = {};
	RpMaterialList	twoMaterials;
	RpMaterialList	noMaterials;
};

TEST_F( RpBinMeshTest, ReadsAPinnedEntryByteForByte ) {
	// Strips, one mesh of material 1 with indices 0 1 2 3.
	const std::vector<u8> payload = HexBytes(
		"01000000 01000000 04000000"
		"04000000 01000000"
		"00000000 01000000 02000000 03000000" );
	ToolBinMesh entry;
	entry.flags = TOOL_BIN_MESH_TRISTRIP;
	entry.meshes = { { { 0, 1, 2, 3 }, 1, {} } };
	std::vector<u8> written = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolBinMeshWriter::WriteEntry( w, entry ); } );
	EXPECT_EQ( std::vector<u8>( written.begin() + 12, written.end() ), payload );
	RpMeshHeader* const header = Read( entry, false, 4, &twoMaterials );
	ASSERT_NE( header, nullptr );
	EXPECT_EQ( header->flags, rpMESHHEADERTRISTRIP );
	EXPECT_EQ( header->totalIndicesInMesh, 4u );
	const RpMesh* const mesh = RpMeshHeaderGetMeshes( header );
	EXPECT_EQ( mesh->material, materials[1] );
	EXPECT_EQ( std::vector<u16>( mesh->indices, mesh->indices + mesh->numIndices ), ( std::vector<u16>{ 0, 1, 2, 3 } ) );
	EXPECT_EQ( Write( header, false, &twoMaterials ).bytes, payload );
	_rpMeshDestroy( header );
}

TEST_F( RpBinMeshTest, MeshesRoundTripThroughTheEntry ) {
	struct Case {
		const char*					name;
		std::vector<RpTestTriangle>	triangles;
		u32							flags;
		bool						native;
	};
	const Case cases[] = {
		{ "strips of two materials", RpTestGrid( 6, 5, false, 2 ), rpMESHOPTIMISETRISTRIP, false },
		{ "lists of two materials", RpTestGrid( 6, 5, false, 2 ), 0, false },
		{ "native owner: counts without indices", RpTestGrid( 6, 5, false, 2 ), rpMESHOPTIMISETRISTRIP, true },
		{ "lists of more than 256 indices", RpTestGrid( 20, 20 ), 0, false },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RpMeshHeader* const header = Built( c.triangles, c.flags );
		const WriteLog log = Write( header, c.native, &twoMaterials );
		EXPECT_EQ( static_cast<s32>( log.bytes.size() ), _rpBinMeshSize( header, c.native ) );
		EXPECT_LE( *std::max_element( log.lengths.begin(), log.lengths.end() ), 256u * 4 );
		std::vector<u8> chunk = RwTestHeader( rwID_BINMESHPLUGIN, static_cast<u32>( log.bytes.size() ) );
		chunk.insert( chunk.end(), log.bytes.begin(), log.bytes.end() );
		RpMeshHeader* const read = _rpBinMeshRead( OpenAt( chunk, rwID_BINMESHPLUGIN ), static_cast<s32>( log.bytes.size() ),
												   c.native, 1000, &twoMaterials );
		ASSERT_NE( read, nullptr );
		EXPECT_EQ( read->flags, header->flags );
		EXPECT_EQ( read->totalIndicesInMesh, header->totalIndicesInMesh );
		EXPECT_NE( read->serialNum, header->serialNum );
		ASSERT_EQ( read->numMeshes, header->numMeshes );
		for ( u32 m = 0; m < header->numMeshes; m++ ) {
			const RpMesh& in = RpMeshHeaderGetMeshes( header )[m];
			const RpMesh& out = RpMeshHeaderGetMeshes( read )[m];
			EXPECT_EQ( out.material, in.material );
			EXPECT_EQ( out.numIndices, in.numIndices );
			if ( c.native ) {
				EXPECT_EQ( out.indices, nullptr );
			} else {
				EXPECT_TRUE( std::equal( in.indices, in.indices + in.numIndices, out.indices ) );
			}
		}
		_rpMeshDestroy( read );
		_rpMeshDestroy( header );
	}
}

TEST_F( RpBinMeshTest, AMeshWithoutMaterialRoundTripsOnAnEmptyList ) {
	RpMeshHeader* const header = Built( { { { 0, 1, 2 }, -1 }, { { 2, 1, 3 }, -1 } }, 0 );
	const WriteLog log = Write( header, false, &noMaterials );
	std::vector<u8> chunk = RwTestHeader( rwID_BINMESHPLUGIN, static_cast<u32>( log.bytes.size() ) );
	chunk.insert( chunk.end(), log.bytes.begin(), log.bytes.end() );
	const s32 length = static_cast<s32>( log.bytes.size() );
	RpMeshHeader* const onEmpty = _rpBinMeshRead( OpenAt( chunk, rwID_BINMESHPLUGIN ), length, false, 4, &noMaterials );
	RpMeshHeader* const onTwo = _rpBinMeshRead( OpenAt( chunk, rwID_BINMESHPLUGIN ), length, false, 4, &twoMaterials );
	ASSERT_NE( onEmpty, nullptr );
	ASSERT_NE( onTwo, nullptr );
	EXPECT_EQ( RpMeshHeaderGetMeshes( onEmpty )->material, nullptr );
	EXPECT_EQ( RpMeshHeaderGetMeshes( onTwo )->material, materials[0] );
	_rpMeshDestroy( onEmpty );
	_rpMeshDestroy( onTwo );
	_rpMeshDestroy( header );
}

TEST_F( RpBinMeshTest, EntriesWhoseCountsDisagreeFail ) {
	struct Case {
		const char*		name;
		ToolBinMesh		entry;
		bool			native;
		u32				numVertices;
		bool			emptyList;
		s32				lengthChange;		// added to the payload's length
		bool			read;
		u32				cut = 0;			// bytes missing at the end of the stream
	};
	const ToolBinMeshMesh six = { { 0, 1, 2, 3, 4, 5 }, 0, {} };
	const ToolBinMeshMesh three = { { 0, 1, 2 }, 1, {} };
	const Case cases[] = {
		{ "well formed", { 0, { six, three }, false, {} }, false, 6, false, 0, true },
		{ "entry longer than its counts", { 0, { six, three }, false, {} }, false, 6, false, 4, false },
		{ "entry shorter than its counts", { 0, { six, three }, false, {} }, false, 6, false, -4, false },
		{ "mesh counts above the total", { 0, { six, three }, false, 6 }, false, 6, false, -12, false },
		{ "mesh counts below the total", { 0, { six, three }, false, 10 }, false, 6, false, 4, false },
		{ "index at the vertex count", { 0, { six, three }, false, {} }, false, 5, false, 0, false },
		{ "material index past the list", { 0, { six, { { 0, 1, 2 }, 2, {} } }, false, {} }, false, 6, false, 0, false },
		{ "negative material index", { 0, { six, { { 0, 1, 2 }, -1, {} } }, false, {} }, false, 6, false, 0, false },
		{ "material index 1 of an empty list", { 0, { { { 0, 1, 2 }, 1, {} } }, false, {} }, false, 6, true, 0, false },
		{ "material index 0 of an empty list", { 0, { { { 0, 1, 2 }, 0, {} } }, false, {} }, false, 6, true, 0, true },
		{ "native counts need not add up", { 0, { six, three }, true, 4 }, true, 6, false, 0, true },
		{ "native entry with indices stored", { 0, { six, three }, false, {} }, true, 6, false, 0, false },
		{ "stream ends inside the indices", { 0, { six, three }, false, {} }, false, 6, false, 0, false, 8 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		const RpMaterialList* const list = c.emptyList ? &noMaterials : &twoMaterials;
		std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolBinMeshWriter::WriteEntry( w, c.entry ); } );
		const s32 length = static_cast<s32>( bytes.size() ) - 12 + c.lengthChange;
		bytes.resize( bytes.size() - c.cut );
		RpMeshHeader* const header = _rpBinMeshRead( OpenAt( bytes, rwID_BINMESHPLUGIN ), length, c.native, c.numVertices, list );
		EXPECT_EQ( header != nullptr, c.read );
		if ( header != nullptr ) {
			_rpMeshDestroy( header );
			continue;
		}
		// A cut stream records the end of the stream first.
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, c.cut != 0 ? 1u : 0u );
		EXPECT_EQ( error.errorCode, c.cut != 0 ? 5u : 0x8000001Au );
	}
	// A mesh count past what a header holds fails before allocating.
	ToolBinMesh many;
	many.native = true;
	many.meshes.resize( 70000 );
	EXPECT_EQ( Read( many, true, 6, &twoMaterials ), nullptr );
	EXPECT_EQ( RwTestReadError().errorCode, 0x8000001Au );
}

}	// namespace
