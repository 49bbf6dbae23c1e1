/*
	Climbing: the weighted normal's rule, a character that walks from the
	floor up a wall onto the ceiling through the physics frame, the
	contact limit, the stick's dead zone, and the faults: no set-up,
	the null record, up exactly opposite the surface, the configuration
	removed and no camera 0; spine bones by node index or bone id in a
	10-node skeleton read from a written clump (index 50 finds none)
	bending with the surface.
*/
#include "framework/behaviour/SkeletonTestBench.h"
#include "framework/behaviour/SurfacePolygon.h"

#include "framework/behaviour/EFDMClimb.h"
#include "framework/behaviour/EFDMGroundGrip.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpClump.h"

#include <vector>

namespace {

constexpr u32 HERO = 0x2A000800;
constexpr s32 CONFIG = 5;
constexpr s32 ACTION = 6;
constexpr f32 DT = 1.0f / 60.0f;
constexpr u32 CLIMBABLE = 0xA01;

DTVector3d Row3( const RwV3d& v ) {
	return DTVector3d( v.x, v.y, v.z );
}

TEST( EFDMClimbNormalTest, WeightsByInverseSquaredDistanceFromAFloorOf0_01 ) {
	// Two faces through the probe's neighbourhood: a floor and a wall.
	SurfacePolygon floor( SquareAt( 0.0f, 5.0f ), CLIMBABLE );
	SurfacePolygon wall( { { 1, -5, 5 }, { 1, 5, 5 }, { 1, 5, -5 }, { 1, -5, -5 } }, CLIMBABLE );  // x = 1, facing -x
	SurfacePolygon other( SquareAt( 0.01f, 5.0f ), 0x1 );  // not climbable
	std::vector<EFEnvCollisionPrim*> list = { &floor.Prim(), &wall.Prim(), &other.Prim() };
	EFDynamicPhysic record = {};
	EFCollisionStage stage = {};
	stage.mpoRecord = &record;
	stage.mppoEnvPrims = list.data();
	stage.mui32NbEnvPrims = static_cast<u32>( list.size() );
	struct Row {
		const char*	name;
		DTVector3d	point;
		f32			nearest;
		f32			ratio;	// floor weight over wall weight
	};
	const Row rows[] = {
		// 0.05 and 0.2 from the faces: 0.0025 counts as 0.01.
		{ "floor under 0.1", { 0.8f, 0.05f, 0 }, 0.01f, ( 0.04f * 0.04f ) / ( 0.01f * 0.01f ) },
		{ "both under 0.1", { 0.95f, 0.02f, 0 }, 0.01f, 1.0f },
		{ "both farther", { 0.5f, 0.25f, 0 }, 0.0625f, ( 0.25f * 0.25f ) / ( 0.0625f * 0.0625f ) },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DTVector3d normal;
		f32 nearest = 0.0f;
		ASSERT_EQ( EFCollisionStage_FindWeightedAvgNormal( &stage, row.point, EF_DM_CLIMB_PROBE_MASK, &normal, &nearest ),
				   1u );
		EXPECT_NEAR( nearest, row.nearest, 1e-6f );
		// normal ~ (-w_wall, w_floor, 0): the ratio of its components.
		EXPECT_NEAR( normal.y / -normal.x, row.ratio, row.ratio * 1e-3f );
		EXPECT_NEAR( normal * normal, 1.0f, 1e-5f );
	}
	DTVector3d normal( 1, 1, 1 );
	f32 nearest = 0.0f;
	EXPECT_EQ( EFCollisionStage_FindWeightedAvgNormal( &stage, { 0, 9, 0 }, EF_DM_CLIMB_PROBE_MASK, &normal, &nearest ),
			   0u );
	EXPECT_EQ( nearest, 11.0f );
	EXPECT_EQ( normal * normal, 0.0f );
	EXPECT_EQ( EFCollisionStage_FindWeightedAvgNormal( nullptr, { 0, 0, 0 }, 0xA00, &normal, &nearest ), 0u );
}

class EFDMClimbTest : public SkeletonTestBench {
protected:
	// Camera 0 behind and above the origin, looking along +z.
	EFCamera* Camera() {
		EFCamera* const camera = MakeCamera();
		RwFrame* const frame = camera->GetFrame()->GetRwFrame();
		frame->modelling.pos = { 0.0f, 2.0f, -5.0f };
		RwFrameUpdateObjects( frame );
		return camera;
	}

	// A climbing module on a new body at pos, out of the frame's own run;
	// Pass drives it over the polygons.
	EFDMClimb* Direct( const DTVector3d& pos, DMClimbParams* params ) {
		body = MakeModuleBody( nextId, pos.x, pos.y, pos.z );
		handle = DMAdd( nextId++, EF_DM_CLIMB );
		if ( params != nullptr ) {
			DMSetParams( handle, params );
		}
		frame = body->GetOwner()->GetFrame()->GetRwFrame();
		return Module<EFDMClimb>( handle );
	}
	void Pass( EFDMClimb* climb, std::vector<SurfacePolygon*> polygons ) {
		std::vector<EFEnvCollisionPrim*> list;
		for ( SurfacePolygon* polygon : polygons ) {
			list.push_back( &polygon->Prim() );
		}
		record = {};
		record.fFrameBSphereRadius = 0.5f;
		EFCollisionStage stage = StageOf( record, list );
		climb->PreColUpdate( record, DT );
		climb->PostColUpdate( &stage, DT );
	}

	DTVector3d Up() { return Row3( RwFrameGetLTM( frame )->up ); }


	u32				nextId = HERO;
	EFPhysic*		body = nullptr;
	RwFrame*		frame = nullptr;
	u32				handle = 0;
	EFDynamicPhysic	record = {};
};

TEST_F( EFDMClimbTest, ACharacterWalksFromTheFloorUpAWallOntoTheCeiling ) {
	ToolColAttribs climbable;
	climbable.detectedBy = CLIMBABLE;
	// A corridor along +z closed by a wall at z = 6, roofed at y = 5, a
	// bevel between wall and roof.
	AddWorld( World( { Floor( 0.0f, 6.0f ), Quad( { -6, 4, 6 }, { 6, 4, 6 }, { 6, -1, 6 }, { -6, -1, 6 } ),
					   Quad( { -6, 5, 5 }, { 6, 5, 5 }, { 6, 4, 6 }, { -6, 4, 6 } ),
					   Quad( { -6, 5, -6 }, { 6, 5, -6 }, { 6, 5, 5 }, { -6, 5, 5 } ) },
					 climbable ) );
	Camera();
	InstallStick( CONFIG, ACTION, 0.0f, 1.0f );
	MakeSphere( HERO, DTVector3d( 0.0f, 0.5f, 0.0f ) );
	EFPhysic* const hero = gpoWorldMgr->FindGameObject( HERO )->mpoPhysic;
	hero->mui32CurrentContext = 1;
	RecordStates( HERO );
	frame = hero->GetOwner()->GetFrame()->GetRwFrame();
	DMGroundGripParams grip = { 200.0f, 3.1415f };  // any surface holds
	DMSetParams( Add( HERO, EF_DM_GROUND_GRIP ), &grip );
	DMClimbParams params;
	DMClimbParamsInit( &params );
	params.ui32InputConfigId = CONFIG;
	params.ui32ActionId = ACTION;
	params.fMaxSpeed = 2.0f;
	handle = Add( HERO, EF_DM_CLIMB );
	DMSetParams( handle, &params );
	DMSetStateChangeNotifyBits( handle, 0x3 );

	bool wall = false;
	bool ceiling = false;
	u32 offSurface = 0;
	f32 pitchTarget = 0.0f;
	for ( int i = 0; i < 60 * 7; i++ ) {
		Step( 60u );
		const DTVector3d at = WorldPos( *hero->GetOwner() );
		offSurface += DMGetState( handle ) == EF_DM_CLIMB_OFF_SURFACE ? 1 : 0;
		wall = wall || ( at.y > 2.5f && Up().z < -0.99f );
		ceiling = ceiling || ( wall && Up().y < -0.99f && at.y > 4.0f );
		DMClimbParams now;
		DMGetParams( handle, &now );
		EXPECT_EQ( now.ui32ProbeMask, EF_DM_CLIMB_PROBE_MASK );
		// The bends stay within what their rates and factors allow.
		EXPECT_LE( std::fabs( now.fPitchBend ), 3.1416f );
		EXPECT_LE( std::fabs( now.fRollBend ), 3.1416f );
		pitchTarget = std::fmax( pitchTarget, std::fabs( now.fPitchBend ) );
	}
	EXPECT_TRUE( wall );
	EXPECT_TRUE( ceiling );
	EXPECT_EQ( offSurface, 0u );
	// Walking on along the ceiling, back toward the camera.
	const DTVector3d end = WorldPos( *hero->GetOwner() );
	EXPECT_NEAR( end.y, 4.5f, 0.02f );
	EXPECT_LT( end.z, 3.0f );
	EXPECT_LT( Up().y, -0.99f );
	// On the surface from the first update: one notification of state 1.
	ASSERT_GE( gDMStateNotes.size(), 1u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, 1u );
	EXPECT_EQ( gDMStateNotes.size(), 1u );
	EXPECT_GT( pitchTarget, 0.0f );
}

TEST_F( EFDMClimbTest, TheCentreProbeAtExactlyTheLimitIsOnTheSurface ) {
	Camera();
	SurfacePolygon floor( SquareAt( 0.0f, 5.0f ), CLIMBABLE );
	const f32 y = 0.6f;
	const f32 d = y + 1.0f * 0.05f;
	for ( const f32 limit : { d * d, std::nextafter( d * d, 0.0f ) } ) {
		DMClimbParams params;
		DMClimbParamsInit( &params );
		params.fContactLimit = limit;
		EFDMClimb* const climb = Direct( DTVector3d( 0, y, 0 ), &params );
		Pass( climb, { &floor } );
		EXPECT_EQ( DMGetState( handle ), limit == d * d ? EF_DM_CLIMB_ON_SURFACE : EF_DM_CLIMB_OFF_SURFACE );
		// The radius is put back only off the surface.
		EXPECT_EQ( body->moCollisionModel.moPhysicBSphere.mfRadius, limit == d * d ? 1.75f : 0.5f );
	}
}

TEST_F( EFDMClimbTest, AStickInTheDeadZoneKeepsTheYawBendAndDoesNotSteer ) {
	Camera();
	EFInputAction* const stick = InstallStick( CONFIG, ACTION, 0.0f, 0.0f );
	SurfacePolygon floor( SquareAt( 0.0f, 5.0f ), CLIMBABLE );
	DMClimbParams params;
	DMClimbParamsInit( &params );
	params.ui32InputConfigId = CONFIG;
	params.ui32ActionId = ACTION;
	EFDMClimb* const climb = Direct( DTVector3d( 0, 0.5f, 0 ), &params );
	// A sideways push builds a yaw bend.
	stick->GetState().x = 1.0f;
	Pass( climb, { &floor } );
	const f32 bend = climb->mfYawBend;
	EXPECT_NE( bend, 0.0f );
	stick->GetState().x = 0.00007f;
	stick->GetState().y = 0.00007f;
	const RwMatrix before = frame->modelling;
	Pass( climb, { &floor } );
	EXPECT_EQ( climb->mfYawBend, bend );
	EXPECT_EQ( climb->mfStickMagnitude, 0.0f );
	EXPECT_EQ( record.oTargetVelocity * record.oTargetVelocity, 0.0f );
	EXPECT_EQ( std::memcmp( &before.at, &frame->modelling.at, sizeof( RwV3d ) ), 0 );
	// DoAction, any code, clears the bends.
	DMDoAction( handle, 77, nullptr );
	EXPECT_EQ( climb->mfYawBend, 0.0f );
}

TEST_F( EFDMClimbTest, NothingRunsBeforeASetUpAndTheNullRecordTakesTheDefaults ) {
	Camera();
	SurfacePolygon floor( SquareAt( 0.0f, 5.0f ), CLIMBABLE );
	EFDMClimb* const climb = Direct( DTVector3d( 0, 0.5f, 0 ), nullptr );
	DMSetContextMask( handle, 1 );
	Pass( climb, { &floor } );
	EXPECT_EQ( DMGetState( handle ), 0u );
	EXPECT_EQ( record.oAppliedAccel * record.oAppliedAccel, 0.0f );
	EXPECT_EQ( record.fFrameBSphereRadius, 0.5f );
	// And through the physics frame.
	Step( 60u, 3u );
	EXPECT_EQ( DMGetState( handle ), 0u );

	DMSetParams( handle, nullptr );
	Pass( climb, { &floor } );
	EXPECT_EQ( DMGetState( handle ), EF_DM_CLIMB_ON_SURFACE );
	DMClimbParams expected;
	DMClimbParamsInit( &expected );
	expected.ui32ProbeMask = EF_DM_CLIMB_PROBE_MASK;
	DMClimbParams now;
	DMGetParams( handle, &now );
	EXPECT_EQ( std::memcmp( &now, &expected, sizeof now ), 0 );
	EXPECT_EQ( now.aui32SpineBone[2], 9999999u );
	EXPECT_EQ( now.afProbeOffset[3], -0.3f );
	// Gravity (0, -9.8, 0) pulled while off a surface (state 0 then).
	EXPECT_EQ( climb->moGravity.y, -9.8f );
}

TEST_F( EFDMClimbTest, UpsideDownOverAFloorTurnsAboutTheRightAxisKeepingUnitRows ) {
	Camera();
	SurfacePolygon floor( SquareAt( 0.0f, 5.0f ), CLIMBABLE );
	DMClimbParams params;
	DMClimbParamsInit( &params );
	EFDMClimb* const climb = Direct( DTVector3d( 0, 0.5f, 0 ), &params );
	// Turned over about z: up (0, -1, 0), the probes 0.05 lower.
	DMRotateInPlace( frame, DTVector3d( 0, 0, 1 ), 3.14159265f );
	frame->modelling.up = { 0.0f, -1.0f, 0.0f };
	frame->modelling.right = { -1.0f, 0.0f, 0.0f };
	RwFrameUpdateObjects( frame );
	f32 previous = Up().y;
	for ( int i = 0; i < 40; i++ ) {
		Pass( climb, { &floor } );
		ASSERT_EQ( DMGetState( handle ), EF_DM_CLIMB_ON_SURFACE );
		const RwMatrix& m = frame->modelling;
		for ( const RwV3d* row : { &m.right, &m.up, &m.at } ) {
			EXPECT_NEAR( Row3( *row ) * Row3( *row ), 1.0f, 1e-4f );
		}
		EXPECT_GE( Up().y, previous );
		previous = Up().y;
	}
	EXPECT_NEAR( Up().y, 1.0f, 1e-4f );
}

TEST_F( EFDMClimbTest, NoSteeringWithoutCameraOrOnceTheConfigurationIsGone ) {
	SurfacePolygon floor( SquareAt( 0.0f, 5.0f ), CLIMBABLE );
	InstallStick( CONFIG, ACTION, 1.0f, 1.0f );
	DMClimbParams params;
	DMClimbParamsInit( &params );
	params.ui32InputConfigId = CONFIG;
	params.ui32ActionId = ACTION;
	EFDMClimb* const climb = Direct( DTVector3d( 0, 0.5f, 0 ), &params );
	Pass( climb, { &floor } );
	EXPECT_EQ( climb->mfStickMagnitude, 0.0f );
	EXPECT_EQ( record.oTargetVelocity * record.oTargetVelocity, 0.0f );

	Camera();
	Pass( climb, { &floor } );
	EXPECT_EQ( climb->mfStickMagnitude, 1.0f );
	EXPECT_GT( record.oTargetVelocity * record.oTargetVelocity, 0.0f );

	gpoInputMgr->InputConfigRemove( CONFIG );
	Pass( climb, { &floor } );
	EXPECT_EQ( climb->mfStickMagnitude, 0.0f );
	EXPECT_EQ( record.oTargetVelocity * record.oTargetVelocity, 0.0f );
	EXPECT_EQ( climb->mpoAction, nullptr );
}

TEST_F( EFDMClimbTest, SpineBonesAreFoundWithinTheSkeletonAndBendWithTheSurface ) {
	Camera();
	InstallStick( CONFIG, ACTION, 0.0f, 1.0f );
	// A floor and, just ahead, a wall: the probes see the surface curve.
	SurfacePolygon floor( SquareAt( 0.0f, 5.0f ), CLIMBABLE );
	SurfacePolygon wall( { { -5, -5, 0.6f }, { 5, -5, 0.6f }, { 5, 5, 0.6f }, { -5, 5, 0.6f } }, CLIMBABLE );
	struct Row {
		const char*	name;
		u32			ids[3];
		s32			found[3];	// node, -1 for none
	};
	const Row rows[] = {
		{ "node indices", { 1, 2, 3 }, { 1, 2, 3 } },
		{ "bone ids", { 0x10000, 0x10000 + 50, 0x10000 + 90 }, { 0, 5, 9 } },
		{ "index past the 10 nodes, unknown ids", { 50, 0xFFFF, 9999999 }, { -1, -1, -1 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		DMClimbParams params;
		DMClimbParamsInit( &params );
		params.ui32InputConfigId = CONFIG;
		params.ui32ActionId = ACTION;
		std::copy( std::begin( row.ids ), std::end( row.ids ), params.aui32SpineBone );
		EFDMClimb* const climb = Direct( DTVector3d( 0, 0.5f, 0 ), nullptr );
		const RpHAnimHierarchy& bones = GiveSkeleton( *static_cast<EFGameObject*>( body->GetOwner() ) );
		DMSetParams( handle, &params );
		for ( u32 i = 0; i < 3; i++ ) {
			EXPECT_EQ( climb->mapoBone[i], row.found[i] < 0 ? nullptr : bones.pNodeInfo[row.found[i]].pFrame ) << i;
		}
		for ( int pass = 0; pass < 3; pass++ ) {
			Pass( climb, { &floor, &wall } );
		}
		DMClimbParams now;
		DMGetParams( handle, &now );
		EXPECT_NE( now.fPitchBend, 0.0f );
		// Never past the rate: three updates at 6 rad/s.
		EXPECT_LE( std::fabs( now.fPitchBend ), 3.0f * 6.0f * DT + 1e-6f );
		EXPECT_LE( std::fabs( now.fRollBend ), 3.0f * 6.0f * DT + 1e-6f );
		// Exactly the spine bones found have turned.
		u32 turnedBones = 0;
		for ( s32 k = 0; k < 10; k++ ) {
			const RwMatrix& m = bones.pNodeInfo[k].pFrame->modelling;
			turnedBones += m.up.y < 1.0f - 1e-6f ? 1 : 0;
		}
		EXPECT_EQ( turnedBones, row.found[0] < 0 ? 0u : 3u );
	}
}

}
