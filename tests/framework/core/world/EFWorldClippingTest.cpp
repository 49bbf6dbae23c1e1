#include "framework/core/world/WorldTestBench.h"

#include "framework/physics/EFPhysic.h"
#include "framework/graphics/EFLight.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpLight.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr u32 OBJECT_A = 0x2a000001;
constexpr u32 OBJECT_B = 0x2a000002;

struct ClipChange {
	u32		band;
	u32		inAny;
	u32		ops;
};

std::vector<ClipChange> gChanges;
std::vector<u32> gProximity;

s32 RecordClipChange( void*, void* data ) {
	gChanges.push_back( *static_cast<const ClipChange*>( data ) );
	return 0;
}

s32 RecordProximityChange( void*, void* data ) {
	gProximity.push_back( static_cast<const u32*>( data )[1] );
	return 0;
}

// Bands at 5 and 20 with a margin of 1, the others unbounded.
EFClippingParams FiveAndTwenty() {
	EFClippingParams params = {};
	params.fThreshold = 1.0f;
	for ( u32 band = 0; band < EF_CLIP_DISTANCE_COUNT; band++ ) {
		params.oDists[band] = { -1.0f, 0x100u * ( band + 1 ), 0x10u * ( band + 1 ) };
	}
	params.oDists[0].fDist = 5.0f;
	params.oDists[1].fDist = 20.0f;
	return params;
}

}

class EFWorldClippingTest : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		gChanges.clear();
		gProximity.clear();
	}
};

TEST_F( EFWorldClippingTest, DistanceBandsHoldAcrossTheMargin ) {
	EFCamera* const camera = MakeCamera();
	EFGameObject* const object = MakeObject( OBJECT_A );
	EFClippingParams params = FiveAndTwenty();
	object->SetClippingParams( &params, 0 );
	gpoWorldMgr->PrepareRender();
	const struct {
		f32		z;
		u32		band;
	} steps[] = {
		{ 10.0f, 1 }, { 6.0f, 1 }, { 4.0001f, 1 }, { 3.99f, 0 }, { 5.0f, 0 }, { 6.0f, 0 }, { 6.01f, 1 },
		{ 30.0f, 2 }, { 2.0f, 0 },
	};
	for ( const auto& step : steps ) {
		MoveTo( *object, 0.0f, 0.0f, step.z );
		gpoWorldMgr->ClipGameObjects();
		EXPECT_EQ( object->moClipping.ui16DistLevel, step.band ) << step.z;
		EXPECT_EQ( object->moClipping.camClipState[0].ui16CamDistLevel, step.band ) << step.z;
		EXPECT_EQ( gpoWorldMgr->ClipDistanceTest( *object, *camera ), step.band ) << step.z;
	}
}

TEST_F( EFWorldClippingTest, ProximityNearsAtFourAndLeavesBeyondSix ) {
	MakeCamera();
	MakeObject( OBJECT_B );
	EFGameObject* const object = MakeObject( OBJECT_A );
	EFProximityClippingParams params = { OBJECT_B, 5.0f, 1.0f, EF_CLIPOP_NOTIFY | EF_CLIPOP_NO_LOGIC };
	object->SetProximityClippingParams( &params );
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PROXIMITYCLIPCHANGE, OBJECT_A, OBJECT_A,
														  &RecordProximityChange, nullptr );
	const struct {
		f32		z;
		u32		near;
		bool	onLogic;
	} steps[] = {
		{ 10.0f, 0, false }, { 4.5f, 0, false }, { 4.0f, 1, true }, { 6.0f, 1, true }, { 6.01f, 0, false },
	};
	for ( const auto& step : steps ) {
		MoveTo( *object, 0.0f, 0.0f, step.z );
		gpoWorldMgr->PrepareRender();
		EXPECT_EQ( object->moProximityClipping.bInProxDist, step.near ) << step.z;
		const std::vector<EFGameObject*> logic = List( EF_WORLD_LOGIC_LIST );
		EXPECT_EQ( std::find( logic.begin(), logic.end(), object ) != logic.end(), step.onLogic ) << step.z;
	}
	// The first pass is forced; then each change.
	EXPECT_EQ( gProximity, ( std::vector<u32>{ 0, 1, 0 } ) );
	// A target that goes leaves the state as it was.
	gpoWorldMgr->RequestDeletion( gpoWorldMgr->FindGameObject( OBJECT_B ) );
	MoveTo( *object, 0.0f, 0.0f, 1.0f );
	gpoWorldMgr->Update( 0.02f );
	EXPECT_EQ( object->moProximityClipping.bInProxDist, 0u );
}

TEST_F( EFWorldClippingTest, AnObjectSeenBySecondCameraOnlyIsInViewWithTheFirstOnItsOutWord ) {
	EFCamera* const away = MakeCamera();
	MakeCamera();
	const RwV3d up = { 0.0f, 1.0f, 0.0f };
	RwFrameRotate( away->GetFrame()->GetRwFrame(), &up, 180.0f, rwCOMBINEREPLACE );
	EFGameObject* const object = MakeObject( OBJECT_A, 0.0f, 0.0f, 8.0f );
	EFClippingParams params = FiveAndTwenty();
	object->SetClippingParams( &params, 0 );
	gpoWorldMgr->PrepareRender();
	EXPECT_EQ( object->moClipping.ui16InFrustum, 1u );
	EXPECT_EQ( object->moClipping.camClipState[0].ui16CamInFrustum, 0u );
	EXPECT_EQ( object->moClipping.camClipState[1].ui16CamInFrustum, 1u );
	EXPECT_EQ( object->moClipping.camClipState[0].uiCamClipOps, params.oDists[1].uiOutFrustClipOps );
	EXPECT_EQ( object->moClipping.camClipState[1].uiCamClipOps, params.oDists[1].uiInFrustClipOps );
	EXPECT_EQ( object->moClipping.uiClipOps, params.oDists[1].uiInFrustClipOps );
}

TEST_F( EFWorldClippingTest, TheDefaultOutWordDropsAnUnseenObjectFromLogicPhysicsAndAnimationInOnePass ) {
	MakeCamera();
	EFGameObject* const object = MakeObject( OBJECT_A, 0.0f, 0.0f, 5.0f );
	GiveModel( *object );
	object->moAnimationMgr.CreateTable( 1 );
	object->CreatePhysic( 0 );
	const std::vector<EFGameObject*> all = { object };
	const std::vector<EFGameObject*> none;
	gpoWorldMgr->PrepareRender();
	EXPECT_EQ( List( EF_WORLD_LOGIC_LIST ), all );
	EXPECT_EQ( List( EF_WORLD_PHYSICS_LIST ), all );
	EXPECT_EQ( List( EF_WORLD_ANIMATION_LIST ), all );
	EXPECT_EQ( List( EF_WORLD_RENDER_LIST ), all );
	MoveTo( *object, 0.0f, 0.0f, -5.0f );
	gpoWorldMgr->ClipGameObjects();
	EXPECT_EQ( object->moClipping.uiClipOps, EF_CLIPOP_DEFAULT_OUT );
	EXPECT_EQ( List( EF_WORLD_LOGIC_LIST ), none );
	EXPECT_EQ( List( EF_WORLD_PHYSICS_LIST ), none );
	EXPECT_EQ( List( EF_WORLD_ANIMATION_LIST ), none );
	EXPECT_EQ( List( EF_WORLD_RENDER_LIST ), none );
	EXPECT_NE( object->mpoPhysic->mui32PhysicFlags & EF_PHYSIC_CLIP_DISABLED, 0u );
	EXPECT_NE( object->moLogicInstance.muiFlags & EF_LOGIC_CLIPPED, 0u );
	EXPECT_EQ( object->moAnimationMgr.muiClipMode, EF_ANIM_CLIP_ALL );
}

TEST_F( EFWorldClippingTest, ListsComeOutInReverseOfTheObjectList ) {
	MakeCamera();
	EFGameObject* const first = MakeObject( OBJECT_A, 0.0f, 0.0f, 5.0f );
	EFGameObject* const second = MakeObject( OBJECT_B, 0.0f, 0.0f, 5.0f );
	gpoWorldMgr->PrepareRender();
	EXPECT_EQ( gpoWorldMgr->GetFirstGameObject(), second );
	EXPECT_EQ( List( EF_WORLD_LOGIC_LIST ), ( std::vector<EFGameObject*>{ first, second } ) );
}

TEST_F( EFWorldClippingTest, ANewObjectsFirstClipChangeReachesLogicInTheSameFrame ) {
	MakeCamera();
	EFGameObject* const object = MakeObject( OBJECT_A, 0.0f, 0.0f, 5.0f );
	object->moClipping.clipParams.oDists[0].uiInFrustClipOps = EF_CLIPOP_NOTIFY | 0x2;
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_CLIPCHANGE, OBJECT_A, OBJECT_A, &RecordClipChange, nullptr );
	gpoWorldMgr->Update( 0.02f );
	ASSERT_EQ( gChanges.size(), 1u );
	EXPECT_EQ( gChanges[0].band, 0u );
	EXPECT_EQ( gChanges[0].inAny, 1u );
	EXPECT_EQ( gChanges[0].ops, EF_CLIPOP_NOTIFY | 0x2 );
	// Nothing changed: nothing sent.
	gpoWorldMgr->Update( 0.02f );
	EXPECT_EQ( gChanges.size(), 1u );
	EXPECT_EQ( object->muiClipTests & EF_CLIPTEST_FORCE_NOTIFY, 0u );
}

TEST_F( EFWorldClippingTest, WithNoActiveCameraTheDistanceBandStaysFiveOnTheLastBandsWords ) {
	EFCamera* const camera = MakeCamera();
	camera->muiFlags &= ~EF_INSTANCE_ACTIVE;
	EFGameObject* const object = MakeObject( OBJECT_A );
	EFClippingParams params = FiveAndTwenty();
	params.oDists[EF_CLIP_DISTANCE_COUNT - 1].uiOutFrustClipOps = EF_CLIPOP_NOTIFY | 0x8;
	object->SetClippingParams( &params, 0 );
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_CLIPCHANGE, OBJECT_A, OBJECT_A, &RecordClipChange, nullptr );
	gpoWorldMgr->PrepareRender();
	EXPECT_EQ( object->moClipping.ui16DistLevel, 5u );
	EXPECT_EQ( object->moClipping.uiClipOps, EF_CLIPOP_NOTIFY | 0x8 );
	ASSERT_EQ( gChanges.size(), 1u );
	EXPECT_EQ( gChanges[0].band, 5u );
	EXPECT_EQ( gChanges[0].inAny, 0u );
}

TEST_F( EFWorldClippingTest, ACameraSlotPastTheObjectsStatesKeepsNoState ) {
	EFCamera* const camera = MakeCamera();
	camera->SetUID( 0x10000007 );
	EFGameObject* const object = MakeObject( OBJECT_A );
	EFClippingParams params = FiveAndTwenty();
	object->SetClippingParams( &params, 0 );
	const EFObjClipping before = object->moClipping;
	const struct {
		f32		z;
		u32		band;
	} steps[] = { { 4.5f, 0 }, { 5.5f, 1 }, { 4.5f, 0 } };	// no margin without a state
	for ( const auto& step : steps ) {
		MoveTo( *object, 0.0f, 0.0f, step.z );
		EXPECT_EQ( gpoWorldMgr->ClipDistanceTest( *object, *camera ), step.band ) << step.z;
	}
	EXPECT_EQ( std::memcmp( object->moClipping.camClipState, before.camClipState, sizeof( before.camClipState ) ), 0 );
}

TEST_F( EFWorldClippingTest, ClumpsMoveOnlyIntoNoWorldAndOnlyOutOfTheirOwn ) {
	MakeCamera();
	RpWorld* const level = gpoWorldMgr->GetCurrentWorld();
	const RwBBox box = { { 10.0f, 10.0f, 10.0f }, { -10.0f, -10.0f, -10.0f } };
	RpWorld* const hud = RpWorldCreate( &box );
	RpClump* const resident = RpClumpCreate();
	RpWorldAddClump( level, resident );
	EFGameObject* const object = MakeObject( OBJECT_A, 0.0f, 0.0f, 5.0f );
	RecordingModel* const model = GiveModel( *object );
	RpWorldAddClump( hud, model->mpClump );
	object->muiUtilFlag = 0;
	gpoWorldMgr->PrepareRender();
	// Seen: the clump stays in the HUD's world.
	EXPECT_EQ( RpClumpGetWorld( model->mpClump ), hud );
	EXPECT_EQ( RpWorldGetNumClumps( level ), 1u );
	// Unseen: it leaves the world it is in, not the level's.
	MoveTo( *object, 0.0f, 0.0f, -5.0f );
	gpoWorldMgr->ClipGameObjects();
	EXPECT_EQ( RpClumpGetWorld( model->mpClump ), nullptr );
	EXPECT_EQ( RpWorldGetNumClumps( level ), 1u );
	EXPECT_EQ( RpClumpGetWorld( resident ), level );
	// Seen again: now in no world, it joins the level's.
	MoveTo( *object, 0.0f, 0.0f, 5.0f );
	gpoWorldMgr->ClipGameObjects();
	EXPECT_EQ( RpClumpGetWorld( model->mpClump ), level );
	EXPECT_EQ( RpWorldGetNumClumps( level ), 2u );
	// A grid draws itself: its quad joins no world, seen, unseen or seen
	// again.
	EFGameObject* const water = MakeObject( OBJECT_B, 0.0f, 0.0f, 5.0f );
	RecordingGrid* const grid = GiveModel<RecordingGrid>( *water, 0x0f000002 );
	water->muiUtilFlag = 0;
	for ( const f32 z : { 5.0f, -5.0f, 5.0f } ) {
		MoveTo( *water, 0.0f, 0.0f, z );
		gpoWorldMgr->ClipGameObjects();
		EXPECT_EQ( RpClumpGetWorld( grid->mpClump ), nullptr ) << z;
	}
	EXPECT_EQ( RpWorldGetNumClumps( level ), 2u );
	RpClumpDestroy( resident );
	RpWorldDestroy( hud );
}

TEST_F( EFWorldClippingTest, TheFrustumTestStopsAtTheFirstVisibleAtomicAndResyncsStaleSpheres ) {
	EFCamera* const camera = MakeCamera();
	EFGameObject* const object = MakeObject( OBJECT_A, 0.0f, 0.0f, -3.0f );
	RecordingModel* const model = GiveModel( *object );
	RpAtomic* const atomic = model->mpAtomic;
	// The stale sphere is re-interpolated from the geometry's morph target.
	RpGeometry* const geometry = RpGeometryCreate( 0, 0, 0 );
	geometry->morphTarget[0].boundingSphere = { { 0.0f, 0.0f, 0.0f }, 1.0f };
	RpAtomicSetGeometry( atomic, geometry, rpATOMICSAMEBOUNDINGSPHERE );
	RpGeometryDestroy( geometry );
	gpoWorldMgr->PrepareRender();
	const struct {
		f32		radius;
		f32		offsetZ;
		bool	stale;
		u32		in;
	} rows[] = {
		{ 1.0f, 0.0f, false, 0 },		// behind the camera
		{ 3.5f, 0.0f, false, 1 },		// reaches past the near plane
		{ 1.0f, 8.0f, false, 1 },		// centre in front
		{ 1.0f, 8.0f, true, 0 },		// the stale sphere is replaced first
	};
	for ( const auto& row : rows ) {
		atomic->boundingSphere = { { 0.0f, 0.0f, row.offsetZ }, row.radius };
		atomic->interpolator.flags = row.stale ? static_cast<s32>( rpINTERPOLATORDIRTYSPHERE ) : 0;
		EXPECT_EQ( gpoWorldMgr->ClipFrustumTest( *object, *camera ), row.in ) << row.radius << " " << row.offsetZ;
	}
	EXPECT_EQ( atomic->interpolator.flags & rpINTERPOLATORDIRTYSPHERE, 0 );
	// Without a 3D object the frame position is tested.
	EFGameObject* const bare = MakeObject( OBJECT_B, 0.0f, 0.0f, 5.0f );
	EXPECT_EQ( gpoWorldMgr->ClipFrustumTest( *bare, *camera ), 1u );
}

TEST_F( EFWorldClippingTest, LightsAndCamerasJoinTheLevelWorldOnce ) {
	EFCamera* const camera = MakeCamera();
	RpWorld* const level = gpoWorldMgr->GetCurrentWorld();
	// The graphics manager put it there; adding again changes nothing.
	gpoWorldMgr->AddCameraInstance( camera );
	EXPECT_EQ( RwCameraGetWorld( camera->mpoRwCamera ), level );
	gpoWorldMgr->RemoveCameraInstance( camera );
	gpoWorldMgr->RemoveCameraInstance( camera );
	EXPECT_EQ( RwCameraGetWorld( camera->mpoRwCamera ), nullptr );
	EFLight* const light = new EFLight( LIGHT_TYPE_POINT );
	ASSERT_NE( light, nullptr );
	gpoWorldMgr->AddLightInstance( light );
	gpoWorldMgr->AddLightInstance( light );
	EXPECT_EQ( RpLightGetWorld( light->mpLight ), level );
	gpoWorldMgr->RemoveLightInstance( light );
	EXPECT_EQ( RpLightGetWorld( light->mpLight ), nullptr );
	delete light;
}
