#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpTriStripTesting.h"
#include "RpMeshTestInputs.h"
#include "RpWorldTestSupport.h"

namespace {

constexpr s32 NUM_SLOTS = 3;

class RpMeshTest : public RpWorldTestCase {
protected:
	void SetUp() override {
		RpWorldTestCase::SetUp();
		for ( RpMaterial*& material : slots ) {
			material = RpMaterialCreate();
		}
	}

	void TearDown() override {
		_rpTriStripUseListWalkPairing( false );
		for ( RpMaterial* material : slots ) {
			RpMaterialDestroy( material );
		}
		RpWorldTestCase::TearDown();
	}

	RpMaterial* Slot( const s32 slot ) const { return slot >= 0 ? slots[slot] : nullptr; }

	s32 SlotOf( const RpMaterial* material ) const {
		for ( s32 i = 0; i < NUM_SLOTS; i++ ) {
			if ( slots[i] == material ) {
				return i;
			}
		}
		return -1;
	}

	RpMeshHeader* Optimise( const std::vector<RpTestTriangle>& triangles, const u32 flags ) {
		RpBuildMesh* const buildMesh = _rpBuildMeshCreate( 0 );
		for ( const RpTestTriangle& t : triangles ) {
			EXPECT_NE( _rpBuildMeshAddTriangle( buildMesh, Slot( t.material ), t.v[0], t.v[1], t.v[2] ), nullptr );
		}
		RpMeshHeader* const header = _rpMeshOptimise( buildMesh, flags );
		EXPECT_NE( header, nullptr );
		return header;
	}

	// Each mesh's indices by material slot.
	std::map<s32, std::vector<u16>> MeshesBySlot( RpMeshHeader* header ) const {
		std::map<s32, std::vector<u16>> meshes;
		const RpMesh* const mesh = RpMeshHeaderGetMeshes( header );
		for ( u32 m = 0; m < header->numMeshes; m++ ) {
			EXPECT_EQ( meshes.count( SlotOf( mesh[m].material ) ), 0u ) << "one mesh per material";
			meshes[SlotOf( mesh[m].material )].assign( mesh[m].indices, mesh[m].indices + mesh[m].numIndices );
		}
		return meshes;
	}

	RpMaterial* slots[NUM_SLOTS] = {};
};

TEST_F( RpMeshTest, AnEmptyBuildMeshGivesTheSharedHeaderThatIsNeverFreed ) {
	EXPECT_EQ( _rpMeshOptimise( nullptr, 0 ), nullptr );
	for ( const u32 flags : { 0u, rpMESHOPTIMISETRISTRIP } ) {
		RpMeshHeader* const header = Optimise( {}, flags );
		ASSERT_NE( header, nullptr );
		EXPECT_EQ( header->flags, 0u );
		EXPECT_EQ( header->numMeshes, 0 );
		EXPECT_EQ( header->totalIndicesInMesh, 0u );
		_rpMeshDestroy( header );
		_rpMeshDestroy( header );
	}
	// A build mesh grows by exactly one triangle when full.
	RpBuildMesh* const buildMesh = _rpBuildMeshCreate( 2 );
	for ( u32 i = 0; i < 4; i++ ) {
		_rpBuildMeshAddTriangle( buildMesh, nullptr, 0, 1, 2 );
		EXPECT_EQ( buildMesh->triangleStorage, i < 2 ? 2 : i + 1 );
	}
	_rpBuildMeshDestroy( buildMesh );
}

TEST_F( RpMeshTest, SerialNumbersStartAtOneAndWrap ) {
	RpMeshHeader* const first = Optimise( { { { 0, 1, 2 }, 0 } }, 0 );
	RpMeshHeader* const second = Optimise( { { { 0, 1, 2 }, 0 } }, rpMESHOPTIMISETRISTRIP );
	EXPECT_EQ( first->serialNum, 1 );
	EXPECT_EQ( second->serialNum, 2 );
	_rpMeshGlobals()->nextSerialNum = 0xFFFF;
	EXPECT_EQ( _rpMeshGetNextSerialNumber(), 0xFFFF );
	EXPECT_EQ( _rpMeshGetNextSerialNumber(), 0 );
	_rpMeshDestroy( first );
	_rpMeshDestroy( second );
}

TEST_F( RpMeshTest, MeshesRunOpaqueFirstWithoutMaterialAheadAndTransparentLast ) {
	RwTexture* const alphaTexture = RwTextureCreate( RwRasterCreate( 2, 2, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 ) );
	RwTexture* const opaqueTexture = RwTextureCreate( RwRasterCreate( 2, 2, 16, rwRASTERTYPETEXTURE | rwRASTERFORMAT565 ) );
	ASSERT_EQ( alphaTexture->raster->cFormat & 0x0F, 5 );
	RpMaterial* const translucent = RpMaterialCreate();
	translucent->color.alpha = 254;
	RpMaterial* const alphaRaster = RpMaterialCreate();
	RpMaterialSetTexture( alphaRaster, alphaTexture );
	RpMaterialSetTexture( slots[2], opaqueTexture );
	RpMaterial* const order[] = { translucent, slots[0], alphaRaster, nullptr, slots[1], slots[2], nullptr, slots[0] };
	RpBuildMesh* const buildMesh = _rpBuildMeshCreate( 0 );
	for ( u16 i = 0; i < 8; i++ ) {
		_rpBuildMeshAddTriangle( buildMesh, order[i], 3 * i, 3 * i + 1, 3 * i + 2 );
	}
	RpMeshHeader* const header = _rpMeshOptimise( buildMesh, 0 );
	ASSERT_EQ( header->numMeshes, 6 );
	const RpMesh* const meshes = RpMeshHeaderGetMeshes( header );
	EXPECT_EQ( meshes[0].material, nullptr );
	EXPECT_EQ( meshes[0].numIndices, 6u );
	// Equal materials are one run, in the order the triangles came.
	EXPECT_EQ( std::vector<u16>( meshes[0].indices, meshes[0].indices + 6 ), ( std::vector<u16>{ 9, 10, 11, 18, 19, 20 } ) );
	for ( u32 m = 1; m < 4; m++ ) {
		EXPECT_TRUE( meshes[m].material == slots[0] || meshes[m].material == slots[1] || meshes[m].material == slots[2] );
	}
	for ( u32 m = 4; m < 6; m++ ) {
		EXPECT_TRUE( meshes[m].material == translucent || meshes[m].material == alphaRaster );
	}
	// Among opaque materials: by raster address first, then material address.
	EXPECT_EQ( meshes[3].material, slots[2] );
	EXPECT_EQ( meshes[1].material < meshes[2].material, true );
	EXPECT_EQ( header->totalIndicesInMesh, 24u );
	_rpMeshDestroy( header );
	RpMaterialDestroy( translucent );
	RpMaterialDestroy( alphaRaster );
	RwTextureDestroy( alphaTexture );
	RwTextureDestroy( opaqueTexture );
}

TEST_F( RpMeshTest, ListMeshesPlaceVertexDisjointGroupsInPasses ) {
	RpMeshHeader* const header =
		Optimise( { { { 0, 1, 2 }, 0 }, { { 0, 3, 4 }, 0 }, { { 5, 6, 7 }, 0 }, { { 4, 8, 9 }, 0 }, { { 10, 10, 11 }, 0 } }, 0 );
	EXPECT_EQ( header->flags, 0u );
	EXPECT_EQ( MeshesBySlot( header )[0], ( std::vector<u16>{ 0, 1, 2, 5, 6, 7, 4, 8, 9, 10, 10, 11, 0, 3, 4 } ) );
	_rpMeshDestroy( header );
}

TEST_F( RpMeshTest, StripsOfHandWorkedInputs ) {
	struct Case {
		const char*							name;
		std::vector<RpTestTriangle>			triangles;
		std::map<s32, std::vector<u16>>		strips;
	};
	const std::vector<RpTestTriangle> quadStrip = { { { 0, 2, 1 }, 0 }, { { 1, 2, 3 }, 0 }, { { 2, 4, 3 }, 0 },
													{ { 3, 4, 5 }, 0 }, { { 4, 6, 5 }, 0 }, { { 5, 6, 7 }, 0 },
													{ { 6, 8, 7 }, 0 }, { { 7, 8, 9 }, 0 } };
	const std::vector<RpTestTriangle> fan = { { { 0, 1, 2 }, 0 }, { { 0, 2, 3 }, 0 }, { { 0, 3, 4 }, 0 },
											  { { 0, 4, 5 }, 0 }, { { 0, 5, 6 }, 0 }, { { 0, 6, 1 }, 0 } };
	const Case cases[] = {
		{ "one triangle", { { { 4, 5, 6 }, 0 } }, { { 0, { 4, 5, 6 } } } },
		{ "neighbours across an edge run opposite ways", { { { 0, 1, 2 }, 0 }, { { 2, 1, 3 }, 0 } }, { { 0, { 3, 2, 1, 0 } } } },
		{ "an edge running the same way joins by the second-to-last index",
		  { { { 0, 1, 2 }, 0 }, { { 1, 2, 3 }, 0 } },
		  { { 0, { 0, 1, 2, 1, 1, 2, 3 } } } },
		{ "8-triangle quad strip", quadStrip,
		  { { 0, { 3, 1, 2, 0, 0, 5, 5, 3, 4, 2, 2, 7, 7, 5, 6, 4, 4, 9, 9, 7, 8, 6 } } } },
		{ "6-triangle closed fan", fan, { { 0, { 4, 5, 4, 0, 3, 0, 2, 0, 1, 0, 6, 5 } } } },
		{ "two materials", { { { 0, 1, 2 }, 0 }, { { 2, 1, 3 }, 1 }, { { 3, 1, 4 }, -1 } },
		  { { 0, { 0, 1, 2 } }, { 1, { 2, 1, 3 } }, { -1, { 3, 1, 4 } } } },
		{ "bridges at odd length", { { { 0, 1, 2 }, 0 }, { { 3, 4, 5 }, 0 }, { { 6, 7, 8 }, 0 } },
		  { { 0, { 0, 1, 2, 2, 3, 3, 3, 4, 5, 5, 6, 6, 6, 7, 8 } } } },
		{ "first index equal to the last at odd length", { { { 0, 1, 2 }, 0 }, { { 2, 5, 6 }, 0 } },
		  { { 0, { 0, 1, 2, 2, 2, 5, 6 } } } },
		{ "first index equal to the last at even length", { { { 0, 1, 2 }, 0 }, { { 2, 1, 3 }, 0 }, { { 0, 7, 8 }, 0 } },
		  { { 0, { 3, 2, 1, 0, 0, 7, 8 } } } },
		{ "first index equal to the second-to-last at even length",
		  { { { 0, 1, 2 }, 0 }, { { 2, 1, 3 }, 0 }, { { 1, 9, 10 }, 0 } },
		  { { 0, { 3, 2, 1, 0, 1, 1, 1, 9, 10 } } } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RpMeshHeader* const header = Optimise( c.triangles, rpMESHOPTIMISETRISTRIP );
		EXPECT_EQ( header->flags, rpMESHHEADERTRISTRIP );
		EXPECT_EQ( MeshesBySlot( header ), c.strips );
		u32 total = 0;
		for ( const auto& [slot, strip] : c.strips ) {
			total += static_cast<u32>( strip.size() );
		}
		EXPECT_EQ( header->totalIndicesInMesh, total );
		_rpMeshDestroy( header );
	}
}

TEST_F( RpMeshTest, StripsAndListsKeepEveryTriangleOfGeneratedInputs ) {
	for ( const RpTestInput& input : RpTestGeneratedInputs() ) {
		SCOPED_TRACE( input.name );
		const std::map<s32, std::vector<RpTestTri>> expected = RpTestExpected( input );
		RpMeshHeader* const strips = Optimise( input.triangles, rpMESHOPTIMISETRISTRIP );
		_rpTriStripUseListWalkPairing( true );
		RpMeshHeader* const walked = Optimise( input.triangles, rpMESHOPTIMISETRISTRIP );
		_rpTriStripUseListWalkPairing( false );
		RpMeshHeader* const lists = Optimise( input.triangles, 0 );
		const std::map<s32, std::vector<u16>> stripMeshes = MeshesBySlot( strips );
		std::map<s32, std::vector<RpTestTri>> decoded;
		for ( const auto& [slot, strip] : stripMeshes ) {
			std::vector<RpTestTri> triangles = RpTestDecodeStrip( strip );
			if ( !triangles.empty() ) {
				decoded[slot] = triangles;
			}
		}
		EXPECT_EQ( decoded, expected );
		EXPECT_EQ( MeshesBySlot( walked ), stripMeshes );
		// Lists hold every triangle, degenerate ones too, as given.
		std::map<s32, std::vector<RpTestTri>> listed;
		std::map<s32, std::vector<RpTestTri>> given;
		for ( const auto& [slot, indices] : MeshesBySlot( lists ) ) {
			for ( size_t i = 0; i < indices.size(); i += 3 ) {
				listed[slot].push_back( { indices[i], indices[i + 1], indices[i + 2] } );
			}
			std::sort( listed[slot].begin(), listed[slot].end() );
		}
		for ( const RpTestTriangle& t : input.triangles ) {
			given[t.material].push_back( t.v );
		}
		for ( auto& [slot, triangles] : given ) {
			std::sort( triangles.begin(), triangles.end() );
		}
		EXPECT_EQ( listed, given );
		_rpMeshDestroy( strips );
		_rpMeshDestroy( walked );
		_rpMeshDestroy( lists );
	}
}

}	// namespace
