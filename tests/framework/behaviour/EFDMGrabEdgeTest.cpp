/*
	Ledge grabbing on ledges built in memory, each update inside a physics
	frame: the catch with its turn and the reach cut to its time, hanging,
	the stick along the edge, a corner onto an adjacent edge, the end of a
	ledge, the edge parameter's bounds, the grab bits' range, missed
	frames, and the faults: a hand gone from the slot array, no stick or
	camera, and a zero-length edge beside the held one.
*/
#include "framework/behaviour/BehaviourTestBench.h"
#include "framework/behaviour/SurfacePolygon.h"

#include "framework/behaviour/EFDMGrabEdge.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFWorld.h"
#include "graphics3d/core/RwFrame.h"

namespace {

constexpr u32 HERO = 0x2A000700;
constexpr u32 HAND = 0x51;
constexpr s32 CONFIG = 3;
constexpr s32 ACTION = 4;
constexpr f32 DT = 1.0f / 60.0f;

// The top of a block, y = 2, x in [-1, 1], z in [0, 2]; edge 2 runs from
// (1, 2, 0) to (-1, 2, 0) along its near side, edge 1 from (1, 2, 2) to
// (1, 2, 0) along its right side.
std::vector<DTVector3d> Ledge() {
	return { { -1, 2, 2 }, { 1, 2, 2 }, { 1, 2, 0 }, { -1, 2, 0 } };
}
constexpr u16 NEAR_EDGE = 1 << 2;
constexpr u16 RIGHT_EDGE = 1 << 1;

class EFDMGrabEdgeTest : public BehaviourTestBench {
protected:
	// The hero standing at (x, 1.5, -0.5) facing +z, turned by yaw, its
	// hand 0.5 up and 0.3 forward; the module out of the frame's own run
	// (context 0), driven by Update.
	void PlaceHero( const f32 x, const f32 yaw = 0.0f, const DMGrabEdgeParams* params = nullptr ) {
		const u32 id = nextId++;
		body = MakeModuleBody( id, x, 1.5f, -0.5f, 2 );
		frame = body->GetOwner()->GetFrame()->GetRwFrame();
		DMRotateInPlace( frame, DTVector3d( 0, 1, 0 ), yaw );
		hand = body->moCollisionModel.AddPrimitive( 1, HAND, EF_PRIM_SPHERE, body->GetOwner()->GetFrame() );
		hand->mfMaxRadius = 0.1f;
		hand->moTrans = DTVector3d( 0.0f, 0.5f, 0.3f );
		hand->moBaseAttrib.IntArray[EF_ATTR_ENV_DETECT] = 0x1;
		hand->UpdateCurrentAttribs();
		body->moCollisionModel.PrecalcData();
		handle = DMAdd( id, EF_DM_GRAB_EDGE );
		DMGrabEdgeParams defaults = { 1.0f, 0.5f, HAND, CONFIG, ACTION, 0.5f, 1.0f, 0.0f, 1.0f };
		DMSetParams( handle, const_cast<DMGrabEdgeParams*>( params != nullptr ? params : &defaults ) );
		module = Module<EFDMGrabEdge>( handle );
	}

	// One update of the module in a physics frame, over the polygons.
	void Update( std::vector<SurfacePolygon*> polygons, const u32 frames = 1 ) {
		std::vector<EFEnvCollisionPrim*> list;
		for ( SurfacePolygon* polygon : polygons ) {
			list.push_back( &polygon->Prim() );
		}
		EFDynamicPhysic record = {};
		EFCollisionStage stage = StageOf( record, list );
		for ( u32 i = 0; i < frames; i++ ) {
			RunInFrame( [&] { module->PostColUpdate( &stage, DT ); }, DT );
		}
	}

	DTVector3d HandPos() {
		hand->PrecalcPrimData();
		return hand->moPrimPos;
	}
	DTVector3d At() {
		const RwV3d& at = RwFrameGetLTM( frame )->at;
		return DTVector3d( at.x, at.y, at.z );
	}
	// The stick x that pushes along +x with camera 0.
	static f32 StickTowardPlusX() { return DMCameraLTM()->right.x > 0.0f ? -1.0f : 1.0f; }

	u32					nextId = HERO;
	EFPhysic*			body = nullptr;
	RwFrame*			frame = nullptr;
	EFObjCollisionPrim*	hand = nullptr;
	EFDMGrabEdge*		module = nullptr;
	u32					handle = 0;
};

TEST_F( EFDMGrabEdgeTest, ACharacterCatchesTurnsTowardAndHangsFromALedge ) {
	MakeCamera();
	InstallStick( CONFIG, ACTION );
	SurfacePolygon ledge( Ledge(), 0x1, NEAR_EDGE );
	PlaceHero( 0.0f, 0.4f );
	DMSetStateChangeNotifyBits( handle, 0x3 );
	Update( { &ledge } );
	ASSERT_EQ( DMGetState( handle ), EF_DM_GRAB_REACHING );
	const f32 reachTime = module->mfReachTime;
	EXPECT_GT( reachTime, 0.1f );
	const DTVector3d grab = module->moGrabPoint;
	EXPECT_EQ( grab.y, 2.0f );
	EXPECT_EQ( grab.z, 0.0f );

	Update( { &ledge }, static_cast<u32>( reachTime / DT ) + 1 );
	ASSERT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );
	EXPECT_EQ( module->mi32Phase, EF_DM_GRAB_PHASE_HANG );
	EXPECT_EQ( module->mfReachElapsed, module->mfReachTime );
	// Turned to face the ledge, the hand on the grab point, held.
	EXPECT_NEAR( At().z, 1.0f, 1e-4f );
	EXPECT_NEAR( At().x, 0.0f, 1e-2f );
	const DTVector3d held = HandPos();
	EXPECT_NEAR( held.x, grab.x, 1e-4f );
	EXPECT_NEAR( held.y, 2.0f, 1e-4f );
	EXPECT_NEAR( held.z, 0.0f, 1e-4f );
	EXPECT_EQ( body->moVelocity * body->moVelocity, 0.0f );
	ASSERT_EQ( gDMStateNotes.size(), 2u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, 1u );
	EXPECT_EQ( gDMStateNotes[1].record.ui32State, 2u );
	EXPECT_EQ( gDMStateNotes[1].record.ui32Changed, 2u );

	f32 edge[6] = {};
	DMDoAction( handle, DM_GRAB_EDGE_GET_EDGE, edge );
	EXPECT_EQ( edge[0], -2.0f );
	EXPECT_EQ( edge[4], 1.0f );
}

TEST_F( EFDMGrabEdgeTest, NotificationsFollowTheNotifyBits ) {
	MakeCamera();
	SurfacePolygon ledge( Ledge(), 0x1, NEAR_EDGE );
	PlaceHero( 0.0f );
	DMSetStateChangeNotifyBits( handle, 0x2 );
	Update( { &ledge }, 30 );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );
	ASSERT_EQ( gDMStateNotes.size(), 1u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, 2u );
}

TEST_F( EFDMGrabEdgeTest, TheStickMovesTheHandAlongTheEdgeRoundACornerAndToItsEnd ) {
	MakeCamera();
	EFInputAction* const stick = InstallStick( CONFIG, ACTION );
	SurfacePolygon ledge( Ledge(), 0x1, NEAR_EDGE | RIGHT_EDGE );
	PlaceHero( 0.0f );
	Update( { &ledge }, 30 );
	ASSERT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );

	// Along +x at full speed 1: dt per update.
	stick->GetState().x = StickTowardPlusX();
	const DTVector3d before = HandPos();
	Update( { &ledge } );
	EXPECT_NEAR( HandPos().x - before.x, DT, 1e-5f );
	EXPECT_NEAR( HandPos().z, 0.0f, 1e-5f );

	// To the near edge's far end, which has no neighbour: state 4, the
	// hand held at the end, facing the ledge.
	stick->GetState().x = -StickTowardPlusX();
	Update( { &ledge }, 100 );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_LEDGE_END );
	EXPECT_NEAR( HandPos().x, -1.0f, 1e-4f );
	EXPECT_NEAR( At().z, 1.0f, 1e-4f );
	// It moves again at once when pushed back; the state stays 4.
	stick->GetState().x = StickTowardPlusX();
	Update( { &ledge } );
	EXPECT_NEAR( HandPos().x, -1.0f + DT, 1e-4f );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_LEDGE_END );

	// On past the corner at x = 1 onto the right side: the body turns by
	// the edges' right angle at rate 1 and hangs on the side edge.
	Update( { &ledge }, 120 + 100 );
	EXPECT_EQ( module->mi32Phase, EF_DM_GRAB_PHASE_HANG );
	EXPECT_NEAR( At().x, -1.0f, 1e-4f );
	EXPECT_NEAR( HandPos().x, 1.0f, 1e-4f );
	EXPECT_GT( HandPos().z, 0.5f );
	// To the side edge's end.
	Update( { &ledge }, 100 );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_LEDGE_END );
	EXPECT_NEAR( HandPos().z, 2.0f, 1e-4f );
}

TEST_F( EFDMGrabEdgeTest, WhichEdgesCanBeCaught ) {
	MakeCamera();
	struct Row {
		const char*	name;
		f32			x;
		u32			nearEdge;	// index of the near edge in the polygon
		u16			grab;
		u32			state;
	};
	const Row rows[] = {
		{ "projection at exactly t = 0", 1.0f, 2, NEAR_EDGE, EF_DM_GRAB_REACHING },
		{ "projection at exactly t = 1", -1.0f, 2, NEAR_EDGE, EF_DM_GRAB_REACHING },
		{ "just past t = 0", 1.0001f, 2, NEAR_EDGE, 0 },
		{ "just past t = 1", -1.0001f, 2, NEAR_EDGE, 0 },
		{ "edge without its bit", 0.0f, 2, RIGHT_EDGE, 0 },
		{ "edge 15 of 16", 0.0f, 15, 0xFFFF, EF_DM_GRAB_REACHING },
		{ "edge 16 of 17: no bit for it", 0.0f, 16, 0xFFFF, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<DTVector3d> vertices = Ledge();
		if ( row.nearEdge != 2 ) {
			// An arc behind the near side from (-1, 2, 0) to (1, 2, 0); the
			// closing edge is the near side.
			vertices.clear();
			for ( u32 i = 0; i <= row.nearEdge; i++ ) {
				const f32 a = 3.14159265f * static_cast<f32>( i ) / static_cast<f32>( row.nearEdge );
				vertices.push_back( DTVector3d( -std::cos( a ), 2.0f, std::sin( a ) ) );
			}
			vertices.back() = DTVector3d( 1.0f, 2.0f, 0.0f );
		}
		SurfacePolygon ledge( vertices, 0x1, row.grab );
		PlaceHero( row.x );
		Update( { &ledge } );
		EXPECT_EQ( DMGetState( handle ), row.state );
	}
}


TEST_F( EFDMGrabEdgeTest, AMissedFrameReturnsToSearchingWhilePausedFramesKeepTheHold ) {
	MakeCamera();
	SurfacePolygon ledge( Ledge(), 0x1, NEAR_EDGE );
	PlaceHero( 0.0f );
	Update( { &ledge }, 30 );
	ASSERT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );

	// Three paused frames without the module: the hold goes on.
	gpoWorldMgr->Pause( true );
	for ( int i = 0; i < 3; i++ ) {
		manager.Update( DT );
	}
	gpoWorldMgr->Pause( false );
	Update( { &ledge } );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );
	EXPECT_EQ( module->mi32Phase, EF_DM_GRAB_PHASE_HANG );

	// One frame missed while running: searching again from phase 0,
	// which catches the ledge under the hand at once.
	manager.Update( DT );
	Update( { &ledge } );
	EXPECT_EQ( module->mi32Phase, EF_DM_GRAB_PHASE_REACH );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_REACHING );

	// Logic releases: searching with the phase it had.
	Update( { &ledge }, 5 );
	DMSetParams( handle, nullptr );
	EXPECT_EQ( DMGetState( handle ), 0u );
	EXPECT_EQ( module->mi32Phase, EF_DM_GRAB_PHASE_HANG );
}

TEST_F( EFDMGrabEdgeTest, AHandGoneFromTheSlotsDoesNothing ) {
	MakeCamera();
	SurfacePolygon ledge( Ledge(), 0x1, NEAR_EDGE );
	PlaceHero( 0.0f );
	body->moCollisionModel.SetMaxPrims( 1 );
	Update( { &ledge } );
	EXPECT_EQ( DMGetState( handle ), 0u );
	DMGrabEdgeParams params = {};
	params.ui32HandTag = 0xDEAD;
	DMGetParams( handle, &params );
	EXPECT_EQ( params.ui32HandTag, 0xDEADu );
}

TEST_F( EFDMGrabEdgeTest, WithoutStickOrCameraTheHandStays ) {
	SurfacePolygon ledge( Ledge(), 0x1, NEAR_EDGE );
	// No camera 0: the stick gives nothing.
	InstallStick( CONFIG, ACTION, 1.0f, 0.0f );
	PlaceHero( 0.0f );
	Update( { &ledge }, 30 );
	ASSERT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );
	const DTVector3d held = HandPos();
	Update( { &ledge }, 10 );
	EXPECT_EQ( module->mfInputFactor, 0.0f );
	EXPECT_NEAR( HandPos().x, held.x, 1e-6f );

	// With the camera, then the configuration removed.
	MakeCamera();
	Update( { &ledge } );
	EXPECT_NE( module->mfInputFactor, 0.0f );
	gpoInputMgr->InputConfigRemove( CONFIG );
	const DTVector3d now = HandPos();
	Update( { &ledge }, 10 );
	EXPECT_EQ( module->mfInputFactor, 0.0f );
	EXPECT_NEAR( HandPos().x, now.x, 1e-6f );
}

TEST_F( EFDMGrabEdgeTest, AZeroLengthEdgeBesideTheHeldOneIsNotFollowed ) {
	MakeCamera();
	EFInputAction* const stick = InstallStick( CONFIG, ACTION );
	// (1, 2, 0) twice: edge 2 has no length, edge 3 is the near side.
	SurfacePolygon ledge( { { -1, 2, 2 }, { 1, 2, 2 }, { 1, 2, 0 }, { 1, 2, 0 }, { -1, 2, 0 } }, 0x1,
						  ( 1 << 2 ) | ( 1 << 3 ) );
	PlaceHero( 0.0f );
	Update( { &ledge }, 30 );
	ASSERT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );
	stick->GetState().x = StickTowardPlusX();
	Update( { &ledge }, 90 );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_LEDGE_END );
	const DTVector3d held = HandPos();
	EXPECT_TRUE( std::isfinite( held.x ) && std::isfinite( held.y ) && std::isfinite( held.z ) );
	EXPECT_NEAR( held.x, 1.0f, 1e-4f );
	EXPECT_NEAR( At().z, 1.0f, 1e-4f );
}

TEST_F( EFDMGrabEdgeTest, ReachSpeedZeroNeverEndsAndDistanceZeroEndsAtOnce ) {
	MakeCamera();
	SurfacePolygon ledge( Ledge(), 0x1, NEAR_EDGE );
	DMGrabEdgeParams still = { 1.0f, 0.5f, HAND, CONFIG, ACTION, 0.0f, 1.0f, 0.0f, 1.0f };
	PlaceHero( 0.0f, 0.0f, &still );
	Update( { &ledge }, 120 );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_REACHING );

	// The hand exactly on the edge: hanging in the next update.
	PlaceHero( 0.0f );
	hand->moTrans = DTVector3d( 0.0f, 0.5f, 0.5f );
	hand->PrecalcPrimData();
	Update( { &ledge } );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_REACHING );
	Update( { &ledge } );
	EXPECT_EQ( DMGetState( handle ), EF_DM_GRAB_HANGING );
	EXPECT_NEAR( HandPos().z, 0.0f, 1e-6f );
}

}
