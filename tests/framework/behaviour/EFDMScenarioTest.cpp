/*
	A sphere character in tiny worlds, run by the physics frame: gravity
	from an acceleration module, the stick through analog motion, the
	floor through ground grip. It walks at stick speed, holds on a slope
	up to its maximum and slides off a steeper one, and slides along a
	frictionless wall.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMAnalogMotion.h"
#include "framework/behaviour/EFDMGroundGrip.h"

#include <cmath>

namespace {

constexpr u32 HERO = 0x2A000500;
constexpr s32 CONFIG = 1;
constexpr s32 ACTION = 2;
constexpr f32 MAX_SLOPE = 0.785398f;	// 45 degrees

class EFDMScenarioTest : public BehaviourTestBench {
protected:
	// The character at pos: gravity, analog motion (speed 2) with the
	// options, and a ground grip that reaches the target at once.
	EFPhysic* MakeHero( const DTVector3d& pos, const u32 options, const bool gravity = true ) {
		MakeSphere( HERO, pos );
		EFPhysic* const hero = gpoWorldMgr->FindGameObject( HERO )->mpoPhysic;
		hero->mui32CurrentContext = 1;
		if ( gravity ) {
			DMAccelerationParams fall = { { 0.0f, -10.0f, 0.0f }, 0.0f, 0 };
			DMSetParams( Add( HERO, EF_DM_ACCELERATION ), &fall );
		}
		DMAnalogMotionParams walk = { 1.0f, 1.0f, 2.0f, 0.0f, options, CONFIG, ACTION, 2, {}, 0, 0.25f };
		motion = Add( HERO, EF_DM_ANALOG_MOTION );
		DMSetParams( motion, &walk );
		DMGroundGripParams grip = { 200.0f, MAX_SLOPE };
		DMSetParams( Add( HERO, EF_DM_GROUND_GRIP ), &grip );
		return hero;
	}

	static DTVector3d Position() { return WorldPos( *gpoWorldMgr->FindGameObject( HERO ) ); }

	u32	motion = 0;
};

TEST_F( EFDMScenarioTest, TheCharacterWalksAtStickSpeedOnTheFloor ) {
	AddWorld( World( { Floor( 0.0f ) } ) );
	MakeCamera();
	InstallStick( CONFIG, ACTION, 0.0f, 1.0f );
	EFPhysic* const hero = MakeHero( DTVector3d( 0.0f, 0.5f, 0.0f ), 0 );
	Step( 60u, 60u );
	EXPECT_NEAR( hero->moVelocity.z, 2.0f, 1e-3f );
	EXPECT_NEAR( hero->moVelocity.x, 0.0f, 1e-3f );
	const DTVector3d at = Position();
	EXPECT_NEAR( at.z, 2.0f, 0.1f );
	EXPECT_NEAR( at.y, 0.5f, 0.02f );
	EXPECT_EQ( hero->mui32PhysicState & EF_STATE_ON_FLOOR, EF_STATE_ON_FLOOR );
}

TEST_F( EFDMScenarioTest, TheCharacterHoldsOnASlopeUpToItsMaximumAndSlidesOffASteeperOne ) {
	struct Row {
		f32		angle;
		bool	holds;
	};
	for ( const Row& row : { Row{ 0.5f, true }, Row{ 1.0f, false } } ) {
		SCOPED_TRACE( row.angle );
		AddWorld( World( { Slope( row.angle, true ) } ) );
		MakeCamera();
		InstallStick( CONFIG, ACTION );
		const DTVector3d normal( -std::sin( row.angle ), std::cos( row.angle ), 0.0f );
		const DTVector3d start = DTVector3d( 4.0f * std::cos( row.angle ), 4.0f * std::sin( row.angle ), 0.0f ) +
								 normal * 0.5f;
		MakeHero( start, 0 );
		Step( 60u, 30u );
		const f32 down = start.x - Position().x;
		if ( row.holds ) {
			EXPECT_LT( std::fabs( down ), 0.02f );
		} else {
			EXPECT_GT( down, 0.3f );
		}
		gpoWorldMgr->Terminate();
		manager.Terminate();
		for ( u32 slot = 0; slot < 2; slot++ ) {
			moGraphics->DestroyCamera( slot );
		}
		gpoInputMgr->InputConfigRemoveAll();
	}
}

TEST_F( EFDMScenarioTest, TheCharacterSlidesAlongAFrictionlessWall ) {
	ToolColAttribs slippery;
	slippery.friction = 0.0f;
	AddWorld( World( { Floor( 0.0f ), WallFacingMinusX( 1.0f ) }, slippery ) );
	MakeCamera();
	// Heading 45 degrees toward the wall, the stick along it: the move is
	// (1.41, 0, 1.41) and the velocity is set to it each frame.
	InstallStick( CONFIG, ACTION, -0.70710678f, 0.70710678f );
	EFPhysic* const hero = MakeHero( DTVector3d( 0.0f, 0.5f, 0.0f ), EF_DM_MOTION_SET_VELOCITY, false );
	OwnerOf( hero )->GetFrame()->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.785398f );
	Step( 60u, 60u );
	const DTVector3d at = Position();
	EXPECT_LT( at.x, 0.5f + 1e-3f );
	EXPECT_GT( at.x, 0.45f );
	EXPECT_GT( at.z, 1.2f );
	const EFDMAnalogMotion* const module = Module<EFDMAnalogMotion>( motion );
	EXPECT_EQ( module->mbWallContact, 1 );
	EXPECT_NEAR( module->moWallNormal.x, -1.0f, 1e-3f );
	// The slid move runs along the wall.
	EXPECT_NEAR( module->moMove.x, 0.0f, 1e-3f );
	EXPECT_NEAR( module->moMove.z, 1.41421f, 1e-3f );
	EXPECT_NEAR( hero->moVelocity.x, 0.0f, 1e-3f );
	EXPECT_NEAR( hero->moVelocity.z, 1.41421f, 1e-3f );
}

}
