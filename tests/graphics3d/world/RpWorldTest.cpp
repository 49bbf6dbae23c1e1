#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorld.h"

#include "RpWorldTestScenes.h"
#include "../pipeline/RxTestNodes.h"

#include <gtest/gtest.h>

namespace {

class RpWorldTest : public RpWorldSceneTest {};

// Four vertices of a unit square split in two triangles, material 0.
ToolAtomicSector Square( const f32 x ) {
	ToolAtomicSector sector;
	sector.positions = { x, 0.0f, 0.0f, x + 1.0f, 0.0f, 0.0f, x + 1.0f, 1.0f, 0.0f, x, 1.0f, 0.0f };
	sector.triangles = { { 0, 0, 1, 2 }, { 0, 0, 2, 3 } };
	sector.tightBox = { x, 0.0f, 0.0f, x + 1.0f, 1.0f, 0.0f };
	return sector;
}

// Two squares apart on x under one plane at x = 0.5, with separate left
// and right values.
ToolWorld TwoSquares( const u32 version ) {
	ToolWorld world;
	world.version = version;
	world.format = 0x02 | TOOL_WORLD_SECTORS_OVERLAP;
	world.box = { 10.0f, 10.0f, 10.0f, -10.0f, -10.0f, -10.0f };
	world.materials = ToolWorldWriter::PlainMaterials( 1 );
	world.sectors = { Square( -2.0f ), Square( 2.0f ) };
	world.planes = { { 0, 0.5f, { true, 0 }, { true, 1 }, 1.5f, -0.5f, 0 } };
	world.root = { false, 0 };
	return world;
}

void Append( std::vector<u8>& bytes, const std::initializer_list<u32> words ) {
	for ( const u32 word : words ) {
		for ( u32 i = 0; i < 4; i++ ) {
			bytes.push_back( static_cast<u8>( word >> ( 8 * i ) ) );
		}
	}
}

// A world of one atomic sector with three vertices, written word by word.
std::vector<u8> OneSectorFixture() {
	const u32 s = ToolChunkWriter::EncodeStamp( 0x34003, 0xFFFF );
	std::vector<u8> bytes;
	Append( bytes, { 0x0B, 232, s } );
	Append( bytes, { 0x01, 64, s, 1, 0x3F800000, 0x40000000, 0x40400000, 0, 3, 0, 1, 0, 0x02, 0x40800000, 0x40A00000,
					 0x40C00000, 0xC0800000, 0xC0A00000, 0xC0C00000 } );
	Append( bytes, { 0x08, 16, s, 0x01, 4, s, 0 } );
	Append( bytes, { 0x09, 104, s, 0x01, 44, s, 0, 0, 3, 0, 0, 0, 0x3F800000, 0x3F800000, 0, 0, 0 } );
	Append( bytes, { 0, 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0x3F800000, 0, 0x03, 0, s } );
	Append( bytes, { 0x03, 0, s } );
	return bytes;
}

TEST_F( RpWorldTest, ReadsAOneSectorWorldFromAPinnedChunk ) {
	RpWorld* const world = RpWorldStreamRead( OpenAt( OneSectorFixture(), 0x0B ) );
	ASSERT_NE( world, nullptr );
	EXPECT_EQ( world->object.privateFlags & rpWORLDSINGLEMALLOC, rpWORLDSINGLEMALLOC );
	EXPECT_EQ( world->renderOrder, 2 );
	EXPECT_EQ( world->worldOrigin.x, -1.0f );
	EXPECT_EQ( world->worldOrigin.z, -3.0f );
	EXPECT_EQ( world->boundingBox.sup.y, 5.0f );
	EXPECT_EQ( world->boundingBox.inf.z, -6.0f );
	const std::vector<RpWorldSector*> sectors = RpTestSectors( world );
	ASSERT_EQ( sectors.size(), 1u );
	const RpWorldSector* const sector = sectors[0];
	EXPECT_EQ( sector->numVertices, 3 );
	EXPECT_EQ( sector->vertices[2].x, 1.0f );
	EXPECT_EQ( sector->vertices[2].y, 1.0f );
	EXPECT_EQ( sector->tightBoundingBox.sup.x, 1.0f );
	EXPECT_EQ( sector->boundingBox.inf.x, -4.0f );
	EXPECT_EQ( RpWorldSectorGetWorld( sector ), world );
	// An empty sector renders nothing and succeeds.
	RwEngineInstance->currentWorld = world;
	EXPECT_EQ( RpWorldSectorRender( sectors[0] ), sectors[0] );
	RwEngineInstance->currentWorld = nullptr;
	RpWorldDestroy( world );
	EXPECT_EQ( RpWorldSectorGetWorld( sector ), nullptr );
}

TEST_F( RpWorldTest, ReadsSectorsBoxesAndPlaneValuesByVersionAndFormat ) {
	const struct {
		u32		version;
		bool	overlap;
		f32		boxSupX;		// struct box only from 0x34003
		f32		leftValue;
	} rows[] = {
		{ 0x34003, true, 10.0f, 1.5f },
		{ 0x34002, true, 3.0f, 1.5f },
		{ 0x34001, false, 3.0f, 0.5f },
		{ 0x33000, true, 3.0f, 1.5f },		// old struct: surface floats, no box
	};
	for ( const auto& row : rows ) {
		ToolWorld stored = TwoSquares( row.version );
		if ( !row.overlap ) {
			stored.format &= ~TOOL_WORLD_SECTORS_OVERLAP;
		}
		RpWorld* const world = ReadWorld( stored );
		ASSERT_NE( world, nullptr ) << std::hex << row.version;
		EXPECT_EQ( world->boundingBox.sup.x, row.boxSupX ) << std::hex << row.version;
		const RpPlaneSector* const plane = reinterpret_cast<const RpPlaneSector*>( world->rootSector );
		EXPECT_EQ( plane->leftValue, row.leftValue );
		EXPECT_EQ( plane->rightValue, row.overlap ? -0.5f : 0.5f );
		const std::vector<RpWorldSector*> sectors = RpTestSectors( world );
		ASSERT_EQ( sectors.size(), 2u );
		// Left before right; sector boxes cut by the plane's values.
		EXPECT_EQ( sectors[0]->vertices[0].x, -2.0f );
		EXPECT_EQ( sectors[0]->boundingBox.sup.x, row.leftValue );
		EXPECT_EQ( sectors[1]->boundingBox.inf.x, plane->rightValue );
		EXPECT_NE( sectors[0]->mesh, nullptr );
		EXPECT_EQ( sectors[0]->mesh->totalIndicesInMesh, 6u );
		RpWorldDestroy( world );
	}
}

TEST_F( RpWorldTest, DecodesNarrowTrianglesBeforeTheirVersionAndWideOnesFrom ) {
	const std::vector<u8> bytes = { 1, 2, 3, 4, 5, 6, 7, 8 };
	const struct {
		u32		version;
		u16		expected[2][4];
	} rows[] = {
		{ 0x303FF, { { 1, 2, 3, 4 }, { 5, 6, 7, 8 } } },
		{ 0x30400, { { 0x0201, 0x0403, 0x0605, 0x0807 }, { 0, 0, 0, 0 } } },
	};
	for ( const auto& row : rows ) {
		RpSectorTriangle triangles[2] = {};
		RpWorldSector sector = {};
		sector.triangles = triangles;
		sector.numTriangles = row.version < 0x30400 ? 2 : 1;
		held.push_back( bytes );
		RwStream* const stream = RwTestOpenRead( held.back() );
		streams.push_back( stream );
		ASSERT_TRUE( _rpWorldSectorReadTriangles( stream, &sector, row.version ) );
		for ( u32 t = 0; t < sector.numTriangles; t++ ) {
			EXPECT_EQ( triangles[t].matIndex, row.expected[t][0] );
			for ( u32 k = 0; k < 3; k++ ) {
				EXPECT_EQ( triangles[t].vertIndex[k], row.expected[t][1 + k] );
			}
		}
	}
}

TEST_F( RpWorldTest, RefusesMalformedWorldsLeavingNothingAllocated ) {
	auto chain = []( const u32 depth ) {
		ToolWorld world = TwoSquares( 0x34003 );
		world.sectors = { Square( 0.0f ) };
		world.planes.clear();
		for ( u32 i = 0; i < depth; i++ ) {
			const ToolSectorRef next = i + 1 < depth ? ToolSectorRef{ false, i + 1 } : ToolSectorRef{ true, 0 };
			world.planes.push_back( { 0, 100.0f, next, { true, 0 }, 100.0f, 100.0f, 0 } );
		}
		world.storedSectors = static_cast<s32>( depth + 1 );
		world.storedTriangles = static_cast<s32>( 2 * ( depth + 1 ) );
		world.storedVertices = static_cast<s32>( 4 * ( depth + 1 ) );
		return world;
	};
	struct Row {
		const char*					what;
		std::function<void( ToolWorld& )>	spoil;
		u32							code;
	};
	const Row rows[] = {
		{ "negative vertex count", []( ToolWorld& w ) { w.storedVertices = -1; }, 0x8000001A },
		{ "vertices past the total", []( ToolWorld& w ) { w.storedVertices = 7; }, 0x8000001A },
		{ "triangles past the total", []( ToolWorld& w ) { w.storedTriangles = 3; }, 0x8000001A },
		{ "more sectors than counted", []( ToolWorld& w ) { w.storedSectors = 1; }, 0x8000001A },
		{ "more planes than counted", []( ToolWorld& w ) { w.storedPlanes = 0; }, 0x8000001A },
		{ "plane type 12", []( ToolWorld& w ) { w.planes[0].type = 12; }, 0x8000001A },
		{ "nine texture sets", []( ToolWorld& w ) { w.format |= 9u << 16; }, 0x8000001A },
		{ "vertex index past the sector's", []( ToolWorld& w ) { w.sectors[1].triangles[1][3] = 4; }, 0x8000001A },
		{ "material past the list", []( ToolWorld& w ) { w.sectors[0].windowBase = 1; }, 0x8000001A },
		{ "sector counts past 16 bits", []( ToolWorld& w ) { w.sectors[0].storedVertices = 70000; }, 0x8000001A },
		{ "a million sectors in a small stream", []( ToolWorld& w ) { w.storedSectors = 1000000; }, 0x8000001A },
		{ "a collision sector size", []( ToolWorld& w ) { w.collSectorSize = 4; }, 0x80000004 },
		{ "a bad collision tree in a sector",
		  []( ToolWorld& w ) {
			  ToolCollisionTree tree;
			  tree.leaves = { { 5, 0 } };
			  tree.map = { 0, 1 };
			  w.sectors[1].extension.push_back( { TOOL_COLLISION_PLUGIN, ToolCollisionTreeBuilder::Payload( tree ) } );
		  },
		  0x8000001A },
		{ "64 planes on one path", [&]( ToolWorld& w ) { w = chain( 64 ); }, 0x8000001A },
	};
	// 63 planes on a path are accepted.
	RpWorld* const deep = ReadWorld( chain( 63 ) );
	ASSERT_NE( deep, nullptr );
	RpWorldDestroy( deep );
	for ( const Row& row : rows ) {
		ToolWorld world = TwoSquares( 0x34003 );
		row.spoil( world );
		const std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolWorldWriter::Write( w, world ); } );
		RwStream* const stream = OpenAt( bytes, TOOL_CHUNK_WORLD );
		const s64 before = TestArenaUse();
		EXPECT_EQ( RpWorldStreamRead( stream ), nullptr ) << row.what;
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, 0u ) << row.what;
		EXPECT_EQ( error.errorCode, row.code ) << row.what;
		EXPECT_EQ( TestArenaUse(), before ) << row.what;
		EXPECT_EQ( RpTestAlive::materials, 0 ) << row.what;
	}
	// A cut stream fails at every length.
	const std::vector<u8> whole = RpTestBytes( [&]( ToolChunkWriter& w ) { ToolWorldWriter::Write( w, TwoSquares( 0x34003 ) ); } );
	for ( size_t length = 12; length < whole.size(); length += 7 ) {
		std::vector<u8> cut( whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>( length ) );
		held.push_back( cut );
		RwStream* const stream = RwTestOpenRead( held.back() );
		streams.push_back( stream );
		const s64 before = TestArenaUse();
		if ( RwStreamFindChunk( stream, TOOL_CHUNK_WORLD, nullptr, nullptr ) ) {
			EXPECT_EQ( RpWorldStreamRead( stream ), nullptr ) << length;
		}
		RwTestReadError();
		EXPECT_EQ( TestArenaUse(), before ) << length;
	}
}

TEST_F( RpWorldTest, StructsLongerThanTheirFieldsAreSkippedPast ) {
	ToolWorld stored = TwoSquares( 0x34003 );
	stored.extraStructBytes = 12;
	stored.planes[0].extraStructBytes = 8;
	stored.sectors[1].extraStructBytes = 4;
	RpWorld* const world = ReadWorld( stored );
	ASSERT_NE( world, nullptr );
	EXPECT_EQ( RpTestSectors( world )[1]->vertices[0].x, 2.0f );
	RpWorldDestroy( world );
}

TEST_F( RpWorldTest, ACreatedWorldHasOneSectorWithItsBoxAndIsFoundBySector ) {
	const RwBBox box = { { 1.0f, 2.0f, 3.0f }, { -1.0f, -2.0f, -3.0f } };
	RpWorld* const world = RpWorldCreate( &box );
	ASSERT_NE( world, nullptr );
	EXPECT_EQ( world->object.privateFlags, 0 );
	EXPECT_EQ( world->renderOrder, 2 );
	const std::vector<RpWorldSector*> sectors = RpTestSectors( world );
	ASSERT_EQ( sectors.size(), 1u );
	EXPECT_EQ( sectors[0]->boundingBox.sup.z, 3.0f );
	EXPECT_EQ( sectors[0]->tightBoundingBox.inf.y, -2.0f );
	EXPECT_EQ( RpWorldSectorGetWorld( sectors[0] ), world );
	RpWorldDestroy( world );
}

TEST_F( RpWorldTest, TheSectorPipelineIsTheSectorsElseTheWorldsElseTheDefault ) {
	RxTestDefinition node( "Record", 0, {} );
	auto make = [&]() {
		return RxLockedPipeUnlock( RxLockedPipeAddFragment( RxPipelineLock( RxPipelineCreate() ), nullptr, node.Get() ) );
	};
	RxPipeline* const own = make();
	RxPipeline* const worlds = make();
	RxPipeline* const fallback = make();
	RpWorld* const world = ReadWorld( TwoSquares( 0x34003 ) );
	ASSERT_NE( world, nullptr );
	RpWorldSector* const sector = RpTestSectors( world )[0];
	RwEngineInstance->currentWorld = world;
	RxPipeline* const before = _rxPipelineGetDefaultWorldSectorPipeline();
	EXPECT_EQ( RpWorldSetDefaultSectorPipeline( fallback ), fallback );
	const struct {
		RxPipeline*		sectorPipeline;
		RxPipeline*		worldPipeline;
	} rows[] = { { own, worlds }, { nullptr, worlds }, { nullptr, nullptr } };
	for ( const auto& row : rows ) {
		sector->pipeline = row.sectorPipeline;
		world->pipeline = row.worldPipeline;
		rxTestBodyData = nullptr;
		EXPECT_EQ( RpWorldSectorRender( sector ), sector );
		EXPECT_EQ( rxTestBodyData, sector );
	}
	// Null selects the platform's pipeline (none here).
	EXPECT_EQ( RpWorldSetDefaultSectorPipeline( nullptr ), _rxPipelineGetPlatformWorldSectorPipeline() );
	EXPECT_EQ( RpWorldSectorRender( sector ), nullptr );
	_rxPipelineSetDefaultWorldSectorPipeline( before );
	RwEngineInstance->currentWorld = nullptr;
	// Outside a camera update the world render visits nothing.
	rxTestBodyData = nullptr;
	EXPECT_EQ( RpWorldRender( world ), world );
	EXPECT_EQ( rxTestBodyData, nullptr );
	RpWorldDestroy( world );
	for ( RxPipeline* pipeline : { own, worlds, fallback } ) {
		_rxPipelineDestroy( pipeline );
	}
}

TEST_F( RpWorldTest, WalksStopAtTheFirstNullAndLightsComeGlobalFirst ) {
	RpWorld* const world = ReadWorld( TwoSquares( 0x34003 ) );
	ASSERT_NE( world, nullptr );
	u32 visits = 0;
	RpWorldForAllWorldSectors(
		world, []( RpWorldSector*, void* data ) -> RpWorldSector* {
			( *static_cast<u32*>( data ) )++;
			return nullptr;
		},
		&visits );
	EXPECT_EQ( visits, 1u );
	RpLight* const local = RpLightCreate( rpLIGHTPOINT );
	RpLight* const global = RpLightCreate( rpLIGHTDIRECTIONAL );
	RpWorldAddLight( world, local );
	RpWorldAddLight( world, global );
	std::vector<RpLight*> order;
	RpWorldForAllLights(
		world,
		[]( RpLight* light, void* data ) {
			static_cast<std::vector<RpLight*>*>( data )->push_back( light );
			return light;
		},
		&order );
	EXPECT_EQ( order, ( std::vector<RpLight*>{ global, local } ) );
	// The walk fetches the next light first: the callback may destroy.
	RpWorldForAllLights(
		world,
		[]( RpLight* light, void* ) {
			RpLightDestroy( light );
			return light;
		},
		nullptr );
	EXPECT_TRUE( rwLinkListEmpty( &world->lightList ) );
	EXPECT_TRUE( rwLinkListEmpty( &world->directionalLightList ) );
	RpWorldDestroy( world );
}

}	// namespace
