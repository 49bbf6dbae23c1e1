// The default atomic pipeline: an atomic is instanced once, drawn from
// its display lists to its own triangles and vertices, reused while
// nothing changes, rewritten in place (one array) after an edit once the
// processor is done with it, and rebuilt when its meshes change.
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/gamecube/RxGCInstance.h"
#include "graphics3d/gamecube/RxGCPipelines.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpMesh.h"

#include "RpGameCubeTestCase.h"

#include <vector>

namespace {

constexpr u32 POS = 0x02;
constexpr u32 PRELIT = 0x08;
constexpr u32 NORMALS = 0x10;

class RxGCPipelinesTest : public RpGameCubeTestCase {
protected:
	RpGeometry* Quad( const s32 vertices ) {
		RpGeometry* const geometry = RpGeometryCreate( vertices, vertices - 2, POS | PRELIT | NORMALS );
		EXPECT_NE( geometry, nullptr );
		for ( s32 i = 0; i < vertices; i++ ) {
			const f32 f = static_cast<f32>( i );
			geometry->morphTarget[0].verts[i] = { f, 2.0f * f, -f };
			geometry->morphTarget[0].normals[i] = { 0.0f, 1.0f, 0.0f };
			geometry->preLitLum[i] = { static_cast<u8>( i ), 20, 30, 255 };
		}
		// A fan of triangles over vertex 0.
		for ( s32 t = 0; t < vertices - 2; t++ ) {
			geometry->triangles[t] = { { 0, static_cast<u16>( t + 1 ), static_cast<u16>( t + 2 ) }, 0 };
		}
		material = RpMaterialCreate();
		_rpMaterialListAppendMaterial( &geometry->matList, material );
		EXPECT_EQ( RpGeometryUnlock( geometry ), geometry );
		return geometry;
	}

	bool Draw( RpAtomic* atomic ) {
		return RxPipelineExecute( _rxPipelineGetDefaultAtomicPipeline(), atomic, true ) != nullptr;
	}

	// Waits until the processor passed everything issued so far.
	static void Drain() {
		GXSetDrawSync( _RwDlTokenCurrent );
		const u16 token = _RwDlTokenCurrent;
		_RwDlTokenCurrent = static_cast<u16>( token + 1 );
		GXHostResume();
		for ( u32 i = 0; i < 10000 && GXReadDrawSync() != token; i++ ) {
			HostIdle();
		}
	}

	RpMaterial* material = nullptr;
};

TEST_F( RxGCPipelinesTest, AnAtomicIsInstancedOnceDrawnToItsTrianglesAndRewrittenInPlace ) {
	RpGeometry* const geometry = Quad( 6 );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	GXHostClearLog();
	ASSERT_TRUE( Draw( atomic ) );
	RwResEntry* const entry = geometry->repEntry;
	ASSERT_NE( entry, nullptr );
	EXPECT_EQ( _rxGCInstanceHeader( entry )->indexType, RXGC_INDEX8 );
	ASSERT_EQ( GXHostCurrentFrame().draws.size(), 1u );
	const GXHostDraw& draw = GXHostCurrentFrame().draws[0];
	EXPECT_TRUE( draw.fromDisplayList );
	const std::vector<u32> triangles = GXHostTriangles( draw );
	ASSERT_EQ( triangles.size(), 12u );
	// Each drawn corner carries its own vertex's position, normal and colour.
	for ( const GXHostVertex& vertex : draw.vertices ) {
		const u32 i = vertex.colour[0].r;
		ASSERT_LT( i, 6u );
		EXPECT_EQ( vertex.position[1], geometry->morphTarget[0].verts[i].y );
		EXPECT_EQ( vertex.normal[1], 1.0f );
	}
	EXPECT_TRUE( GXHostFaults().empty() );

	// Reused while nothing changes.
	u8* const colours = _rxGCInstanceHeader( entry )->colorArray;
	const std::vector<u8> before( colours, colours + 6 * 4 );
	ASSERT_TRUE( Draw( atomic ) );
	EXPECT_EQ( geometry->repEntry, entry );

	// An edit of the positions rewrites the position array only, once the
	// processor passed the instance's token.
	Drain();
	RpGeometryLock( geometry, 0x02 );
	geometry->morphTarget[0].verts[3].y = 100.0f;
	geometry->preLitLum[3].green = 99;
	RpGeometryUnlock( geometry );
	GXHostClearLog();
	ASSERT_TRUE( Draw( atomic ) );
	EXPECT_EQ( geometry->repEntry, entry );
	EXPECT_EQ( geometry->lockedSinceLastInst, 0 );
	EXPECT_EQ( std::vector<u8>( colours, colours + 6 * 4 ), before );
	bool moved = false;
	for ( const GXHostVertex& vertex : GXHostCurrentFrame().draws[0].vertices ) {
		moved = moved || ( vertex.colour[0].r == 3 && vertex.position[1] == 100.0f );
	}
	EXPECT_TRUE( moved );

	// New meshes: a new instance.
	geometry->mesh->serialNum++;
	Drain();
	ASSERT_TRUE( Draw( atomic ) );
	EXPECT_NE( geometry->repEntry, nullptr );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( geometry );
	RpMaterialDestroy( material );
}

TEST_F( RxGCPipelinesTest, IndexTypeFollowsTheVertexCountAndEmptyGeometriesDrawNothing ) {
	for ( const auto& [vertices, type] : { std::pair{ 254, RXGC_INDEX8 }, std::pair{ 255, RXGC_INDEX16 } } ) {
		RpGeometry* const geometry = Quad( vertices );
		RpAtomic* const atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
		ASSERT_TRUE( Draw( atomic ) );
		ASSERT_NE( geometry->repEntry, nullptr );
		EXPECT_EQ( _rxGCInstanceHeader( geometry->repEntry )->indexType, type ) << vertices;
		Drain();
		RpAtomicDestroy( atomic );
		RpGeometryDestroy( geometry );
		RpMaterialDestroy( material );
	}
	RpGeometry* const empty = RpGeometryCreate( 0, 0, POS );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, empty, 0 );
	GXHostClearLog();
	EXPECT_TRUE( Draw( atomic ) );
	EXPECT_EQ( empty->repEntry, nullptr );
	EXPECT_TRUE( GXHostCurrentFrame().draws.empty() );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( empty );
}

}	// namespace
