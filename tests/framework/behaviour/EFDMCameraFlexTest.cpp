/*
	Camera module: the goal of each mode with smoothing 0, the smoothing
	share, the acceleration cap, orbiting and the dead zone, the fixed
	view's matrix, the logic callback of mode 7, the obstruction states of
	mode 2 against a wall, the upright look-at frame, the defaults, and
	targets and animation objects named by their own logic or deleted.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMCameraFlex.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "datatypes/maths/DTFrame.h"
#include "graphics3d/core/RwMatrixCombine.h"

#include <cmath>
#include <cstring>

namespace {

constexpr u32 CAMERA = 0x2A000A00;
constexpr u32 TARGET = 0x2A000A01;
constexpr s32 CONFIG = 3;
constexpr s32 STICK = 4;
constexpr u32 CALLBACK = 2;
constexpr f32 DT = 0.1f;

DMCameraFlexCallbackRecord gAsked;

s32 AnswerCamera( void* data ) {
	DMCameraFlexCallbackRecord& record = *static_cast<DMCameraFlexCallbackRecord*>( data );
	gAsked = record;
	record.oCameraPosition = DTVector3d( 1.0f, 2.0f, 3.0f );
	record.oLookAt = DTVector3d( 1.0f, 2.0f, 13.0f );
	return 0;
}

class EFDMCameraFlexTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		target = MakeObject( TARGET, 0.0f, 0.0f, 0.0f );
		body = MakeModuleBody( CAMERA, 0.0f, 1.0f, -3.0f );
		handle = Add( CAMERA, EF_DM_CAMERA_FLEX );
		camera = Module<EFDMCameraFlex>( handle );
		DMGetParams( handle, &params );
		params.ui32TargetId = TARGET;
		params.fHorizontalSmoothing = 0.0f;
		params.fVerticalSmoothing = 0.0f;
		params.fOrientationSmoothing = 0.0f;
		params.fMaxAcceleration = 1e9f;
	}

	void Configure( const s32 mode, const DTVector3d& offset, const DTVector3d& look = DTVector3d() ) {
		params.i32Mode = mode;
		params.oOffset = offset;
		params.oLookOffset = look;
		DMSetParams( handle, &params );
	}

	// The move the module asks for in one pass (as a displacement).
	DTVector3d Pass( const f32 dt = DT ) {
		EFDynamicPhysic record = RecordOf( body );
		EXPECT_EQ( camera->PreColUpdate( record, dt ), 1u );
		return body->moVelocity * dt;
	}

	static ToolColAttribs CameraWall() {
		ToolColAttribs attribs;
		attribs.detectedBy = 0x4;
		return attribs;
	}

	DTVector3d CameraPos() const { return WorldPos( *OwnerOf( body ) ); }
	const RwMatrix& CameraMatrix() const { return OwnerOf( body )->GetFrame()->GetRwFrame()->modelling; }

	EFGameObject*		target = nullptr;
	EFPhysic*			body = nullptr;
	u32					handle = 0;
	EFDMCameraFlex*		camera = nullptr;
	DMCameraFlexParams	params = {};
};

DTVector3d RowOf( const RwV3d& v ) { return DTVector3d( v.x, v.y, v.z ); }

TEST_F( EFDMCameraFlexTest, DeltaForceCoversTheSmoothedShare ) {
	const struct {
		f32 c, dt, expected;
	} rows[] = {
		{ 0.0f, DT, 1.0f },		   { 1e-7f, DT, 1.0f },		   { 0.5f, DT, 0.2f },
		{ 0.05f, DT, 1.0f },	   { 1.0f, 1e-6f, 0.0f },	   { 1.0f, 2e-6f, 2e-6f },
	};
	for ( const auto& row : rows ) {
		EXPECT_FLOAT_EQ( EFDMCameraFlex::DeltaForce( row.c, row.dt ), row.expected ) << row.c << " " << row.dt;
	}
}

TEST_F( EFDMCameraFlexTest, EachModeSetsItsGoalAndTheCameraLooksAtTheTarget ) {
	// The target turned a quarter turn: its forward axis is +x.
	RwFrame* const frame = target->GetFrame()->GetRwFrame();
	const RwV3d up = { 0.0f, 1.0f, 0.0f };
	RwMatrixRotate( &frame->modelling, &up, 90.0f, rwCOMBINEREPLACE );
	frame->modelling.pos = { 1.0f, 0.0f, 0.0f };
	RwFrameUpdateObjects( frame );
	const struct {
		s32 mode;
		DTVector3d goal;
	} rows[] = {
		{ EF_DM_CAMERA_TARGET_FRAME, { -1.0f, 2.0f, 0.0f } },
		{ EF_DM_CAMERA_WORLD_OFFSET, { 1.0f, 2.0f, -2.0f } },
		{ EF_DM_CAMERA_FIXED, { 0.0f, 2.0f, -2.0f } },
		{ EF_DM_CAMERA_FIXED_VIEW, { 0.0f, 2.0f, -2.0f } },
		{ 9, { 0.0f, 1.0f, -3.0f } },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.mode );
		MoveTo( *OwnerOf( body ), 0.0f, 1.0f, -3.0f );
		Configure( row.mode, DTVector3d( 0.0f, 2.0f, -2.0f ) );
		const DTVector3d goal = CameraPos() + Pass();
		EXPECT_NEAR( ( goal - row.goal ).LengthSquare(), 0.0f, 1e-9f );
		EXPECT_EQ( body->mfFallingTimer, body->mfFallingDelay );
	}
	// Mode 4 with smoothing 0 stands on the offset after one physics frame.
	MoveTo( *OwnerOf( body ), 0.0f, 1.0f, -3.0f );
	Configure( EF_DM_CAMERA_FIXED, DTVector3d( 2.0f, 1.5f, -1.0f ) );
	Step( 10u );
	EXPECT_NEAR( ( CameraPos() - DTVector3d( 2.0f, 1.5f, -1.0f ) ).LengthSquare(), 0.0f, 1e-8f );
	// Looking at the target from there (orientation smoothing 0) in an
	// upright orthonormal frame.
	const RwMatrix& m = CameraMatrix();
	const DTVector3d toTarget = DTVector3d( 1.0f, 0.0f, 0.0f ) - CameraPos();
	EXPECT_NEAR( RowOf( m.at ) * toTarget, std::sqrt( toTarget.LengthSquare() ), 1e-3f );
	EXPECT_NEAR( m.right.y, 0.0f, 1e-6f );
	EXPECT_GT( m.up.y, 0.0f );
	EXPECT_NEAR( RowOf( m.right ) * RowOf( m.up ), 0.0f, 1e-3f );
	EXPECT_NEAR( RowOf( m.up ) * RowOf( m.at ), 0.0f, 1e-3f );
	EXPECT_NEAR( RowOf( m.up ).LengthSquare(), 1.0f, 1e-3f );
}

TEST_F( EFDMCameraFlexTest, TheAccelerationCapActsOnlyAboveSmoothing005 ) {
	for ( const f32 smoothing : { 0.05f, 0.06f } ) {
		SCOPED_TRACE( smoothing );
		MoveTo( *OwnerOf( body ), 0.0f, 0.0f, -10.0f );
		params.fHorizontalSmoothing = smoothing;
		params.fMaxAcceleration = 25.0f;
		camera->mfSpeed = 0.0f;
		Configure( EF_DM_CAMERA_FIXED, DTVector3d( 0.0f, 0.0f, 10.0f ) );
		const DTVector3d v = Pass() * ( 1.0f / DT );
		const f32 expected = smoothing > 0.05f ? 25.0f * DT : 20.0f * 1.0f / DT;
		EXPECT_NEAR( std::sqrt( v.LengthSquare() ), expected, 1e-3f );
		EXPECT_FLOAT_EQ( camera->mfSpeed, expected );
		EXPECT_NEAR( camera->moPredicted.z, -10.0f + expected * DT, 1e-4f );
	}
}

TEST_F( EFDMCameraFlexTest, OrbitingWrapsTheYawLimitsThePitchAndIgnoresTheDeadZone ) {
	EFInputAction* const stick = InstallStick( CONFIG, STICK );
	params.ui32InputConfigId = CONFIG;
	params.ui32ActionId = STICK;
	params.ui32Flags = EF_DM_CAMERA_STICK_ORBITS;
	params.fOrbitSpeed = 1.0f;
	const RwMatrix& T = *RwFrameGetLTM( target->GetFrame()->GetRwFrame() );
	const struct {
		f32 x, y, yaw, pitch, yawAfter, pitchAfter;
	} rows[] = {
		{ 1.0f, 0.0f, 6.2f, 1.0f, 6.3f - 6.2831855f, 1.0f },
		{ -1.0f, 0.0f, 0.05f, 1.0f, 0.05f - 0.1f + 6.2831855f, 1.0f },
		{ 0.0f, -1.0f, 1.0f, 0.05f, 1.0f, 0.0f },
		{ 0.0f, 1.0f, 1.0f, 3.0f, 1.0f, 3.0415928f },
		{ 0.0078f, -0.0078f, 1.0f, 1.0f, 1.0f, 1.0f },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.x );
		params.fYaw = row.yaw;
		params.fPitch = row.pitch;
		Configure( EF_DM_CAMERA_ORBIT, DTVector3d( 0.0f, 0.0f, -2.0f ) );
		stick->GetState() = { row.x, row.y, 0 };
		EXPECT_EQ( camera->OrbitCam( &stick->GetState(), T, DT ), row.x != 0.0078f );
		EXPECT_NEAR( camera->mfYaw, row.yawAfter, 1e-6f );
		EXPECT_FLOAT_EQ( camera->mfPitch, row.pitchAfter );
	}
	// In the dead zone neither orbit nor free look turns anything.
	params.ui32Flags = 0;
	Configure( EF_DM_CAMERA_TARGET_FRAME, DTVector3d( 0.0f, 0.0f, -2.0f ) );
	EXPECT_FALSE( camera->FirstPersonView( &stick->GetState(), T, *OwnerOf( body )->GetFrame(), DT ) );
	// Other modes turn the offset about the pivot's vertical: a quarter turn.
	params.ui32Flags = EF_DM_CAMERA_STICK_ORBITS;
	params.fOrbitSpeed = 1.5707964f / DT;
	Configure( EF_DM_CAMERA_WORLD_OFFSET, DTVector3d( 0.0f, 1.0f, -2.0f ) );
	stick->GetState() = { 1.0f, 0.0f, 0 };
	EXPECT_TRUE( camera->OrbitCam( &stick->GetState(), T, DT ) );
	EXPECT_NEAR( ( camera->moOffset - DTVector3d( -2.0f, 1.0f, 0.0f ) ).LengthSquare(), 0.0f, 1e-10f );
}

TEST_F( EFDMCameraFlexTest, TheFixedViewBuildsTheModuleMatrixUprightOrAlongZForAVerticalView ) {
	const struct {
		DTVector3d from, right, up, at;
	} rows[] = {
		{ { 0.0f, 5.0f, 0.0f }, { 1.0f, 0.0f, 0.0f }, { 0.0f, 0.0f, 1.0f }, { 0.0f, -1.0f, 0.0f } },
		{ { 0.0f, 0.0f, -5.0f }, { 1.0f, 0.0f, 0.0f }, { 0.0f, 1.0f, 0.0f }, { 0.0f, 0.0f, 1.0f } },
	};
	for ( const auto& row : rows ) {
		Configure( EF_DM_CAMERA_FIXED_VIEW, row.from );
		Pass();
		const RwMatrix& m = *camera->mpoMatrix;
		EXPECT_NEAR( ( RowOf( m.right ) - row.right ).LengthSquare(), 0.0f, 1e-6f );
		EXPECT_NEAR( ( RowOf( m.up ) - row.up ).LengthSquare(), 0.0f, 1e-6f );
		EXPECT_NEAR( ( RowOf( m.at ) - row.at ).LengthSquare(), 0.0f, 1e-6f );
		EXPECT_EQ( RowOf( m.pos ).LengthSquare(), row.from.LengthSquare() );
		EXPECT_EQ( m.flags, 0u );
		EXPECT_EQ( camera->mbMatrixOrientation, 1u );
	}
}

TEST_F( EFDMCameraFlexTest, ModeSevenAsksTheCameraLogicForGoalAndLookAt ) {
	LogicFakeModule code;
	code.SetFunctions( { { CALLBACK, AnswerCamera } } );
	OwnerOf( body )->moLogicInstance.mpLogicCode = &code;
	params.ui32CallbackId = CALLBACK;
	MoveTo( *target, 0.0f, 0.0f, 5.0f );
	Configure( EF_DM_CAMERA_LOGIC, DTVector3d(), DTVector3d( 0.0f, 1.0f, 0.0f ) );
	const DTVector3d goal = CameraPos() + Pass();
	EXPECT_FLOAT_EQ( gAsked.fDt, DT );
	EXPECT_EQ( gAsked.oCameraPosition.z, -3.0f );
	EXPECT_EQ( gAsked.oLookAt.y, 1.0f );
	EXPECT_EQ( gAsked.oLookAt.z, 5.0f );
	EXPECT_NEAR( ( goal - DTVector3d( 1.0f, 2.0f, 3.0f ) ).LengthSquare(), 0.0f, 1e-9f );
	// The view turns toward the answered point, straight along +z.
	EXPECT_NEAR( CameraMatrix().at.z, 1.0f, 1e-3f );
	OwnerOf( body )->moLogicInstance.mpLogicCode = nullptr;
}

TEST_F( EFDMCameraFlexTest, ModeTwoPullsInFrontOfAWallAndJumpsWhenFarBehind ) {
	// The target at the origin faces +z; the wall at z = 1.5 faces it and
	// stops camera rays. Rays pass a polygon from behind.
	AddWorld( World( { WallFacingMinusZ( 1.5f ) }, CameraWall() ) );
	const struct {
		const char* name;
		f32 turn;
		DTVector3d n;
	} rows[] = {
		// The second ray, from behind the wall, hits nothing.
		{ "one normal", 0.0f, { 0.0f, 0.0f, -1.0f } },
		// Both faces: the normals cancel, the side vector is used (the
		// target's forward axis on the camera's right axis).
		{ "normals cancel", 45.0f, { 1.0f, 0.0f, 0.0f } },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		if ( row.turn != 0.0f ) {
			AddWorld( World( { Quad( { -20, -20, 1.5f }, { 20, -20, 1.5f }, { 20, 20, 1.5f }, { -20, 20, 1.5f } ) },
							 CameraWall() ) );
			const RwV3d up = { 0.0f, 1.0f, 0.0f };
			RwMatrixRotate( &target->GetFrame()->GetRwFrame()->modelling, &up, row.turn, rwCOMBINEREPLACE );
			RwFrameUpdateObjects( target->GetFrame()->GetRwFrame() );
		}
		RwMatrix& cameraMatrix = OwnerOf( body )->GetFrame()->GetRwFrame()->modelling;
		_rwMatrixSetIdentity( &cameraMatrix );
		MoveTo( *OwnerOf( body ), 0.5f, 1.0f, 2.8f );
		Configure( EF_DM_CAMERA_FOLLOW, DTVector3d( 0.0f, 1.0f, 3.0f ) );
		camera->mi32ObstructionState = 1;
		EXPECT_EQ( camera->mfDistance, 3.0f );
		Step( 10u );
		EXPECT_EQ( camera->mi32ObstructionState, 2 );
		// The camera keeps its distance, turned to D + n.
		DTVector3d want = DTVector3d( 0.5f, 1.0f, 2.8f ) + row.n;
		want.Normalize();
		want = want * 3.0f;
		want.y = 1.0f;
		EXPECT_NEAR( ( camera->moOffset - want ).LengthSquare(), 0.0f, 1e-4f );
		EXPECT_NEAR( ( CameraPos() - want ).LengthSquare(), 0.0f, 1e-4f );
	}

	// Without the ray (flags bit 4) the state is 1 and the camera keeps its
	// bearing at the distance.
	params.ui32Flags = EF_DM_CAMERA_NO_RAY;
	Configure( EF_DM_CAMERA_FOLLOW, DTVector3d( 0.0f, 1.0f, 3.0f ) );
	Step( 10u );
	EXPECT_EQ( camera->mi32ObstructionState, 1 );
	EXPECT_NEAR( camera->moOffset.x * camera->moOffset.x + camera->moOffset.z * camera->moOffset.z, 9.0f, 1e-2f );

	// More than twice the distance away: straight to the hit point.
	params.ui32Flags = 0;
	Configure( EF_DM_CAMERA_FOLLOW, DTVector3d( 0.0f, 1.0f, 1.0f ) );
	MoveTo( *OwnerOf( body ), 0.0f, 1.0f, 4.0f );
	Step( 10u );
	EXPECT_NEAR( CameraPos().z, 1.5f, 1e-4f );
}

TEST_F( EFDMCameraFlexTest, ModeTwoRestsWhenTheViewClearsAndTheTargetStands ) {
	AddWorld( World( { WallFacingMinusZ( 1.5f, 1.0f ) }, CameraWall() ) );
	MoveTo( *OwnerOf( body ), 0.0f, 1.0f, 3.0f );
	Configure( EF_DM_CAMERA_FOLLOW, DTVector3d( 0.0f, 1.0f, 3.0f ) );
	Step( 10u );
	ASSERT_EQ( camera->mi32ObstructionState, 2 );
	// The target steps aside past the wall's edge.
	MoveTo( *target, 5.0f, 0.0f, 0.0f );
	Step( 10u );
	EXPECT_EQ( camera->mi32ObstructionState, 0 );
	const DTVector3d kept = camera->moRememberedCamera;
	Step( 10u );
	EXPECT_EQ( camera->mi32ObstructionState, 0 );
	EXPECT_NEAR( ( CameraPos() - kept ).LengthSquare(), 0.0f, 1e-9f );
	// The target moves: free again.
	MoveTo( *target, 5.0f, 0.0f, 0.5f );
	Step( 10u );
	EXPECT_EQ( camera->mi32ObstructionState, 1 );
}

TEST_F( EFDMCameraFlexTest, DefaultsAndTheRecordRoundTrip ) {
	DMSetParams( handle, nullptr );
	DMCameraFlexParams back = {};
	DMGetParams( handle, &back );
	EXPECT_EQ( back.i32Mode, 1 );
	EXPECT_EQ( back.fSplineSearchRadius, 3.0f );
	EXPECT_EQ( back.oOffset.z, -2.0f );
	EXPECT_EQ( back.fMaxLookAngle, 1.4835299f );
	EXPECT_EQ( camera->mfDistance, 2.0f );
	EXPECT_EQ( camera->mfHeightDifference, 0.0f );
	// Without a target nothing moves.
	body->moVelocity = DTVector3d( 4.0f, 0.0f, 0.0f );
	EXPECT_EQ( Pass().x, 0.4f );
	// Every word comes back as given.
	DMCameraFlexParams all;
	u32* const words = reinterpret_cast<u32*>( &all );
	for ( u32 i = 0; i < 30; i++ ) {
		words[i] = 0x3F000000u + i;
	}
	all.ui32TargetId = TARGET;
	DMSetParams( handle, &all );
	DMGetParams( handle, &back );
	EXPECT_EQ( std::memcmp( &back, &all, sizeof( all ) ), 0 );
}

TEST_F( EFDMCameraFlexTest, ObjectsNamedByTheirOwnLogicAreFollowedAndADeletedTargetIdles ) {
	// The target names itself, and the animation object, from its logic.
	params.ui32TargetId = EF_DM_RUNNING_OBJECT_ID;
	params.ui32AnimObjectId = EF_DM_RUNNING_OBJECT_ID;
	params.i32Mode = EF_DM_CAMERA_WORLD_OFFSET;
	params.oOffset = DTVector3d( 0.0f, 1.0f, -3.0f );
	SetRunning( target );
	DMSetParams( handle, &params );
	SetRunning( nullptr );
	DMCameraFlexParams back = {};
	DMGetParams( handle, &back );
	EXPECT_EQ( back.ui32TargetId, TARGET );
	EXPECT_EQ( back.ui32AnimObjectId, TARGET );
	MoveTo( *target, 2.0f, 0.0f, 0.0f );
	EXPECT_NEAR( Pass().x, 2.0f, 1e-6f );
	// Mode 0 finds the animation object's manager in a later frame.
	camera->mi32Mode = EF_DM_CAMERA_SPLINE;
	Pass();
	EXPECT_EQ( camera->mpoAnimationMgr, &target->moAnimationMgr );

	// The target dies: the module idles (clean under the address checker).
	Drop( TARGET );
	body->moVelocity = DTVector3d();
	for ( u32 i = 0; i < 3; i++ ) {
		EXPECT_EQ( Pass().LengthSquare(), 0.0f );
		Step( 10u );
	}
}

TEST_F( EFDMCameraFlexTest, AFreshSplineCameraWithoutSplinesLooksAtTheTargetByItsOwnFrame ) {
	// No spline anywhere: the spline stays finished, the goal is where the
	// camera is, and the look factors work in the frame's own space.
	DMSetStateChangeNotifyBits( handle, EF_DM_CAMERA_SPLINE_FINISHED );
	MoveTo( *target, 0.0f, 0.0f, 4.0f );
	Configure( EF_DM_CAMERA_SPLINE, DTVector3d( 0.0f, 0.0f, -2.0f ) );
	ASSERT_EQ( camera->mbMatrixOrientation, 0u );
	EXPECT_EQ( Pass().LengthSquare(), 0.0f );
	EXPECT_EQ( camera->mbSplineFinished, 1u );
	EXPECT_EQ( DMGetState( handle ), EF_DM_CAMERA_SPLINE_FINISHED );
	ASSERT_EQ( gDMStateNotes.size(), 1u );
	// Yaw and pitch 1: the point as it is, straight ahead along +z.
	EXPECT_NEAR( CameraMatrix().at.z, std::sqrt( 49.0f / 50.0f ), 1e-3f );
}

}
