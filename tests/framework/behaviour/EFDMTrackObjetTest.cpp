/*
	Object tracking: a target that vanishes, a target straight above in
	heading-and-pitch mode from two headings, the target point's forms
	and turning away in heading mode, and rows a rounding step past unit
	length.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMTrackObjet.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>

namespace {

constexpr u32 OBJECT = 0x2A000310;
constexpr u32 TARGET = 0x2A000311;
constexpr f32 HALF_PI = 1.5707964f;

class EFDMTrackObjetTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		body = MakeModuleBody( OBJECT, 1.0f, 2.0f, 3.0f );
		frame = OwnerOf( body )->GetFrame();
		handle = Add( OBJECT, EF_DM_TRACK_OBJECT );
	}

	void Set( const u32 target, const u32 flags, const DTVector3d& offset = {}, const f32 rate = 1.0f ) {
		DMTrackObjetParams params = { target, rate, offset, flags };
		DMSetParams( handle, &params );
	}

	void Pre( const f32 dt = 1.0f ) {
		EFDynamicPhysic record = RecordOf( body );
		manager.GetModule( handle )->PreColUpdate( record, dt );
	}

	const RwMatrix& World() { return *RwFrameGetLTM( frame->GetRwFrame() ); }
	f32 Heading() { return std::atan2( World().at.x, World().at.z ); }

	static void ExpectRow( const RwV3d& row, const DTVector3d& expected ) {
		EXPECT_NEAR( row.x, expected.x, 1e-5f );
		EXPECT_NEAR( row.y, expected.y, 1e-5f );
		EXPECT_NEAR( row.z, expected.z, 1e-5f );
	}

	EFPhysic*	body = nullptr;
	DTFrame*	frame = nullptr;
	u32			handle = 0;
};

TEST_F( EFDMTrackObjetTest, AVanishedTargetSetsBitZeroOnceAndTheFrameStopsTurning ) {
	MakeObject( TARGET, 5.0f, 2.0f, 3.0f );
	DMSetStateChangeNotifyBits( handle, 1 );
	Set( TARGET, EF_DM_TRACK_HEADING );
	Pre();
	EXPECT_NEAR( Heading(), HALF_PI, 1e-5f );
	EXPECT_EQ( DMGetState( handle ), 0u );

	Drop( TARGET );
	frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.0f );
	for ( int pass = 0; pass < 3; pass++ ) {
		Pre();
	}
	EXPECT_EQ( DMGetState( handle ), 1u );
	ASSERT_EQ( gDMStateNotes.size(), 1u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32Changed, 1u );
	EXPECT_NEAR( Heading(), 0.0f, 1e-6f );
}

TEST_F( EFDMTrackObjetTest, ATargetStraightAboveLooksUpWithHeadingZeroFromAnyHeading ) {
	MakeObject( TARGET, 1.0f, 12.0f, 3.0f );
	Set( TARGET, EF_DM_TRACK_HEADING_PITCH );
	for ( const f32 start : { 0.0f, HALF_PI, -2.5f } ) {
		SCOPED_TRACE( start );
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), start );
		Pre( 2.0f );  // rate x dt above 1: one full turn
		ExpectRow( World().at, { 0.0f, 1.0f, 0.0f } );
		ExpectRow( World().right, { 1.0f, 0.0f, 0.0f } );
		ExpectRow( World().pos, { 1.0f, 2.0f, 3.0f } );
	}
}

TEST_F( EFDMTrackObjetTest, TargetPointFormsAndTurningAway ) {
	EFGameObject* const target = MakeObject( TARGET, 1.0f, 2.0f, 8.0f );
	target->GetFrame()->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), HALF_PI );  // its z axis is world x
	RwFrameUpdateObjects( target->GetFrame()->GetRwFrame() );
	struct Case {
		u32			target;
		u32			flags;
		DTVector3d	offset;
		f32			heading;
	};
	const Case cases[] = {
		{ TARGET, EF_DM_TRACK_HEADING, {}, 0.0f },
		{ TARGET, EF_DM_TRACK_HEADING | EF_DM_TRACK_AWAY, {}, 3.1415927f },
		// World offset: target + (-10, 0, 0) lies at (-9, 2, 8): d = (-10, 0, 5).
		{ TARGET, EF_DM_TRACK_HEADING | EF_DM_TRACK_WORLD_OFFSET, { -10.0f, 0.0f, 0.0f }, std::atan2( -10.0f, 5.0f ) },
		// A point in the target's axes: its z of 10 is world x, at (11, 2, 8).
		{ TARGET, EF_DM_TRACK_HEADING | EF_DM_TRACK_LOCAL_POINT, { 0.0f, 0.0f, 10.0f }, std::atan2( 10.0f, 5.0f ) },
		// No target: the offset is a world point.
		{ 0, EF_DM_TRACK_HEADING | EF_DM_TRACK_WORLD_OFFSET, { 1.0f, 2.0f, -7.0f }, 3.1415927f },
		// A local point without a target is the origin.
		{ 0, EF_DM_TRACK_HEADING | EF_DM_TRACK_LOCAL_POINT, { 9.0f, 0.0f, 9.0f }, std::atan2( -1.0f, -3.0f ) },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.flags );
		frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.3f );
		Set( c.target, c.flags, c.offset );
		Pre();
		EXPECT_NEAR( std::fabs( DMWrapAngleOnce( Heading() - c.heading ) ), 0.0f, 1e-5f );
		ExpectRow( World().up, { 0.0f, 1.0f, 0.0f } );
	}
	// Half the rate turns half the way (from 0.3 toward 0).
	frame->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.3f );
	Set( TARGET, EF_DM_TRACK_HEADING, {}, 0.5f );
	Pre();
	EXPECT_NEAR( Heading(), 0.15f, 1e-5f );
}

TEST_F( EFDMTrackObjetTest, RowsPastUnitLengthByRoundingKeepTheFrameFinite ) {
	MakeObject( TARGET, 1.0f, 2.0f, 13.0f );
	Set( TARGET, EF_DM_TRACK_HEADING_PITCH, {}, 0.5f );
	for ( const f32 y : { 1.0000001f, -1.0000001f } ) {
		RwMatrix& m = frame->GetRwFrame()->modelling;
		m.right = { 1.0f, 0.0f, 0.0f };
		m.up = { 0.0f, 0.0f, -y };
		m.at = { 0.0f, y, 0.0f };
		RwFrameUpdateObjects( frame->GetRwFrame() );
		Pre();
		const RwMatrix& world = World();
		for ( const f32 v : { world.right.x, world.right.y, world.right.z, world.up.x, world.up.y, world.up.z,
							  world.at.x, world.at.y, world.at.z } ) {
			EXPECT_TRUE( std::isfinite( v ) ) << y;
		}
		// Half-way from looking straight up or down to level.
		EXPECT_NEAR( std::fabs( world.at.y ), std::sin( HALF_PI / 2.0f ), 1e-5f );
	}
}

}
