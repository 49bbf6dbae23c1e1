/*
	The simple motion modules on one body: capped acceleration, moves and
	air grip in world and body axes, the spin (a zero axis turns nothing),
	the primitive anchor (indices that name no primitive) and the shake's
	envelope.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMAcceleration.h"
#include "framework/behaviour/EFDMAirGrip.h"
#include "framework/behaviour/EFDMMove.h"
#include "framework/behaviour/EFDMPrimMove.h"
#include "framework/behaviour/EFDMRotate.h"
#include "framework/behaviour/EFDMShaking.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>
#include <cstring>

namespace {

constexpr u32 OBJECT = 0x2A000300;
constexpr f32 HALF_PI = 1.5707964f;

class EFDMMotionModulesTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		body = MakeModuleBody( OBJECT, 1.0f, 2.0f, 3.0f, 3 );
		frame = OwnerOf( body )->GetFrame();
		record = RecordOf( body );
	}

	// The body's frame turned a quarter about y: its x axis is world -z.
	void QuarterTurn() {
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), HALF_PI );
		RwFrameUpdateObjects( frame->GetRwFrame() );
	}

	void Pre( const u32 handle, const f32 dt ) { manager.GetModule( handle )->PreColUpdate( record, dt ); }

	static void ExpectNear( const DTVector3d& v, const DTVector3d& expected ) {
		EXPECT_NEAR( v.x, expected.x, 1e-5f );
		EXPECT_NEAR( v.y, expected.y, 1e-5f );
		EXPECT_NEAR( v.z, expected.z, 1e-5f );
	}

	EFPhysic*		body = nullptr;
	DTFrame*		frame = nullptr;
	EFDynamicPhysic	record = {};
};

TEST_F( EFDMMotionModulesTest, AccelerationMoveAndAirGripInWorldAndBodyAxes ) {
	const u32 accel = Add( OBJECT, EF_DM_ACCELERATION );
	DMAccelerationParams accelParams = { { 0.0f, 0.0f, 1.0f }, 2.0f, 0 };
	DMSetParams( accel, &accelParams );
	body->moVelocity = DTVector3d( 0.0f, 0.0f, 2.0f );
	Pre( accel, 0.5f );
	ExpectNear( body->moVelocity, { 0.0f, 0.0f, 2.5f } );
	ExpectNear( record.oAppliedAccel, { 0.0f, 0.0f, 1.0f } );

	// Capped: w = (0, 0, 2.5 + 0.5) capped to 2, then added.
	accelParams.ui32Flags = EF_DM_ACCEL_CAPPED;
	DMSetParams( accel, &accelParams );
	record = RecordOf( body );
	Pre( accel, 0.5f );
	ExpectNear( body->moVelocity, { 0.0f, 0.0f, 4.5f } );
	ExpectNear( record.oAppliedAccel, { 0.0f, 0.0f, 4.0f } );

	// In body axes after a quarter turn: body z is world x.
	QuarterTurn();
	body->moVelocity = DTVector3d();
	Pre( accel, 0.5f );
	ExpectNear( body->moVelocity, { 0.5f, 0.0f, 0.0f } );

	const u32 move = Add( OBJECT, EF_DM_MOVE );
	DMMoveParams moveParams = { { 1.0f, 0.0f, 0.0f }, EF_DM_MOVE_BODY_AXES };
	DMSetParams( move, &moveParams );
	record = RecordOf( body );
	Pre( move, 0.5f );
	ExpectNear( record.oTargetVelocity, { 0.0f, 0.0f, -1.0f } );

	// Air grip, rate 1 over 1.5 s: the masked parts reach the target.
	const u32 air = Add( OBJECT, EF_DM_AIR_GRIP );
	struct Row {
		u32			axes;
		DTVector3d	expected;
	};
	const Row rows[] = {
		{ EF_DM_AIR_GRIP_X | EF_DM_AIR_GRIP_Z | EF_DM_AIR_GRIP_WORLD, { 1.0f, 0.0f, 3.0f } },
		{ EF_DM_AIR_GRIP_Y | EF_DM_AIR_GRIP_WORLD, { 0.0f, 2.0f, 0.0f } },
		{ EF_DM_AIR_GRIP_X, { 0.0f, 0.0f, 3.0f } },	 // body x is world -z
		{ EF_DM_AIR_GRIP_Z, { 1.0f, 0.0f, 0.0f } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.axes );
		DMAirGripParams airParams = { 1.0f, row.axes };
		DMSetParams( air, &airParams );
		body->moVelocity = DTVector3d();
		record.oTargetVelocity = DTVector3d( 1.0f, 2.0f, 3.0f );
		Pre( air, 1.5f );
		ExpectNear( body->moVelocity, row.expected );
	}
}

TEST_F( EFDMMotionModulesTest, RotateTurnsInPlaceAndAZeroAxisOrSpeedLeavesTheFrameBitIdentical ) {
	const u32 rotate = Add( OBJECT, EF_DM_ROTATE );
	struct Row {
		const char*	name;
		f32			speed;
		DTVector3d	axis;
	};
	const Row still[] = {
		{ "zero axis", 1.0f, {} },
		{ "axis too short to normalise", 1.0f, { 1e-30f, 0.0f, 0.0f } },
		{ "speed 0", 0.0f, { 0.0f, 1.0f, 0.0f } },
	};
	for ( const Row& row : still ) {
		SCOPED_TRACE( row.name );
		DMRotateParams params = { row.speed, row.axis };
		DMSetParams( rotate, &params );
		RwMatrix before = frame->GetRwFrame()->modelling;
		for ( u32 pass = 0; pass < 10; pass++ ) {
			Pre( rotate, 0.5f );
		}
		EXPECT_EQ( std::memcmp( &before, &frame->GetRwFrame()->modelling, sizeof( RwMatrix ) ), 0 );
	}
	DMRotateParams params = { 1.0f, { 0.0f, 4.0f, 0.0f } };
	DMSetParams( rotate, &params );
	DMGetParams( rotate, &params );
	EXPECT_EQ( params.oAxis.y, 1.0f );
	Pre( rotate, 0.5f );
	const RwMatrix& m = frame->GetRwFrame()->modelling;
	EXPECT_NEAR( m.right.x, std::cos( 0.5f ), 1e-5f );
	EXPECT_NEAR( m.right.z, -std::sin( 0.5f ), 1e-5f );
	EXPECT_EQ( m.pos.x, 1.0f );
	EXPECT_EQ( m.pos.z, 3.0f );
}

TEST_F( EFDMMotionModulesTest, PrimMoveHoldsItsPrimitiveAndAnIndexNamingNoneDoesNothing ) {
	for ( u32 slot = 0; slot < 3; slot++ ) {
		GivePrim( body, slot, { 0 } )->mui32Tag = 10 + slot;
	}
	EFObjCollisionPrim* const prim = body->moCollisionModel.mppoPrimArray[2];
	prim->moPrimPos = DTVector3d( 1.0f, 0.0f, 0.0f );
	// Run by hand only: the frames between the passes leave the body off.
	body->mui32PhysicFlags = EF_PHYSIC_CLIP_DISABLED;
	body->NormalizeFlags();
	const u32 hold = DMAdd( OBJECT, EF_DM_PRIM_MOVE );
	DMPrimMoveParams params = { 12 };
	DMSetParams( hold, &params );
	params.ui32PrimTag = 0;
	DMGetParams( hold, &params );
	EXPECT_EQ( params.ui32PrimTag, 12u );

	// First pass anchors where the primitive is (a gap since frame 0);
	// then it is pulled back.
	manager.Update( 0.1f );
	manager.Update( 0.1f );
	record.oTargetVelocity = DTVector3d( 0.0f, 1.0f, 0.0f );
	Pre( hold, 0.5f );
	ExpectNear( body->moVelocity, { 0.0f, 1.0f, 0.0f } );
	manager.Update( 0.1f );
	prim->moPrimPos = DTVector3d( 1.5f, 0.0f, 0.0f );
	Pre( hold, 0.5f );
	ExpectNear( body->moVelocity, { -1.0f, 1.0f, 0.0f } );
	// Asked by the primitive, or after a missed frame: anchored anew.
	manager.Update( 0.1f );
	prim->muiPrimFlags |= EF_DM_PRIM_MOVE_ANCHOR;
	Pre( hold, 0.5f );
	ExpectNear( body->moVelocity, { 0.0f, 1.0f, 0.0f } );
	EXPECT_EQ( prim->muiPrimFlags & EF_DM_PRIM_MOVE_ANCHOR, 0u );
	manager.Update( 0.1f );
	manager.Update( 0.1f );
	prim->moPrimPos = DTVector3d( 2.0f, 0.0f, 0.0f );
	Pre( hold, 0.5f );
	ExpectNear( body->moVelocity, { 0.0f, 1.0f, 0.0f } );
	// Attribute 0x10 leaves it alone.
	prim->moCurrentAttrib.IntArray[0] = EF_DM_PRIM_MOVE_SKIP;
	body->moVelocity = DTVector3d( 5.0f, 5.0f, 5.0f );
	Pre( hold, 0.5f );
	EXPECT_EQ( body->moVelocity.x, 5.0f );

	// Logic shrinks the array under the kept index, or names no tag.
	body->moCollisionModel.SetMaxPrims( 1 );
	Pre( hold, 0.5f );
	DMGetParams( hold, &params );
	EXPECT_EQ( params.ui32PrimTag, 0xFFFFFFFFu );
	GivePrim( body, 0, { 0 } )->mui32Tag = 10;
	params.ui32PrimTag = 99;
	DMSetParams( hold, &params );
	EXPECT_EQ( Module<EFDMPrimMove>( hold )->mui32PrimIndex, 0xFFFFFFFFu );
	Pre( hold, 0.5f );
	DMGetParams( hold, &params );
	EXPECT_EQ( params.ui32PrimTag, 0xFFFFFFFFu );
	EXPECT_EQ( body->moVelocity.x, 5.0f );
}

TEST_F( EFDMMotionModulesTest, ShakingFadesInAndOutThenStopsUntilRestarted ) {
	const u32 shake = Add( OBJECT, EF_DM_SHAKING );
	DMShakingParams params = { 1, 2.0f, 1.0f, 0.25f, 0.25f, 1.0f };
	DMSetParams( shake, &params );
	EFDMShaking* const module = Module<EFDMShaking>( shake );
	struct Row {
		f32 time;
		f32 envelope;
	};
	const Row rows[] = { { 0.125f, 0.25f }, { 0.375f, 0.75f }, { 1.25f, 1.0f }, { 1.625f, 0.75f }, { 2.5f, 0.0f } };
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.time );
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.0f );
		module->mfTime = row.time;
		Pre( shake, 0.1f );
		const RwMatrix& m = frame->GetRwFrame()->modelling;
		const f32 angle = std::atan2( -m.right.z, m.right.x );
		EXPECT_NEAR( angle, std::sin( row.time * 6.2831850f ) * row.envelope, 1e-4f );
		EXPECT_FLOAT_EQ( module->mfTime, row.time > 2.0f ? row.time : row.time + 0.1f );
	}
	DMDoAction( shake, EF_DM_SHAKING_RESTART, nullptr );
	EXPECT_EQ( module->mfTime, 0.0f );
	// Another axis value turns nothing; the time still runs.
	params.i32Axis = 3;
	DMSetParams( shake, &params );
	module->mfTime = 1.25f;
	RwMatrix before = frame->GetRwFrame()->modelling;
	Pre( shake, 0.1f );
	EXPECT_EQ( std::memcmp( &before, &frame->GetRwFrame()->modelling, sizeof( RwMatrix ) ), 0 );
	EXPECT_FLOAT_EQ( module->mfTime, 1.35f );
}

}
