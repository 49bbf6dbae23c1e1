/*
	Analog move and analog rotation on one body at the origin, camera 0 at
	the origin looking along +z: the mappings in fixed axes and through
	the camera, a stick beyond the unit circle, a centred stick, the body
	axes, the projection action, turning toward the stick the short way,
	clamp and rate modes, and no camera.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMAnalogMove.h"
#include "framework/behaviour/EFDMAnalogRotation.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000700;
constexpr s32 CONFIG = 4;
constexpr s32 ACTION = 9;
constexpr f32 PI = 3.14159265f;

class EFDMAnalogMoveTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		body = MakeModuleBody( OBJECT );
		frame = OwnerOf( body )->GetFrame();
		stick = InstallStick( CONFIG, ACTION );
	}

	EFDMAnalogMove* MakeMove( const u32 mode, const u32 cameraRelative, const u32 targetOnly = 1 ) {
		const u32 handle = Add( OBJECT, EF_DM_ANALOG_MOVE );
		DMAnalogMoveParams params = { CONFIG, ACTION, { 2.0f, 3.0f, 4.0f }, cameraRelative, targetOnly, mode };
		DMSetParams( handle, &params );
		return Module<EFDMAnalogMove>( handle );
	}

	DTVector3d MovePass( EFDMAnalogMove& move, const f32 x, const f32 y ) {
		stick->GetState().x = x;
		stick->GetState().y = y;
		EFDynamicPhysic record = RecordOf( body );
		record.oTargetVelocity = DTVector3d( 0.5f, 0.0f, 0.0f );
		move.PreColUpdate( record, 0.1f );
		return record.oTargetVelocity - DTVector3d( 0.5f, 0.0f, 0.0f );
	}

	f32 Heading() const {
		const RwMatrix& m = frame->GetRwFrame()->modelling;
		return std::atan2( m.at.x, m.at.z );
	}

	EFPhysic*			body = nullptr;
	DTFrame*			frame = nullptr;
	EFInputAction*		stick = nullptr;
};

void ExpectNear( const DTVector3d& a, const DTVector3d& b ) {
	EXPECT_NEAR( a.x, b.x, 1e-5f );
	EXPECT_NEAR( a.y, b.y, 1e-5f );
	EXPECT_NEAR( a.z, b.z, 1e-5f );
}

TEST_F( EFDMAnalogMoveTest, MappingsInFixedAxesAndThroughTheCamera ) {
	MakeCamera();
	// Stick (0.6, 0.8); speed (2, 3, 4) with x negated.
	const struct {
		const char*	name;
		u32			mode;
		u32			camera;
		DTVector3d	expected;
	} rows[] = {
		{ "X-Y plane", EF_DM_ANALOG_XY, 0, { -1.2f, 2.4f, 0.0f } },
		{ "X-Z plane", EF_DM_ANALOG_XZ, 0, { -1.2f, 0.0f, 3.2f } },
		{ "Y-Z plane", EF_DM_ANALOG_YZ, 0, { 0.0f, 2.4f, 2.4f } },
		{ "length along X", EF_DM_ANALOG_ALONG_X, 0, { -2.0f, 0.0f, 0.0f } },
		{ "length along Y", EF_DM_ANALOG_ALONG_Y, 0, { 0.0f, 3.0f, 0.0f } },
		{ "length along Z", EF_DM_ANALOG_ALONG_Z, 0, { 0.0f, 0.0f, 4.0f } },
		{ "first bit decides", EF_DM_ANALOG_ALONG_Z | EF_DM_ANALOG_XZ, 0, { -1.2f, 0.0f, 3.2f } },
		{ "no mapping", 0, 0, {} },
		// The camera looks along +z: forward is +z, the stick's right is -x
		// in world terms, negated back by the mask and by the speed.
		{ "camera X-Z", EF_DM_ANALOG_XZ, 1, { -1.2f, 0.0f, 3.2f } },
		{ "camera X-Y", EF_DM_ANALOG_XY, 1, { -1.2f, 2.4f, 0.0f } },
		{ "camera length along Z", EF_DM_ANALOG_ALONG_Z, 1, { 0.0f, 0.0f, 3.2f } },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		EFDMAnalogMove& move = *MakeMove( row.mode, row.camera );
		ExpectNear( MovePass( move, 0.6f, 0.8f ), row.expected );
		// Beyond the unit circle: the same as on it.
		ExpectNear( MovePass( move, 3.0f, 4.0f ), row.expected );
		DMAnalogMoveProjectData project = { 1.5f, 2.0f, {} };
		DMDoAction( move.mui32Handle, DM_ANALOG_MOVE_PROJECT, &project );
		ExpectNear( project.oResult, row.expected );
		delete &move;
	}
}

TEST_F( EFDMAnalogMoveTest, BodyAxesCentredStickVelocityAndNoCamera ) {
	// Body turned a quarter about y: its own X-Z plane is the world's
	// turned.
	frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), PI / 2.0f );
	RwFrameUpdateObjects( frame->GetRwFrame() );
	EFDMAnalogMove& turned = *MakeMove( EF_DM_ANALOG_XZ | EF_DM_ANALOG_BODY_AXES, 0 );
	ExpectNear( MovePass( turned, 0.0f, 1.0f ), { 4.0f, 0.0f, 0.0f } );
	delete &turned;

	// Target only 0 sets the body's velocity, but not for a centred stick.
	EFDMAnalogMove& move = *MakeMove( EF_DM_ANALOG_XZ, 0, 0 );
	body->moVelocity = DTVector3d( 9.0f, 9.0f, 9.0f );
	body->mfFallingTimer = 0.0f;
	ExpectNear( MovePass( move, 0.0f, 0.0f ), {} );
	EXPECT_EQ( body->moVelocity.x, 9.0f );
	EXPECT_EQ( body->mfFallingTimer, 0.0f );
	MovePass( move, 0.0f, 1.0f );
	ExpectNear( body->moVelocity, { 0.5f, 0.0f, 4.0f } );
	EXPECT_EQ( body->mfFallingTimer, body->mfFallingDelay );

	// Camera relative without camera 0: no move.
	EFDMAnalogMove& blind = *MakeMove( EF_DM_ANALOG_XZ, 1 );
	ExpectNear( MovePass( blind, 0.0f, 1.0f ), {} );

	// Null restores the defaults, camera relative this time.
	DMSetParams( blind.mui32Handle, nullptr );
	EXPECT_EQ( blind.mui32CameraRelative, 1u );
	EXPECT_EQ( blind.mui32TargetOnly, 1u );
	EXPECT_EQ( move.mui32CameraRelative, 0u );
}

TEST_F( EFDMAnalogMoveTest, RotationTurnsTowardTheStickTheShortWay ) {
	MakeCamera();
	const u32 handle = Add( OBJECT, EF_DM_ANALOG_ROTATION );
	EFDMAnalogRotation& rotation = *Module<EFDMAnalogRotation>( handle );
	const struct {
		const char*	name;
		f32			speed;
		u32			flags;
		f32			start;	// body heading
		f32			x, y;
		f32			dt;
		f32			turned;
	} rows[] = {
		// The stick forward points along +z (heading 0).
		{ "faces the stick at once", 1.0f, 0, 0.5f, 0.0f, 1.0f, 1.0f, -0.5f },
		{ "a quarter of the way", 2.5f, 0, 0.5f, 0.0f, 1.0f, 0.1f, -0.125f },
		{ "3.5 rad left is 3.5 - 2 pi", 1.0f, 0, -3.5f, 0.0f, 1.0f, 1.0f, 3.5f - 2.0f * PI },
		{ "clamped", 0.2f, EF_DM_ROTATION_CLAMP, 0.5f, 0.0f, 1.0f, 1.0f, -0.2f },
		{ "rate", 2.0f, EF_DM_ROTATION_RATE, 0.5f, 0.5f, 0.0f, 0.1f, 0.1f },
		{ "a stick too short to point", 1.0f, 0, 0.5f, 0.05f, 0.05f, 1.0f, 0.0f },
		{ "centred", 1.0f, EF_DM_ROTATION_RATE, 0.5f, 0.0f, 0.0f, 1.0f, 0.0f },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		DMAnalogRotationParams params = { row.speed, row.flags, CONFIG, ACTION };
		DMSetParams( handle, &params );
		frame->GetRwFrame()->modelling.pos = { 1.0f, 2.0f, 3.0f };
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), row.start );
		RwFrameUpdateObjects( frame->GetRwFrame() );
		stick->GetState().x = row.x;
		stick->GetState().y = row.y;
		EFDynamicPhysic record = RecordOf( body );
		rotation.PreColUpdate( record, row.dt );
		f32 turned = Heading() - row.start;
		turned += turned > PI ? -2.0f * PI : turned < -PI ? 2.0f * PI : 0.0f;
		const f32 expected = row.turned - ( row.turned > PI ? 2.0f * PI : row.turned < -PI ? -2.0f * PI : 0.0f );
		EXPECT_NEAR( turned, expected, 1e-4f );
		EXPECT_EQ( frame->GetRwFrame()->modelling.pos.y, 2.0f );
	}
	// Without camera 0 nothing turns.
	moGraphics->DestroyCamera( 0 );
	DMAnalogRotationParams params = { 1.0f, 0, CONFIG, ACTION };
	DMSetParams( handle, &params );
	frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.5f );
	RwFrameUpdateObjects( frame->GetRwFrame() );
	EFDynamicPhysic record = RecordOf( body );
	rotation.PreColUpdate( record, 1.0f );
	EXPECT_NEAR( Heading(), 0.5f, 1e-6f );
}

}
