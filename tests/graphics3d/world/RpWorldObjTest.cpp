#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpCollision.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpSkin.h"
#include "graphics3d/world/RpWorld.h"

#include "graphics3d/core/RwTestFrames.h"

#include "RpWorldTestScenes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

ToolAtomicSector Empty() {
	return ToolAtomicSector{};
}

// Three sectors along x: A below 0, B from 0 to 10, C above 10, in a
// box of half-size 100.
ToolWorld ThreeSectors( const u32 format = 0x02 ) {
	ToolWorld world;
	world.format = format;
	world.box = { 100.0f, 100.0f, 100.0f, -100.0f, -100.0f, -100.0f };
	world.sectors = { Empty(), Empty(), Empty() };
	world.planes = { { 0, 0.0f, { true, 0 }, { false, 1 }, 0.0f, 0.0f, 0 },
					 { 0, 10.0f, { true, 1 }, { true, 2 }, 10.0f, 10.0f, 0 } };
	world.root = { false, 0 };
	return world;
}

std::vector<RpWorldSector*> TiedSectors( RpAtomic* atomic ) {
	std::vector<RpWorldSector*> sectors;
	RpAtomicForAllWorldSectors(
		atomic,
		[]( RpWorldSector* sector, void* data ) {
			static_cast<std::vector<RpWorldSector*>*>( data )->push_back( sector );
			return sector;
		},
		&sectors );
	std::sort( sectors.begin(), sectors.end() );
	return sectors;
}

std::vector<RpWorldSector*> LitSectors( RpLight* light ) {
	std::vector<RpWorldSector*> sectors;
	RwLinkList* const list = &light->WorldSectorsInLight;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		sectors.push_back( rwLLLinkGetData<RpLightTie>( link, offsetof( RpLightTie, WorldSectorInLight ) )->sect );
	}
	std::sort( sectors.begin(), sectors.end() );
	return sectors;
}

u32 ListLength( RwLinkList* list ) {
	u32 count = 0;
	for ( RwLLLink* link = rwLinkListGetFirst( list ); link != rwLinkListGetTerminator( list ); link = link->next ) {
		count++;
	}
	return count;
}

struct Drawn {
	static inline std::vector<RpAtomic*>		atomics;
	static inline std::vector<RpWorldSector*>	sectors;
};

RpAtomic* RecordAtomic( RpAtomic* atomic ) {
	Drawn::atomics.push_back( atomic );
	return atomic;
}

RpWorldSector* RecordSector( RpWorldSector* sector ) {
	Drawn::sectors.push_back( sector );
	return sector;
}

class RpWorldObjTest : public RpWorldSceneTest {
protected:
	void SetUp() override {
		RpWorldSceneTest::SetUp();
		Drawn::atomics.clear();
		Drawn::sectors.clear();
	}

	// An atomic without geometry whose model sphere has the radius, on a
	// frame at x.
	RpAtomic* AtomicAt( const f32 x, const f32 radius, const u8 flags = RPATOMIC_DEFAULT_FLAGS ) {
		RpAtomic* const atomic = RpAtomicCreate();
		atomic->boundingSphere = { { 0.0f, 0.0f, 0.0f }, radius };
		atomic->interpolator.flags = 0;
		atomic->object.object.flags = flags;
		atomic->renderCallBack = RecordAtomic;
		RpAtomicSetFrame( atomic, FrameAt( x, 0.0f, 0.0f ) );
		return atomic;
	}

	// A camera at (x, 0, -50) looking along +z that sees all of x from -45
	// to 55.
	RwCamera* CameraAt( const f32 x ) {
		RwCamera* const camera = RwCameraCreate();
		RwCameraSetFarClipPlane( camera, 1000.0f );
		_rwObjectHasFrameSetFrame( &camera->object, FrameAt( x, 0.0f, -50.0f ) );
		return camera;
	}

	// One frame: begin update (syncing frames), render, end update.
	void Frame( RwCamera* camera, RpWorld* world ) {
		ASSERT_EQ( RwCameraBeginUpdate( camera ), camera );
		EXPECT_EQ( RwEngineInstance->currentWorld, world );
		RpWorldRender( world );
		ASSERT_EQ( RwCameraEndUpdate( camera ), camera );
		EXPECT_EQ( RwEngineInstance->currentWorld, nullptr );
	}
};

TEST_F( RpWorldObjTest, ClumpsJoinOneWorldAndLeaveOnlyTheirOwn ) {
	RpWorld* const world = ReadWorld( ThreeSectors() );
	RpWorld* const other = ReadWorld( ThreeSectors() );
	ASSERT_NE( world, nullptr );
	RpClump* const clump = RpClumpCreate();
	RpClump* const stranger = RpClumpCreate();
	RpAtomic* const atomic = AtomicAt( 5.0f, 1.0f );
	RpClumpAddAtomic( clump, atomic );
	ASSERT_EQ( RpWorldAddClump( world, clump ), world );
	EXPECT_EQ( RpAtomicGetWorld( atomic ), world );
	const struct {
		const char*	what;
		bool		add;
		RpWorld*	target;
		RpClump*	subject;
		u32			code;
	} rows[] = {
		{ "added again", true, world, clump, 3 },
		{ "added to another world", true, other, clump, 3 },
		{ "removed from a world it is not in", false, other, clump, 4 },
		{ "removed while in no world", false, world, stranger, 4 },
	};
	for ( const auto& row : rows ) {
		RpWorld* const result = row.add ? RpWorldAddClump( row.target, row.subject ) : RpWorldRemoveClump( row.target, row.subject );
		EXPECT_EQ( result, nullptr ) << row.what;
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, 2u ) << row.what;
		EXPECT_EQ( error.errorCode, row.code ) << row.what;
		EXPECT_EQ( RpWorldGetNumClumps( world ), 1u ) << row.what;
		EXPECT_EQ( RpWorldGetNumClumps( other ), 0u ) << row.what;
		EXPECT_EQ( RpClumpGetWorld( clump ), world ) << row.what;
		EXPECT_EQ( RpClumpGetWorld( stranger ), nullptr ) << row.what;
	}
	// A copy joins the source's world with its atomics; an atomic's copy
	// does not.
	RpClump* const copy = RpClumpClone( clump );
	EXPECT_EQ( RpClumpGetWorld( copy ), world );
	EXPECT_EQ( RpWorldGetNumClumps( world ), 2u );
	RpAtomic* const atomicCopy = RpAtomicClone( atomic );
	EXPECT_EQ( RpAtomicGetWorld( atomicCopy ), nullptr );
	RpAtomicDestroy( atomicCopy );
	RpClumpDestroy( copy );
	EXPECT_EQ( RpWorldGetNumClumps( world ), 1u );
	ASSERT_EQ( RpWorldRemoveClump( world, clump ), world );
	EXPECT_EQ( RpAtomicGetWorld( atomic ), nullptr );
	EXPECT_EQ( RpWorldGetNumClumps( world ), 0u );
	RpClumpDestroy( clump );
	RpClumpDestroy( stranger );
	RpWorldDestroy( other );
	RpWorldDestroy( world );
}

TEST_F( RpWorldObjTest, AtomicsAreTiedToEverySectorTheirSphereBoxReaches ) {
	ToolWorld overlapping = ThreeSectors( 0x02 | TOOL_WORLD_SECTORS_OVERLAP );
	overlapping.planes[0].leftValue = 1.5f;		// left covers below 1.5, right from -0.5
	overlapping.planes[0].rightValue = -0.5f;
	RpWorld* const world = ReadWorld( overlapping );
	ASSERT_NE( world, nullptr );
	const std::vector<RpWorldSector*> s = RpTestSectors( world );
	const struct {
		f32								x;
		f32								radius;
		u8								flags;
		std::vector<RpWorldSector*>		tied;
	} rows[] = {
		{ 1.0f, 0.1f, 0x05, { s[0], s[1] } },		// inside the overlap: both sides
		{ -1.0f, 0.1f, 0x05, { s[0] } },
		{ 5.0f, 20.0f, 0x05, { s[0], s[1], s[2] } },
		{ 50.0f, 1.0f, 0x04, { s[2] } },
		{ 500.0f, 1.0f, 0x04, { s[2] } },			// the last plane's right side is open
	};
	for ( const auto& row : rows ) {
		RpAtomic* const atomic = AtomicAt( row.x, row.radius, row.flags );
		ASSERT_EQ( RpWorldAddAtomic( world, atomic ), world );
		EXPECT_EQ( RpWorldAddAtomic( world, atomic ), nullptr );
		_rwFrameSyncDirty();
		std::vector<RpWorldSector*> expected = row.tied;
		std::sort( expected.begin(), expected.end() );
		EXPECT_EQ( TiedSectors( atomic ), expected ) << row.x;
		// Collision-test atomics go to the collision list.
		RwLinkList* const list = ( row.flags & rpATOMICCOLLISIONTEST ) ? &row.tied[0]->collAtomicsInWorldSector
																	   : &row.tied[0]->noCollAtomicsInWorldSector;
		EXPECT_EQ( ListLength( list ), 1u ) << row.x;
		ASSERT_EQ( RpWorldRemoveAtomic( world, atomic ), world );
		EXPECT_TRUE( TiedSectors( atomic ).empty() );
		EXPECT_EQ( RpWorldRemoveAtomic( world, atomic ), nullptr );
		RpAtomicDestroy( atomic );
		for ( RpWorldSector* sector : s ) {
			EXPECT_TRUE( rwLinkListEmpty( &sector->collAtomicsInWorldSector ) );
			EXPECT_TRUE( rwLinkListEmpty( &sector->noCollAtomicsInWorldSector ) );
		}
	}
	RpWorldDestroy( world );
}

TEST_F( RpWorldObjTest, LocalLightsAreTiedAgainWhenTheyMoveAndGlobalOnesNever ) {
	RpWorld* const world = ReadWorld( ThreeSectors() );
	const std::vector<RpWorldSector*> s = RpTestSectors( world );
	RpLight* const local = RpLightCreate( rpLIGHTPOINT );
	RpLight* const global = RpLightCreate( rpLIGHTDIRECTIONAL );
	RpLightSetRadius( local, 1.0f );
	RwFrame* const frame = FrameAt( -5.0f, 0.0f, 0.0f );
	_rwObjectHasFrameSetFrame( &local->object, frame );
	_rwObjectHasFrameSetFrame( &global->object, FrameAt( 0.0f, 0.0f, 0.0f ) );
	RpWorldAddLight( world, local );
	RpWorldAddLight( world, global );
	_rwFrameSyncDirty();
	EXPECT_EQ( LitSectors( local ), std::vector<RpWorldSector*>{ s[0] } );
	EXPECT_TRUE( LitSectors( global ).empty() );
	RwTestPlace( frame, 15.0f, 0.0f, 0.0f );
	_rwFrameSyncDirty();
	EXPECT_EQ( LitSectors( local ), std::vector<RpWorldSector*>{ s[2] } );
	EXPECT_EQ( ListLength( &s[0]->lightsInWorldSector ), 0u );
	EXPECT_EQ( ListLength( &s[2]->lightsInWorldSector ), 1u );
	RpLightDestroy( local );
	EXPECT_EQ( ListLength( &s[2]->lightsInWorldSector ), 0u );
	RpLightDestroy( global );
	RpWorldDestroy( world );
}

TEST_F( RpWorldObjTest, TheCameraListsVisibleSectorsFarSideFirstInRenderOrderTwo ) {
	RpWorld* const world = ReadWorld( ThreeSectors() );
	const std::vector<RpWorldSector*> s = RpTestSectors( world );
	RwCamera* const camera = CameraAt( 5.0f );
	RpWorldAddCamera( world, camera );
	world->renderCallBack = RecordSector;
	const struct {
		s32								renderOrder;
		f32								cameraX;
		std::vector<RpWorldSector*>		order;
	} rows[] = {
		{ 2, 5.0f, { s[0], s[2], s[1] } },		// right of the root plane: its left side first
		{ 0, 5.0f, { s[1], s[2], s[0] } },
		{ 2, -5.0f, { s[2], s[1], s[0] } },
		{ 2, 200.0f, { s[2] } },					// x from 155 to 255 reaches C only
	};
	for ( const auto& row : rows ) {
		world->renderOrder = row.renderOrder;
		RwTestPlace( static_cast<RwFrame*>( camera->object.object.parent ), row.cameraX, 0.0f, -50.0f );
		Drawn::sectors.clear();
		Frame( camera, world );
		EXPECT_EQ( Drawn::sectors, row.order ) << row.renderOrder << " " << row.cameraX;
	}
	RwCameraDestroy( camera );
	RpWorldDestroy( world );
}

TEST_F( RpWorldObjTest, AnAtomicIsDrawnOncePerFrameOnlyWithItsRenderFlag ) {
	RpWorld* const world = ReadWorld( ThreeSectors() );
	RwCamera* const camera = CameraAt( 5.0f );
	RpWorldAddCamera( world, camera );
	world->renderCallBack = RecordSector;
	RpAtomic* const seen = AtomicAt( 5.0f, 20.0f );
	RpAtomic* const hidden = AtomicAt( 5.0f, 20.0f, rpATOMICCOLLISIONTEST );
	RpAtomic* const behind = AtomicAt( 5.0f, 1.0f );
	RpAtomicSetFrame( behind, FrameAt( 5.0f, 0.0f, -80.0f ) );	// behind the camera, in sector B
	for ( RpAtomic* atomic : { seen, hidden, behind } ) {
		RpWorldAddAtomic( world, atomic );
	}
	Frame( camera, world );
	EXPECT_EQ( Drawn::sectors.size(), 3u );
	EXPECT_EQ( TiedSectors( seen ).size(), 3u );
	EXPECT_EQ( TiedSectors( hidden ).size(), 3u );
	EXPECT_EQ( Drawn::atomics, std::vector<RpAtomic*>{ seen } );
	EXPECT_EQ( behind->renderFrame, RwEngineInstance->renderFrame );
	Frame( camera, world );
	EXPECT_EQ( Drawn::atomics.size(), 2u );
	// The counter is 16 bits: drawn exactly 65,536 frames ago looks like
	// drawn this frame and is skipped once.
	RwEngineInstance->renderFrame = static_cast<u16>( seen->renderFrame - 1 );
	Frame( camera, world );
	EXPECT_EQ( Drawn::atomics.size(), 2u );
	Frame( camera, world );
	EXPECT_EQ( Drawn::atomics.size(), 3u );
	// Destroying the world lets go of everything still in it.
	RpWorldDestroy( world );
	for ( RpAtomic* atomic : { seen, hidden, behind } ) {
		EXPECT_EQ( RpAtomicGetWorld( atomic ), nullptr );
		EXPECT_TRUE( TiedSectors( atomic ).empty() );
		RpAtomicDestroy( atomic );
	}
	EXPECT_EQ( RwCameraGetWorld( camera ), nullptr );
	RwCameraDestroy( camera );
}

TEST_F( RpWorldObjTest, DestroyingAWorldLeavesItsClumpsLightsAndCamerasAlive ) {
	RpWorld* const world = ReadWorld( ThreeSectors() );
	RpClump* const clump = RpClumpCreate();
	RpLight* const light = RpLightCreate( rpLIGHTPOINT );
	RwCamera* const camera = RwCameraCreate();
	RpClumpAddLight( clump, light );
	RpClumpAddCamera( clump, camera );
	RpWorldAddClump( world, clump );
	EXPECT_EQ( RpLightGetWorld( light ), world );
	EXPECT_EQ( RwCameraGetWorld( camera ), world );
	RpWorldDestroy( world );
	EXPECT_EQ( RpClumpGetWorld( clump ), nullptr );
	EXPECT_EQ( RpLightGetWorld( light ), nullptr );
	EXPECT_EQ( RwCameraGetWorld( camera ), nullptr );
	RpClumpDestroy( clump );
}

}	// namespace

namespace {

// With free lists enabled on the host allocator, stopping the library
// with an atomic and a light still tied frees the tie blocks only after
// untying them, and the clump and light modules' closes then destroy the
// objects without touching freed ties.
TEST_F( RwTestCase, StoppingTheLibraryUntiesObjectsLeftInAWorld ) {
	ASSERT_TRUE( RwEngineInit( nullptr, 0, 0 ) );
	ASSERT_TRUE( RpWorldPluginAttach() );
	ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
	ASSERT_TRUE( RwEngineStart() );
	const RwBBox box = { { 10.0f, 10.0f, 10.0f }, { -10.0f, -10.0f, -10.0f } };
	RpWorld* const world = RpWorldCreate( &box );
	RwFrame* const frame = RwFrameCreate();
	RpAtomic* const atomic = RpAtomicCreate();
	atomic->interpolator.flags = 0;
	atomic->boundingSphere = { { 0.0f, 0.0f, 0.0f }, 1.0f };
	RpAtomicSetFrame( atomic, frame );
	RpLight* const light = RpLightCreate( rpLIGHTPOINT );
	RpLightSetRadius( light, 1.0f );
	_rwObjectHasFrameSetFrame( &light->object, frame );
	RpWorldAddAtomic( world, atomic );
	RpWorldAddLight( world, light );
	_rwFrameSyncDirty();
	ASSERT_FALSE( rwLinkListEmpty( &atomic->llWorldSectorsInAtomic ) );
	ASSERT_FALSE( rwLinkListEmpty( &light->WorldSectorsInLight ) );
	_rwObjectHasFrameSetFrame( &light->object, nullptr );
	RpAtomicSetFrame( atomic, nullptr );
	RwFrameDestroy( frame );
	ASSERT_TRUE( RwEngineStop() );
	EXPECT_EQ( lightModule.numInstances, 0 );
	// The world outlives the modules; its block is still its caller's.
	RpWorldDestroy( world );
	ASSERT_TRUE( RwEngineClose() );
	ASSERT_TRUE( RwEngineTerm() );
}

// A run of the library that does not attach the world plug-in again after
// a term gives its cameras no world space: the offsets the earlier run's
// registration gave point past the new objects, and destroying a camera
// would read a world pointer out of memory it does not own.
TEST_F( RwTestCase, AfterATermTheWorldPlugInsOffsetsHoldOnlyOnceItAttachesAgain ) {
	for ( const bool attach : { true, false, true } ) {
		SCOPED_TRACE( attach );
		ASSERT_TRUE( RwEngineInit( &rwTestEngineMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		if ( attach ) {
			ASSERT_TRUE( RpWorldPluginAttach() );
		}
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
		ASSERT_TRUE( RwEngineStart() );
		RwCamera* const camera = RwCameraCreate();
		ASSERT_NE( camera, nullptr );
		EXPECT_EQ( _rpCameraWorldExt( camera ) != nullptr, attach );
		EXPECT_EQ( _rpClumpCameraLink( camera ) != nullptr, attach );
		EXPECT_EQ( RwCameraGetWorld( camera ), nullptr );
		EXPECT_TRUE( RwCameraDestroy( camera ) );
		RwTestShutDown();
	}
}

// The library's memory for the test below: every block carries a tail of
// PADDING_BYTES filled with a pattern, so that a plug-in reading or writing
// at an offset a little past its object stays inside the allocation and
// finds the pattern rather than whatever lies next.
constexpr size_t PADDING_BYTES = 256;
constexpr u8 PADDING_FILL = 0xA5;
// The block's size sits in front of it, in a header that keeps the block
// as aligned as malloc's.
constexpr size_t SIZE_HEADER_BYTES = alignof( std::max_align_t );

void* PaddedMalloc( const u32 size ) {
	u8* const block = static_cast<u8*>( std::malloc( SIZE_HEADER_BYTES + size + PADDING_BYTES ) );
	if ( block == nullptr ) {
		return nullptr;
	}
	std::memcpy( block, &size, sizeof( u32 ) );
	std::memset( block + SIZE_HEADER_BYTES, PADDING_FILL, size + PADDING_BYTES );
	return block + SIZE_HEADER_BYTES;
}

void PaddedFree( void* p ) {
	if ( p != nullptr ) {
		std::free( static_cast<u8*>( p ) - SIZE_HEADER_BYTES );
	}
}

void* PaddedRealloc( void* p, const u32 size ) {
	void* const moved = PaddedMalloc( size );
	if ( moved != nullptr && p != nullptr ) {
		u32 old = 0;
		std::memcpy( &old, static_cast<u8*>( p ) - SIZE_HEADER_BYTES, sizeof( u32 ) );
		std::memcpy( moved, p, std::min( old, size ) );
		PaddedFree( p );
	}
	return moved;
}

void* PaddedCalloc( const u32 count, const u32 size ) {
	void* const block = PaddedMalloc( count * size );
	if ( block != nullptr ) {
		std::memset( block, 0, count * size );
	}
	return block;
}

const RwMemoryFunctions paddedMemory = { PaddedMalloc, PaddedFree, PaddedRealloc, PaddedCalloc };

RpCollisionTriangle* CountHit( RpIntersection*, RpCollisionTriangle* triangle, f32, void* data ) {
	( *static_cast<u32*>( data ) )++;
	return triangle;
}

// A library run without the collision, animation and skin plug-ins after a
// run with them: objects are made without their space, so the offsets the
// earlier registrations gave lie past them, and every accessor must find
// no data instead of reading or writing there.
TEST_F( RwTestCase, AfterATermThePlugInsOfModelsHoldTheirOffsetsOnlyOnceTheyAttachAgain ) {
	for ( const bool attach : { true, false, true } ) {
		SCOPED_TRACE( attach );
		ASSERT_TRUE( RwEngineInit( &paddedMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		ASSERT_TRUE( RpWorldPluginAttach() );
		if ( attach ) {
			ASSERT_TRUE( RpCollisionPluginAttach() && RpHAnimPluginAttach() && RpSkinPluginAttach() );
		}
		ASSERT_TRUE( RwEngineOpen( &rwTestDeviceConfig ) );
		ASSERT_TRUE( RwEngineStart() );

		// A clump of one atomic over one triangle.
		RpClump* const clump = RpClumpCreate();
		RwFrame* const frame = RwFrameCreate();
		RpGeometry* const geometry = RpGeometryCreate( 3, 1, rpGEOMETRYPOSITIONS );
		RpAtomic* const atomic = RpAtomicCreate();
		ASSERT_TRUE( clump != nullptr && frame != nullptr && geometry != nullptr && atomic != nullptr );
		RwV3d* const verts = geometry->morphTarget[0].verts;
		verts[0] = { 0.0f, 0.0f, 0.0f };
		verts[1] = { 1.0f, 0.0f, 0.0f };
		verts[2] = { 0.0f, 1.0f, 0.0f };
		geometry->triangles[0] = { { 0, 1, 2 }, -1 };
		geometry->morphTarget[0].boundingSphere = { { 0.5f, 0.5f, 0.0f }, 1.0f };
		ASSERT_NE( RpGeometryUnlock( geometry ), nullptr );
		RpClumpSetFrame( clump, frame );
		RpAtomicSetFrame( atomic, frame );
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpGeometryDestroy( geometry );
		RpClumpAddAtomic( clump, atomic );

		EXPECT_EQ( RpHAnimFrameGetID( frame ), -1 );
		EXPECT_EQ( RpHAnimFrameGetHierarchy( frame ), nullptr );
		EXPECT_EQ( RpSkinGeometryGetSkin( geometry ), nullptr );
		RpHAnimHierarchy hierarchy = {};
		EXPECT_EQ( RpSkinAtomicSetHAnimHierarchy( atomic, &hierarchy ), attach ? atomic : nullptr );
		EXPECT_EQ( RpSkinAtomicGetHAnimHierarchy( atomic ), attach ? &hierarchy : nullptr );
		RpSkinAtomicSetHAnimHierarchy( atomic, nullptr );
		EXPECT_EQ( RpGameCubeGeometryGetVtxFmt( geometry ), nullptr );
		// Without a collision tree the query tests the triangle itself.
		RpIntersection line = {};
		line.type = rpINTERSECTLINE;
		line.t.line = { { 0.25f, 0.25f, 1.0f }, { 0.25f, 0.25f, -1.0f } };
		u32 hits = 0;
		RpAtomicForAllIntersections( atomic, &line, CountHit, &hits );
		EXPECT_EQ( hits, 1u );

		EXPECT_TRUE( RpClumpDestroy( clump ) );
		RwTestShutDown();
	}
}

}	// namespace
