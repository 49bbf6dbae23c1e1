/*
	Follow: a sphere follower on a floor with gravity and ground grip, a
	leader moved by hand. The leader reached round the corner of an
	L-shaped corridor, the walk back stopping after 26 blocked tests, the
	trail's sampling, the one first-update reset of the run, the running
	object's alias as leader, capped and too small velocities, and stuck
	detection.
*/
#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMFollow.h"
#include "framework/behaviour/EFDMHelpers.h"

#include <cmath>

namespace {

constexpr u32 FOLLOWER = 0x2A000900;
constexpr u32 LEADER = 0x2A000901;
constexpr f32 DT = 1.0f / 60.0f;

class EFDMFollowTest : public BehaviourTestBench {
protected:
	void SetUp() override {
		BehaviourTestBench::SetUp();
		EFDMFollow::msbFirstUpdateDone = false;
	}

	// The follower at pos falling onto the floor, gripping it at once.
	u32 MakeFollower( const DTVector3d& pos, const u32 id = FOLLOWER ) {
		MakeSphere( id, pos );
		EFPhysic* const body = gpoWorldMgr->FindGameObject( id )->mpoPhysic;
		body->mui32CurrentContext = 1;
		body->moCollisionModel.muiPrimaryPrimIndex = 0;
		RecordStates( id );
		DMAccelerationParams fall = { { 0.0f, -10.0f, 0.0f }, 0.0f, 0 };
		DMSetParams( Add( id, EF_DM_ACCELERATION ), &fall );
		DMGroundGripParams grip = { 200.0f, 0.785398f };
		DMSetParams( Add( id, EF_DM_GROUND_GRIP ), &grip );
		return Add( id, EF_DM_FOLLOW );
	}

	static DMFollowParams Params( const u32 leader = LEADER ) {
		return { leader, 1.0f, 2.0f, 0, 0.3f, 7.0f, 0.1f, 0 };
	}

	static DTVector3d Position( const u32 id ) { return WorldPos( *gpoWorldMgr->FindGameObject( id ) ); }
};

TEST_F( EFDMFollowTest, TheFollowerReachesTheLeaderRoundTheCornerOfACorridor ) {
	// The inner corner: a wall at x = 1 from z = -2 to 5 facing the
	// corridor's first leg, a wall at z = 5 from x = 1 to 10 facing its
	// second.
	AddWorld( World( { Floor( 0.0f ), Quad( { 1, 0, 5 }, { 1, 3, 5 }, { 1, 3, -2 }, { 1, 0, -2 } ),
					   Quad( { 10, 0, 5 }, { 10, 3, 5 }, { 1, 3, 5 }, { 1, 0, 5 } ) } ) );
	EFGameObject* const leader = MakeObject( LEADER, 0.0f, 0.5f, 1.5f );
	const u32 follow = MakeFollower( DTVector3d( -0.2f, 0.5f, 0.0f ) );
	// Three units behind: round the corner the straight way is blocked.
	DMFollowParams params = { LEADER, 3.0f, 3.5f, 0, 0.3f, 7.0f, 0.1f, 0 };
	DMSetParams( follow, &params );
	// The leader walks up the first leg and along the second at 3 units a
	// second, then waits.
	f32 s = 1.5f;
	bool sawBlocked = false;
	const EFDMFollow* const module = Module<EFDMFollow>( follow );
	for ( u32 frame = 0; frame < 600; frame++ ) {
		s = std::min( s + 3.0f * DT, 13.0f );
		const f32 x = s < 6.0f ? 0.0f : s - 6.0f;
		const f32 z = s < 6.0f ? s : 6.0f;
		MoveTo( *leader, x, 0.5f, z );
		Step( 60u );
		const DTVector3d at = Position( FOLLOWER );
		// Never through the corner block.
		ASSERT_FALSE( at.x > 0.6f && at.z < 4.4f ) << frame;
		// Heading for a point of the first leg while the leader is well into
		// the second: the walk back.
		sawBlocked = sawBlocked || ( module->moTarget.x < 0.5f && x > 1.5f );
	}
	EXPECT_TRUE( sawBlocked );
	const DTVector3d at = Position( FOLLOWER );
	EXPECT_GT( at.x, 3.0f );
	EXPECT_LT( ( at - DTVector3d( 7.0f, 0.5f, 6.0f ) ).LengthSquare(), 3.5f * 3.5f );
	EXPECT_EQ( DMGetState( follow ) & EF_DM_FOLLOW_ARRIVED, EF_DM_FOLLOW_ARRIVED );
}

TEST_F( EFDMFollowTest, AllBlockedTheWalkBackStopsAfter26Tests ) {
	AddWorld( World( { Floor( 0.0f ), WallFacingMinusX( 1.0f ) } ) );
	MakeObject( LEADER, 5.0f, 0.5f, 0.0f );
	const u32 follow = MakeFollower( DTVector3d( 0.0f, 0.5f, 0.0f ) );
	DMFollowParams params = Params();
	DMSetParams( follow, &params );
	EFDMFollow& module = *Module<EFDMFollow>( follow );
	RunInFrame( [&] {
		EFDynamicPhysic record = RecordOf( module.mpoOwner );
		module.PreColUpdate( record, DT );
	} );
	// Every slot behind the wall and distinct; the walk goes round the ring
	// once and one slot more.
	for ( u32 i = 0; i < EF_DM_FOLLOW_RING; i++ ) {
		module.maoRing[i] = DTVector3d( 2.0f + static_cast<f32>( i ), 1.0f, 0.0f );
	}
	for ( const u32 index : { 0u, 7u, 24u } ) {
		SCOPED_TRACE( index );
		module.mui32RingIndex = index;
		RunInFrame( [&] {
			EFDynamicPhysic record = RecordOf( module.mpoOwner );
			module.PreColUpdate( record, DT );
		} );
		// From the index after the pass (a fifth frame records the leader
		// first).
		const u32 reached = ( module.mui32RingIndex + EF_DM_FOLLOW_RING - 1 ) % EF_DM_FOLLOW_RING;
		EXPECT_EQ( module.moTarget.x, module.maoRing[reached].x );
	}
	// In the open the target is the point the follow distance short.
	EXPECT_FALSE( module.IsIntersecting( DTVector3d( -3.0f, 0.0f, 0.0f ) ) );
	EXPECT_TRUE( module.IsIntersecting( DTVector3d( 3.0f, 0.0f, 0.0f ) ) );
	// The ray is lengthened by the radius: 0.6 short of the wall still hits.
	EXPECT_TRUE( module.IsIntersecting( DTVector3d( 0.6f, 0.0f, 0.0f ) ) );
	EXPECT_FALSE( module.IsIntersecting( DTVector3d( 0.4f, 0.0f, 0.0f ) ) );
}

TEST_F( EFDMFollowTest, TheTrailTheFirstUpdateAndTheLeadersAlias ) {
	AddWorld( World( { Floor( 0.0f ) } ) );
	EFGameObject* const leader = MakeObject( LEADER, 4.0f, 0.5f, 0.5f );
	const u32 first = MakeFollower( DTVector3d( 0.0f, 0.5f, 0.0f ) );
	// The leader sets itself as leader through the running object's alias.
	DMFollowParams params = Params( EF_DM_RUNNING_OBJECT_ID );
	SetRunning( leader );
	DMSetParams( first, &params );
	SetRunning( nullptr );
	DMFollowParams back = {};
	DMGetParams( first, &back );
	EXPECT_EQ( back.ui32LeaderId, LEADER );
	EXPECT_EQ( back.fStopDistance, 2.0f );
	EFDMFollow& module = *Module<EFDMFollow>( first );
	EXPECT_EQ( module.mfRadius, 0.5f );
	Step( 60u );
	EXPECT_EQ( module.maoRing[7].x, 4.0f );
	EXPECT_GT( Module<EFDMFollow>( first )->mpoOwner->moVelocity.x, 0.0f );

	// Moves under 0.25 are not recorded; every fifth frame only.
	module.mui32RingIndex = 3;
	module.maoRing[2] = DTVector3d( 1.0f, 1.5f, 0.0f );
	module.UpdateLeadPosArray( DTVector3d( 1.2f, 1.0f, 0.0f ) );
	EXPECT_EQ( module.mui32RingIndex, 3u );
	module.UpdateLeadPosArray( DTVector3d( 1.3f, 1.0f, 0.0f ) );
	EXPECT_EQ( module.mui32RingIndex, 4u );
	module.mui32RingIndex = 24;
	module.UpdateLeadPosArray( DTVector3d( 9.0f, 1.0f, 0.0f ) );
	EXPECT_EQ( module.mui32RingIndex, 0u );
	EXPECT_EQ( module.maoRing[24].y, 1.5f );

	// A module made later is not reset on its first update; action 1
	// resets it.
	const u32 later = MakeFollower( DTVector3d( 0.0f, 0.5f, 3.0f ), FOLLOWER + 2 );
	params.ui32LeaderId = LEADER;
	DMSetParams( later, &params );
	RunInFrame( [&] {
		EFDMFollow& second = *Module<EFDMFollow>( later );
		EFDynamicPhysic record = RecordOf( second.mpoOwner );
		second.PreColUpdate( record, DT );
	} );
	EFDMFollow& second = *Module<EFDMFollow>( later );
	EXPECT_EQ( second.maoRing[20].x, 0.0f );
	DMDoAction( later, DM_FOLLOW_RESET, nullptr );
	EXPECT_EQ( second.maoRing[20].x, 4.0f );
	EXPECT_EQ( second.mui32RingIndex, 0u );

	// A leader id that names nothing leaves the follower alone.
	params.ui32LeaderId = 0x2A00FFFE;
	DMSetParams( later, &params );
	const DTVector3d before = second.moTarget;
	RunInFrame( [&] {
		EFDynamicPhysic record = RecordOf( second.mpoOwner );
		second.PreColUpdate( record, DT );
		EXPECT_EQ( record.oTargetVelocity.LengthSquare(), 0.0f );
	} );
	EXPECT_EQ( second.moTarget.x, before.x );
}

TEST_F( EFDMFollowTest, VelocityIsCappedTooSlowArrivesAndShortfallsMakeStuck ) {
	AddWorld( World( { Floor( 0.0f ) } ) );
	EFGameObject* const leader = MakeObject( LEADER, 4.0f, 0.5f, 0.0f );
	// Off the leader's axis: a target sharing an x or z with the follower
	// counts as arrived.
	const u32 follow = MakeFollower( DTVector3d( 0.0f, 0.5f, 0.01f ) );
	DMFollowParams params = Params();
	DMSetParams( follow, &params );
	EFDMFollow& module = *Module<EFDMFollow>( follow );
	const struct {
		const char*	name;
		f32			leaderX;
		f32			minSpeed;
		f32			velocityX;
		u32			arrived;
	} rows[] = {
		{ "capped at 7", 4.0f, 0.1f, 7.0f, 0 },
		{ "within the follow distance", 0.9f, 0.1f, 0.0f, EF_DM_FOLLOW_ARRIVED },
		{ "below the minimum speed", 4.0f, 1000.0f, 0.0f, EF_DM_FOLLOW_ARRIVED },
		{ "arrived stays while within the stop distance", 1.9f, 0.1f, 0.0f, EF_DM_FOLLOW_ARRIVED },
		{ "and moves once beyond", 2.5f, 0.1f, 0.5f / DT > 7.0f ? 7.0f : 0.5f / DT, 0 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		MoveTo( *leader, row.leaderX, 0.5f, 0.0f );
		MoveTo( *OwnerOf( module.mpoOwner ), 0.0f, 0.5f, 0.01f );
		params.fMinSpeed = row.minSpeed;
		DMSetParams( follow, &params );
		RunInFrame( [&] {
			EFDynamicPhysic record = RecordOf( module.mpoOwner );
			module.PreColUpdate( record, DT );
			EXPECT_NEAR( record.oTargetVelocity.x, row.velocityX, 1e-4f );
		} );
		EXPECT_EQ( module.mui32State & EF_DM_FOLLOW_ARRIVED, row.arrived );
	}

	module.mui32BlockedFrames = 0;
	module.mbStuck = 0;
	// Ten post-collision phases short of the target in +x set stuck and
	// restart the count; a shortfall in -x does not count.
	module.moTarget = DTVector3d( 3.0f, 0.5f, 0.0f );
	for ( u32 i = 0; i < 9; i++ ) {
		module.PostColUpdate( nullptr, DT );
	}
	EXPECT_EQ( module.mbStuck, 0 );
	module.PostColUpdate( nullptr, DT );
	EXPECT_EQ( module.mbStuck, 1 );
	EXPECT_EQ( module.mui32BlockedFrames, 0u );
	module.moTarget = DTVector3d( -3.0f, 0.5f, -3.0f );
	module.PostColUpdate( nullptr, DT );
	EXPECT_EQ( module.mui32BlockedFrames, 0u );
}

}
