#include "framework/core/world/WorldTestBench.h"

#include "framework/graphics/EFEnvMap.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/testdevice/TestDevice.h"

#include <cstdint>
#include <utility>

namespace {

constexpr u32 OBJECT_A = 0x2a000001;

// (state, value) of the device's logged sets; gets as (state, -1).
std::vector<std::pair<s32, s64>> StateCalls() {
	std::vector<std::pair<s32, s64>> calls;
	for ( const TestDeviceCall& call : TestDeviceCalls() ) {
		if ( call.kind == TestDeviceCall::RENDER_STATE_SET ) {
			calls.push_back( { call.state, static_cast<s64>( reinterpret_cast<uintptr_t>( call.value ) ) } );
		} else if ( call.kind == TestDeviceCall::RENDER_STATE_GET ) {
			calls.push_back( { call.state, -1 } );
		}
	}
	return calls;
}

}

class EFWorldRenderTest : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		moCamera = MakeCamera();
		// Render states are only set while a camera is being updated.
		RwEngineInstance->currentCamera = moCamera->mpoRwCamera;
		TestDeviceClearCalls();
	}

	void TearDown() override {
		RwEngineInstance->currentCamera = nullptr;
		TestDeviceSetRenderStateValue( nullptr );
		WorldTestBench::TearDown();
	}

	// A seen object with one transparent 3D object at depth z.
	RecordingModel* Transparent( const u32 id, const f32 z, const u32 state, const u32 bucket ) {
		EFGameObject* const object = MakeObject( id, 0.0f, 0.0f, z );
		RecordingModel* const model = GiveModel( *object );
		model->mui3dObjState |= state;
		model->muiTransparentPriority = bucket;
		return model;
	}

	std::vector<const EF3dObj*> Drawn() const {
		std::vector<const EF3dObj*> drawn;
		for ( const WorldDraw& draw : gWorldDraws ) {
			drawn.push_back( draw.object );
		}
		return drawn;
	}

	EFCamera* moCamera = nullptr;
};

TEST_F( EFWorldRenderTest, TransparentObjectsGoFarToNearByBucketAndOpaqueOnesAtOnce ) {
	RecordingModel* const near = Transparent( 0x2a000001, 3.0f, EF_3D_OBJ_ALPHA, 7 );
	RecordingModel* const far = Transparent( 0x2a000002, 9.0f, EF_3D_OBJ_ALPHA, 7 );
	RecordingModel* const tie = Transparent( 0x2a000003, 9.0f, EF_3D_OBJ_ADDITIVE, 7 );
	RecordingModel* const early = Transparent( 0x2a000004, 2.0f, EF_3D_OBJ_MULTIPLIED, 2 );
	RecordingModel* const high = Transparent( 0x2a000005, 50.0f, EF_3D_OBJ_ALPHA, 200 );
	RecordingModel* const last = Transparent( 0x2a000006, 1.0f, EF_3D_OBJ_ALPHA, 63 );
	RecordingModel* const opaque = Transparent( 0x2a000007, 4.0f, 0, 0 );
	gpoWorldMgr->PrepareRender();
	gpoWorldMgr->RenderObjects( 0 );
	EXPECT_EQ( Drawn(), ( std::vector<const EF3dObj*>{ opaque } ) );
	gWorldDraws.clear();
	gpoWorldMgr->RenderObjectsTransparent( 0 );
	// The render list runs oldest first, so of two at one depth the older
	// arrives first; a bucket past 63 is 63, far to near.
	EXPECT_EQ( Drawn(), ( std::vector<const EF3dObj*>{ early, far, tie, near, high, last } ) );
}

TEST_F( EFWorldRenderTest, ObjectsDrawnElsewhereAreSkippedAndEveryOtherLosesItsMovedMark ) {
	const struct {
		u32		logicFlags;
		u32		models;
		u32		drawn;
		bool	moved;
	} rows[] = {
		{ 0, 1, 1, false },
		{ EF_LF_NOT_DRAWN, 1, 0, true },
		{ EF_LF_SKY_DOME, 1, 0, true },
		{ 0, 2, 0, false },		// several 3D objects are drawn by the HUD
	};
	u32 id = OBJECT_A;
	for ( const auto& row : rows ) {
		EFGameObject* const object = MakeObject( id++, 0.0f, 0.0f, 5.0f );
		GiveModel( *object );
		object->muiNb3dObj = row.models;
		object->muiLogicFlags = row.logicFlags;
		object->muiFlags |= EF_INSTANCE_MOVED;
		gpoWorldMgr->PrepareRender();
		gWorldDraws.clear();
		gpoWorldMgr->RenderObjects( 0 );
		EXPECT_EQ( gWorldDraws.size(), row.drawn ) << row.logicFlags;
		EXPECT_EQ( ( object->muiFlags & EF_INSTANCE_MOVED ) != 0, row.moved ) << row.logicFlags;
		object->muiNb3dObj = 1;
		gpoWorldMgr->RequestDeletion( object );
		gpoWorldMgr->Update( 0.02f );
	}
}

TEST_F( EFWorldRenderTest, PastTheLastSortEntryTransparentObjectsGoUndrawn ) {
	for ( u32 i = 0; i < EF_RENDER_SORT_ENTRIES + 6; i++ ) {
		Transparent( 0x2a000001 + i, 5.0f, EF_3D_OBJ_ALPHA, i % EF_RENDER_BUCKETS );
	}
	gpoWorldMgr->PrepareRender();
	gpoWorldMgr->RenderObjects( 1 );
	gpoWorldMgr->RenderObjectsTransparent( 1 );
	EXPECT_EQ( gWorldDraws.size(), EF_RENDER_SORT_ENTRIES );
}

TEST_F( EFWorldRenderTest, EachPassSetsAndRestoresItsRenderStatesInOrder ) {
	Transparent( 0x2a000001, 5.0f, EF_3D_OBJ_ALPHA, 1 );
	Transparent( 0x2a000002, 5.0f, EF_3D_OBJ_ADDITIVE, 2 );
	Transparent( 0x2a000003, 5.0f, EF_3D_OBJ_MULTIPLIED, 3 );
	gpoWorldMgr->PrepareRender();
	gpoWorldMgr->RenderObjects( 0 );
	const s64 saved = 0x55;
	TestDeviceSetRenderStateValue( reinterpret_cast<void*>( static_cast<uintptr_t>( saved ) ) );
	TestDeviceClearCalls();
	gpoWorldMgr->RenderObjectsTransparent( 0 );
	const std::vector<std::pair<s32, s64>> transparent = {
		{ 8, 0 }, { 20, -1 }, { 20, 1 }, { 15, -1 }, { 14, -1 },
		{ 10, 5 }, { 11, 6 }, { 15, saved },
		{ 10, 2 }, { 11, 2 }, { 15, 0xFF000000 },
		{ 10, 1 }, { 11, 4 }, { 15, 0xFF000000 },
		{ 15, saved }, { 14, saved }, { 8, 1 }, { 20, saved },
	};
	EXPECT_EQ( StateCalls(), transparent );

	TestDeviceClearCalls();
	gpoWorldMgr->RenderMap( *moCamera );
	EXPECT_EQ( StateCalls(), ( std::vector<std::pair<s32, s64>>{ { 20, -1 }, { 20, 1 }, { 20, saved } } ) );

	EFGameObject* const dome = MakeObject( 0x2a000010, 0.0f, 0.0f, 5.0f );
	RecordingModel* const sky = GiveModel( *dome );
	gpoWorldMgr->muiSpecialObjectId = dome->GetUID();
	TestDeviceClearCalls();
	gWorldDraws.clear();
	gpoWorldMgr->RenderDome( 0 );
	const std::vector<std::pair<s32, s64>> domeStates = {
		{ 14, -1 }, { 6, -1 }, { 8, -1 }, { 14, 0 }, { 6, 0 }, { 8, 0 }, { 14, saved }, { 6, saved }, { 8, saved },
	};
	EXPECT_EQ( StateCalls(), domeStates );
	EXPECT_EQ( Drawn(), ( std::vector<const EF3dObj*>{ sky } ) );
}

TEST_F( EFWorldRenderTest, WithoutFogTheColourIsLeftAloneAndWithoutWorldOrDomeNothingIsDrawn ) {
	Transparent( 0x2a000001, 5.0f, EF_3D_OBJ_ADDITIVE, 1 );
	gpoWorldMgr->PrepareRender();
	gpoWorldMgr->RenderObjects( 0 );
	TestDeviceClearCalls();
	gpoWorldMgr->RenderObjectsTransparent( 0 );
	for ( const auto& call : StateCalls() ) {
		EXPECT_FALSE( call.first == 15 && call.second == 0xFF000000 );
	}
	gpoWorldMgr->EFWorld_SP::Terminate();
	TestDeviceClearCalls();
	gpoWorldMgr->RenderMap( *moCamera );
	gpoWorldMgr->RenderDome( 0 );
	EXPECT_TRUE( StateCalls().empty() );
}

// Records the order maps are drawn in.
struct DrawnMap : EFEnvMap {
	static inline std::vector<const EFEnvMap*> drawn;
	void Render() override { drawn.push_back( this ); }
};

TEST_F( EFWorldRenderTest, EnvironmentMapsAreDrawnNewestFirstAndFreedWithTheLevel ) {
	DrawnMap::drawn.clear();
	DrawnMap* const first = new DrawnMap;
	DrawnMap* const second = new DrawnMap;
	gpoWorldMgr->AddEnvMap( first );
	gpoWorldMgr->AddEnvMap( second );
	gpoWorldMgr->RenderMapTransparent();
	EXPECT_EQ( DrawnMap::drawn, ( std::vector<const EFEnvMap*>{ second, first } ) );
	gpoWorldMgr->Terminate();
	EXPECT_EQ( gpoWorldMgr->GetFirstEnvMap(), nullptr );
}

TEST_F( EFWorldRenderTest, OpaqueObjectsDrawWithTheLowHalfOfTheirCameraWord ) {
	EFGameObject* const object = MakeObject( OBJECT_A, 0.0f, 0.0f, 5.0f );
	GiveModel( *object );
	object->moClipping.clipParams.oDists[0].uiInFrustClipOps = 0x10012341;
	gpoWorldMgr->PrepareRender();
	gpoWorldMgr->RenderObjects( 0 );
	ASSERT_EQ( gWorldDraws.size(), 1u );
	EXPECT_EQ( gWorldDraws[0].clipOps, 0x2341 );
}
