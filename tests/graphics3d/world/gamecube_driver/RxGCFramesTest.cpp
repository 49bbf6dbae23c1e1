// Ten frames over the driver's life cycle: a lit, textured, morphing
// atomic in a world sector. Both are instanced once and reused; every
// draw decodes to the objects' triangles, normals, colours and texture
// coordinates; the morph moves the atomic's positions each frame; an edit
// of its colours rewrites that array alone once the processor is done.
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RxGCInstance.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldObj.h"
#include "tools/lib/graphics3d/ToolWorldWriter.h"

#include "RpGameCubeTestCase.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr u32 FLAGS = 0x02 | 0x04 | 0x08 | 0x10 | 0x20;	// positions, texture, colours, normals, lit
constexpr u32 LOCK_PRELIGHT = 0x08;
constexpr u32 WORLD_CHUNK = 0x0B;
constexpr s32 FRAMES = 10;
constexpr s32 EDIT_FRAME = 5;
// Vertex colours tell the objects and their vertices apart: red is the
// vertex number plus this base.
constexpr u8 ATOMIC_RED = 10;
constexpr u8 SECTOR_RED = 200;

struct Corner {
	std::array<f32, 3>	position;
	std::array<f32, 3>	normal;
	std::array<f32, 2>	uv;
	u8					green;
};

// A quad of four vertices in two triangles: 0 1 2 and 0 2 3.
const std::array<std::array<u16, 3>, 2> QUAD = { { { 0, 1, 2 }, { 0, 2, 3 } } };

class RxGCFramesTest : public RpGameCubeTestCase {
protected:
	RpWorld* ReadWorld() {
		ToolWorld world;
		world.format = FLAGS;
		world.box = { 30, 30, 40, -30, -30, -1 };
		world.materials = ToolWorldWriter::PlainMaterials( 1 );
		ToolAtomicSector sector;
		sector.positions = { -8, -8, 30, 8, -8, 30, 8, 8, 30, -8, 8, 30 };
		sector.normals = { 0, 0, 0x81, 0, 0, 0, 0x81, 0, 0, 0, 0x81, 0, 0, 0, 0x81, 0 };
		for ( u8 v = 0; v < 4; v++ ) {
			sector.preLit.insert( sector.preLit.end(), { static_cast<u8>( SECTOR_RED + v ), 50, 60, 255 } );
		}
		sector.texCoords = { { 0, 0, 1, 0, 1, 1, 0, 1 } };
		for ( const auto& t : QUAD ) {
			sector.triangles.push_back( { 0, t[0], t[1], t[2] } );
		}
		sector.tightBox = { -8, -8, 30, 8, 8, 30 };
		world.sectors = { sector };
		ToolChunkWriter writer;
		ToolWorldWriter::Write( writer, world );
		writer.Finish( worldBytes );
		RwMemory memory = { worldBytes.data(), static_cast<u32>( worldBytes.size() ) };
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
		EXPECT_TRUE( RwStreamFindChunk( stream, WORLD_CHUNK, nullptr, nullptr ) );
		RpWorld* const read = RpWorldStreamRead( stream );
		RwStreamClose( stream, nullptr );
		return read;
	}

	// Two morph targets, the second 2 units higher; textured material.
	RpGeometry* MorphingQuad( RpMaterial* material ) {
		RpGeometry* const geometry = RpGeometryCreate( 4, 2, FLAGS );
		EXPECT_EQ( RpGeometryAddMorphTargets( geometry, 1 ), 1 );
		const f32 corners[4][2] = { { -1, -1 }, { 1, -1 }, { 1, 1 }, { -1, 1 } };
		for ( s32 v = 0; v < 4; v++ ) {
			geometry->morphTarget[0].verts[v] = { corners[v][0], corners[v][1], 0.0f };
			geometry->morphTarget[1].verts[v] = { corners[v][0], corners[v][1] + 2.0f, 0.0f };
			geometry->morphTarget[0].normals[v] = { 0.0f, 0.6f, -0.8f };
			geometry->morphTarget[1].normals[v] = { 0.0f, 0.6f, -0.8f };
			geometry->preLitLum[v] = { static_cast<u8>( ATOMIC_RED + v ), 20, 30, 255 };
			geometry->texCoords[0][v] = { 0.5f * ( corners[v][0] + 1 ), 0.5f * ( corners[v][1] + 1 ) };
		}
		for ( u32 t = 0; t < QUAD.size(); t++ ) {
			geometry->triangles[t] = { { QUAD[t][0], QUAD[t][1], QUAD[t][2] }, 0 };
		}
		_rpMaterialListAppendMaterial( &geometry->matList, material );
		EXPECT_EQ( RpGeometryUnlock( geometry ), geometry );
		return geometry;
	}

	RwFrame* FrameAt( const RwV3d& pos ) {
		RwFrame* const frame = RwFrameCreate();
		frame->modelling.pos = pos;
		RwFrameUpdateObjects( frame );
		return frame;
	}

	std::vector<u8> worldBytes;
};

// What a draw's corners must show, per vertex number.
void ExpectDrawn( const GXHostDraw& draw, const u8 redBase, const std::vector<Corner>& expected, const s32 frame ) {
	EXPECT_TRUE( draw.fromDisplayList );
	const std::vector<u32> triangles = GXHostTriangles( draw );
	ASSERT_EQ( triangles.size(), 3 * QUAD.size() ) << frame;
	std::vector<std::array<u32, 3>> drawn;
	for ( size_t t = 0; t < triangles.size(); t += 3 ) {
		std::array<u32, 3> ids = {};
		for ( size_t k = 0; k < 3; k++ ) {
			const GXHostVertex& v = draw.vertices[triangles[t + k]];
			const u32 id = v.colour[0].r - redBase;
			ASSERT_LT( id, expected.size() ) << frame;
			const Corner& c = expected[id];
			for ( u32 i = 0; i < 3; i++ ) {
				EXPECT_NEAR( v.position[i], c.position[i], 1e-5f ) << frame << " vertex " << id;
				EXPECT_NEAR( v.normal[i], c.normal[i], 0.01f ) << frame << " vertex " << id;
			}
			EXPECT_EQ( v.texCoord[0][0], c.uv[0] ) << frame;
			EXPECT_EQ( v.texCoord[0][1], c.uv[1] ) << frame;
			EXPECT_EQ( v.colour[0].g, c.green ) << frame << " vertex " << id;
			ids[k] = id;
		}
		std::rotate( ids.begin(), std::min_element( ids.begin(), ids.end() ), ids.end() );
		drawn.push_back( ids );
	}
	std::sort( drawn.begin(), drawn.end() );
	std::vector<std::array<u32, 3>> quad;
	for ( const auto& t : QUAD ) {
		quad.push_back( { t[0], t[1], t[2] } );
	}
	EXPECT_EQ( drawn, quad ) << frame;
}

TEST_F( RxGCFramesTest, ALitTexturedMorphingAtomicAndASectorAreInstancedOnceAndRewrittenOnlyWhereEdited ) {
	RpWorld* const world = ReadWorld();
	ASSERT_NE( world, nullptr );
	RwDlTestCamera view;
	ASSERT_TRUE( view.Create( 64, 64 ) );
	RwCameraSetFarClipPlane( view.camera, 100.0f );
	RpWorldAddCamera( world, view.camera );

	RwRaster* const raster = RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE | 0x500 );
	RwTexture* const texture = RwTextureCreate( raster );
	RpMaterial* const material = RpMaterialCreate();
	RpMaterialSetTexture( material, texture );
	RpGeometry* const geometry = MorphingQuad( material );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RwFrame* const atomicFrame = FrameAt( { 0.0f, 0.0f, 10.0f } );
	RpAtomicSetFrame( atomic, atomicFrame );
	atomic->interpolator.startMorphTarget = 0;
	atomic->interpolator.endMorphTarget = 1;
	atomic->interpolator.time = 1.0f;
	atomic->interpolator.recipTime = 1.0f;
	RpWorldAddAtomic( world, atomic );

	RpLight* const sun = RpLightCreate( rpLIGHTDIRECTIONAL );
	RwFrame* const sunFrame = FrameAt( { 0.0f, 0.0f, 0.0f } );
	_rwObjectHasFrameSetFrame( &sun->object, sunFrame );
	RpLight* const ambient = RpLightCreate( rpLIGHTAMBIENT );
	const RwRGBAReal grey = { 0.25f, 0.25f, 0.25f, 1.0f };
	RpLightSetColor( ambient, &grey );
	RpWorldAddLight( world, sun );
	RpWorldAddLight( world, ambient );

	RpWorldSector* const sector = reinterpret_cast<RpWorldSector*>( world->rootSector );
	RwResEntry* atomicEntry = nullptr;
	RwResEntry* sectorEntry = nullptr;
	std::vector<u8> normalsBefore, texBefore, sectorBefore;
	u8 green2 = 20;
	for ( s32 frame = 0; frame < FRAMES; frame++ ) {
		const f32 t = static_cast<f32>( frame ) / ( FRAMES - 1 );
		atomic->interpolator.position = t;
		atomic->interpolator.flags |= rpINTERPOLATORDIRTYINSTANCE;
		if ( frame == EDIT_FRAME ) {
			RpGeometryLock( geometry, LOCK_PRELIGHT );
			green2 = 99;
			geometry->preLitLum[2].green = green2;
			RpGeometryUnlock( geometry );
		}
		GXHostClearLog();
		ASSERT_NE( RwCameraBeginUpdate( view.camera ), nullptr );
		RpWorldRender( world );
		RwCameraEndUpdate( view.camera );

		// Instanced on the first frame only.
		if ( frame == 0 ) {
			atomicEntry = atomic->repEntry;
			sectorEntry = sector->repEntry;
			ASSERT_NE( atomicEntry, nullptr );
			ASSERT_NE( sectorEntry, nullptr );
			EXPECT_EQ( GXHostCallCount( GXHOST_BEGIN_DISPLAY_LIST ), 2u );
		} else {
			EXPECT_EQ( atomic->repEntry, atomicEntry ) << frame;
			EXPECT_EQ( sector->repEntry, sectorEntry ) << frame;
			EXPECT_EQ( GXHostCallCount( GXHOST_BEGIN_DISPLAY_LIST ), 0u ) << frame;
		}
		EXPECT_EQ( atomic->interpolator.flags & rpINTERPOLATORDIRTYINSTANCE, 0 ) << frame;
		EXPECT_EQ( geometry->lockedSinceLastInst, 0 ) << frame;
		// Lit by the directional light and textured.
		EXPECT_GE( GXHostCallCount( GXHOST_LOAD_LIGHT ), 1u ) << frame;
		EXPECT_GE( GXHostCallCount( GXHOST_LOAD_TEX_OBJ ), 1u ) << frame;

		std::vector<Corner> atomicCorners;
		for ( s32 v = 0; v < 4; v++ ) {
			const RwV3d a = geometry->morphTarget[0].verts[v];
			const RwV3d b = geometry->morphTarget[1].verts[v];
			atomicCorners.push_back( { { a.x + t * ( b.x - a.x ), a.y + t * ( b.y - a.y ), a.z + t * ( b.z - a.z ) },
									   { 0.0f, 0.6f, -0.8f },
									   { geometry->texCoords[0][v].u, geometry->texCoords[0][v].v },
									   static_cast<u8>( v == 2 ? green2 : 20 ) } );
		}
		std::vector<Corner> sectorCorners;
		for ( s32 v = 0; v < 4; v++ ) {
			sectorCorners.push_back( { { sector->vertices[v].x, sector->vertices[v].y, sector->vertices[v].z },
									   { 0.0f, 0.0f, -1.0f },
									   { sector->texCoords[0][v].u, sector->texCoords[0][v].v },
									   50 } );
		}
		const GXHostDraw* atomicDraw = nullptr;
		const GXHostDraw* sectorDraw = nullptr;
		for ( const GXHostDraw& draw : GXHostCurrentFrame().draws ) {
			if ( !draw.vertices.empty() ) {
				( draw.vertices[0].colour[0].r >= SECTOR_RED ? sectorDraw : atomicDraw ) = &draw;
			}
		}
		ASSERT_NE( atomicDraw, nullptr ) << frame;
		ASSERT_NE( sectorDraw, nullptr ) << frame;
		ExpectDrawn( *atomicDraw, ATOMIC_RED, atomicCorners, frame );
		ExpectDrawn( *sectorDraw, SECTOR_RED, sectorCorners, frame );
		EXPECT_TRUE( GXHostFaults().empty() ) << frame;

		// The edit rewrote the colours only: normals and texture
		// coordinates, and the sector, keep their bytes.
		const RxGCInstanceHeader* const header = _rxGCInstanceHeader( atomicEntry );
		const std::vector<u8> normals( header->normArray, header->normArray + 4 * header->normStride );
		const std::vector<u8> tex( header->texArray[0], header->texArray[0] + 4 * header->texStride[0] );
		const RxGCInstanceHeader* const sectorHeader = _rxGCInstanceHeader( sectorEntry );
		const std::vector<u8> sectorBytes( sectorHeader->posArray, sectorHeader->posArray + 4 * sectorHeader->posStride );
		if ( frame > 0 ) {
			EXPECT_EQ( normals, normalsBefore ) << frame;
			EXPECT_EQ( tex, texBefore ) << frame;
			EXPECT_EQ( sectorBytes, sectorBefore ) << frame;
		}
		normalsBefore = normals;
		texBefore = tex;
		sectorBefore = sectorBytes;
		RwRasterShowRaster( view.raster, nullptr, 0 );
	}

	RpWorldRemoveLight( world, sun );
	RpWorldRemoveLight( world, ambient );
	RpLightDestroy( sun );
	RpLightDestroy( ambient );
	RwFrameDestroy( sunFrame );
	RpWorldRemoveAtomic( world, atomic );
	RpAtomicDestroy( atomic );
	RwFrameDestroy( atomicFrame );
	RpGeometryDestroy( geometry );
	RpMaterialDestroy( material );
	RwTextureDestroy( texture );
	RpWorldRemoveCamera( world, view.camera );
	view.Destroy();
	RpWorldDestroy( world );
}

}	// namespace
