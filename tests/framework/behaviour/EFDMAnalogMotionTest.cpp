/*
	Analog motion on one character, the camera 0 at the origin looking
	along +z and the character's frame unturned (at = +z, up = +y): the
	stick's dead zone and release, turning toward the heading (the
	smallest turn, the pivot), the speed and its callback, sliding along
	frictionless walls, and an action or camera that is missing or goes
	away.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMAnalogMotion.h"
#include "datatypes/maths/DTFrame.h"
#include "framework/logic/EFLogicInstance.h"

#include <cmath>
#include <cstring>

namespace {

constexpr u32 OBJECT = 0x2A000400;
constexpr s32 CONFIG = 3;
constexpr s32 ACTION = 7;
constexpr u32 SPEED_CALLBACK = 5;
constexpr f32 DT = 0.1f;
constexpr f32 PI = 3.14159265f;

f32 gCallbackIn = 0.0f;

s32 DoubleSpeed( void* data ) {
	DMAnalogMotionSpeedRecord* const record = static_cast<DMAnalogMotionSpeedRecord*>( data );
	gCallbackIn = record->fSpeed;
	record->fSpeed = 2.0f * record->fSpeed + 0.5f;
	return 0;
}

class EFDMAnalogMotionTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		body = MakeModuleBody( OBJECT );
		frame = OwnerOf( body )->GetFrame();
		handle = Add( OBJECT, EF_DM_ANALOG_MOTION );
		motion = Module<EFDMAnalogMotion>( handle );
		params = { 1.0f, 1.0f, 2.0f, 0.0f, 0, CONFIG, ACTION, 2, { 0.0f, 0.0f, 0.0f }, 0, 0.25f };
	}

	void Configure() { DMSetParams( handle, &params ); }

	// One pre-collision pass with the stick at (x, y); the target velocity
	// it left.
	DTVector3d Pass( const f32 x, const f32 y ) {
		if ( stick != nullptr ) {
			stick->GetState().x = x;
			stick->GetState().y = y;
		}
		record = RecordOf( body );
		motion->PreColUpdate( record, DT );
		return record.oTargetVelocity;
	}

	// The frame's heading about y (0 along +z).
	f32 Heading() const {
		const RwMatrix& m = frame->GetRwFrame()->modelling;
		return std::atan2( m.at.x, m.at.z );
	}

	EFPhysic*				body = nullptr;
	DTFrame*				frame = nullptr;
	u32						handle = 0;
	EFDMAnalogMotion*		motion = nullptr;
	EFInputAction*			stick = nullptr;
	DMAnalogMotionParams	params = {};
	EFDynamicPhysic			record = {};
};

TEST_F( EFDMAnalogMotionTest, WalksAndTurnsByTheStickRelativeToTheCamera ) {
	MakeCamera();
	stick = InstallStick( CONFIG, ACTION );
	struct Row {
		const char*	name;
		u32			options;
		f32			x, y;
		DTVector3d	target;
		f32			remaining;
		f32			heading;  // after the pass
	};
	const f32 turned = PI * DT;	 // remaining pi at rate 1
	const std::vector<Row> rows = {
		{ "forward at full speed", 0, 0.0f, 1.0f, { 0, 0, 2 }, 0.0f, 0.0f },
		{ "half stick", 0, 0.0f, 0.5f, { 0, 0, 1 }, 0.0f, 0.0f },
		{ "length capped at 1", 0, 0.0f, 3.0f, { 0, 0, 2 }, 0.0f, 0.0f },
		{ "dead zone", 0, 0.0078f, -0.0078f, {}, 0.0f, 0.0f },
		{ "against the heading", 0, 0.0f, -1.0f, { 0, 0, 2 }, PI, turned },
		{ "against the heading, slow while turning", EF_DM_MOTION_SLOW_TURNING, 0.0f, -1.0f, {}, PI, turned },
		{ "sideways", 0, 1.0f, 0.0f, { 0, 0, 2 }, PI / 2.0f, -PI / 2.0f * DT },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.0f );
		motion->mfRemainingAngle = 0.0f;
		params.ui32Options = row.options;
		Configure();
		const DTVector3d target = Pass( row.x, row.y );
		EXPECT_NEAR( target.x, row.target.x, 1e-5f );
		EXPECT_NEAR( target.y, row.target.y, 1e-5f );
		EXPECT_NEAR( target.z, row.target.z, 1e-5f );
		EXPECT_NEAR( motion->mfRemainingAngle, row.remaining, 1e-5f );
		EXPECT_NEAR( std::fabs( Heading() ), std::fabs( row.heading ), 1e-4f );
	}
}

TEST_F( EFDMAnalogMotionTest, SmallTurnsReleaseAndThePivot ) {
	MakeCamera();
	stick = InstallStick( CONFIG, ACTION );
	// Rate 0.003: pi × 0.003 × 0.1 is under the smallest turn.
	params.fTurnRate = 0.003f;
	Configure();
	RwMatrix before = frame->GetRwFrame()->modelling;
	Pass( 0.0f, -1.0f );
	EXPECT_EQ( std::memcmp( &before, &frame->GetRwFrame()->modelling, sizeof( RwMatrix ) ), 0 );

	// Released with option 0x10: turning goes on only after a stick longer
	// than the threshold.
	params.fTurnRate = 1.0f;
	params.ui32Options = EF_DM_MOTION_TURN_ON_RELEASE;
	Configure();
	for ( const f32 length : { 0.25f, 0.5f } ) {
		SCOPED_TRACE( length );
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.0f );
		Pass( 0.0f, -length );
		const f32 heading = Heading();
		const f32 remaining = motion->mfRemainingAngle;
		EXPECT_EQ( Pass( 0.0f, 0.0f ).z, 0.0f );
		if ( length > 0.25f ) {
			EXPECT_NEAR( std::fabs( Heading() ), std::fabs( heading ) + remaining * DT, 1e-4f );
			EXPECT_NEAR( motion->mfRemainingAngle, remaining * ( 1.0f - DT ), 1e-5f );
		} else {
			EXPECT_EQ( Heading(), heading );
			EXPECT_EQ( motion->mfRemainingAngle, remaining );
		}
	}

	// A pivot one unit ahead stays where it is while the frame turns.
	params.ui32Options = 0;
	params.oPivot = DTVector3d( 0.0f, 0.0f, 1.0f );
	Configure();
	frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.0f );
	Pass( 0.0f, -1.0f );
	const RwMatrix& m = frame->GetRwFrame()->modelling;
	EXPECT_GT( std::fabs( Heading() ), 0.3f );
	EXPECT_NEAR( m.at.x + m.pos.x, 0.0f, 1e-5f );
	EXPECT_NEAR( m.at.z + m.pos.z, 1.0f, 1e-5f );
}

TEST_F( EFDMAnalogMotionTest, TheSpeedCallbackGetsStickTimesFactorAndGivesTheSpeed ) {
	MakeCamera();
	stick = InstallStick( CONFIG, ACTION );
	LogicFakeModule code;
	code.SetFunctions( { { SPEED_CALLBACK, DoubleSpeed } } );
	OwnerOf( body )->moLogicInstance.mpLogicCode = &code;
	params.ui32Options = EF_DM_MOTION_SPEED_CALLBACK;
	params.ui32CallbackId = SPEED_CALLBACK;
	Configure();
	EXPECT_NEAR( Pass( 0.0f, 0.5f ).z, 1.5f, 1e-6f );
	EXPECT_FLOAT_EQ( gCallbackIn, 0.5f );
	OwnerOf( body )->moLogicInstance.mpLogicCode = nullptr;
}

TEST_F( EFDMAnalogMotionTest, FrictionlessWallsMakeTheMoveSlideUnlessAGrippingPolygonIsNear ) {
	MakeCamera();
	stick = InstallStick( CONFIG, ACTION );
	Configure();
	const DTVector3d diagonal( -0.6f, 0.0f, -0.8f );
	Polygon wall = MakePolygon( diagonal, 0.0f );
	Polygon steep = MakePolygon( DTVector3d( 0.0f, 0.6f, -0.8f ), 0.0f );
	Polygon side = MakePolygon( DTVector3d( -1.0f, 0.0f, 0.0f ), 0.0f );
	Polygon floor = MakePolygon( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.5f );
	Polygon slippery = MakePolygon( DTVector3d( 0.0f, 1.0f, 0.0f ), -1.0f );
	struct Row {
		const char*						name;
		std::vector<EFEnvCollisionPrim*> polygons;
		DTVector3d						target;
	};
	const std::vector<Row> rows = {
		{ "no polygon", {}, { 0, 0, 2 } },
		{ "one wall", { &wall.prim }, { -0.96f, 0, 0.72f } },
		{ "a wall's height is ignored", { &steep.prim }, { 0, 0, 0 } },
		{ "two walls averaged", { &side.prim, &steep.prim }, { -1.6f / 1.64f, 0, 2.0f - 1.28f / 1.64f } },
		{ "negative friction skipped", { &slippery.prim, &wall.prim }, { -0.96f, 0, 0.72f } },
		{ "gripping polygon after the wall", { &wall.prim, &floor.prim }, { 0, 0, 2 } },
		{ "gripping polygon before the wall", { &floor.prim, &wall.prim }, { 0, 0, 2 } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		std::vector<EFEnvCollisionPrim*> polygons = row.polygons;
		EFCollisionStage stage = StageOf( record, polygons );
		motion->PostColUpdate( &stage, DT );
		// The library's normalising is approximate.
		const DTVector3d target = Pass( 0.0f, 1.0f );
		EXPECT_NEAR( target.x, row.target.x, 1e-3f );
		EXPECT_NEAR( target.y, row.target.y, 1e-3f );
		EXPECT_NEAR( target.z, row.target.z, 1e-3f );
	}
	// Moving away from the wall keeps the move.
	std::vector<EFEnvCollisionPrim*> behind = { &wall.prim };
	EFCollisionStage stage = StageOf( record, behind );
	motion->PostColUpdate( &stage, DT );
	motion->moWallNormal = DTVector3d( 0.0f, 0.0f, 1.0f );
	EXPECT_NEAR( Pass( 0.0f, 1.0f ).z, 2.0f, 1e-6f );
}

TEST_F( EFDMAnalogMotionTest, AMissingOrRemovedActionOrCameraLeavesTheBodyAlone ) {
	// No action of these ids: nothing, also with option 0x2.
	params.ui32Options = EF_DM_MOTION_SET_VELOCITY;
	Configure();
	body->moVelocity = DTVector3d( 1.0f, 1.0f, 1.0f );
	stick = InstallStick( CONFIG, ACTION, 0.0f, 1.0f );	 // made after SetParams
	Pass( 0.0f, 1.0f );
	EXPECT_EQ( body->moVelocity.x, 1.0f );

	// Found: driven; SetParams(null) keeps driving by the same action.
	params.ui32Options = 0;
	Configure();
	EXPECT_EQ( Pass( 0.0f, 1.0f ).z, 0.0f );	 // no camera 0 yet: no move
	MakeCamera();
	EXPECT_NEAR( Pass( 0.0f, 1.0f ).z, 2.0f, 1e-6f );
	DMSetParams( handle, nullptr );
	DMGetParams( handle, &params );
	EXPECT_EQ( params.ui32ActionId, 0u );
	EXPECT_NEAR( Pass( 0.0f, 1.0f ).z, 1.0f, 1e-6f );

	// The configuration goes, deleting its action: no pass touches it.
	gpoInputMgr->InputConfigRemove( CONFIG );
	stick = nullptr;
	for ( u32 pass = 0; pass < 3; pass++ ) {
		EXPECT_EQ( Pass( 0.0f, 0.0f ).z, 0.0f );
	}
	// The same ids again: found by the next pass.
	stick = InstallStick( CONFIG, ACTION );
	EXPECT_NEAR( Pass( 0.0f, 0.5f ).z, 0.5f, 1e-6f );

	// Action 1 projects a stick without turning.
	DMAnalogMotionProjectData project = { { 1.0f, 0.0f }, {}, 0.0f };
	DMDoAction( handle, DM_ANALOG_MOTION_PROJECT, &project );
	EXPECT_NEAR( project.fRemainingAngle, PI / 2.0f, 1e-5f );
	EXPECT_NEAR( project.oMove.z, 1.0f, 1e-6f );
	EXPECT_EQ( Heading(), 0.0f );
}

}
