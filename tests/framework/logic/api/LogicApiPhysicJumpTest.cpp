// The jump solver: its edge results, the meeting of body and target for
// random requests, the least-speed time as a minimum of the launch
// speed, the requests it refuses, and a jump flown by the physics frame.

#include "framework/logic/api/PhysicTableBench.h"

#include "framework/logic/api/LogicApiPhysicJump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

constexpr u32 JUMPER = 0x2A000201;
constexpr u32 TARGET = 0x2A000202;

struct Vec {
	double x, y, z;
};

Vec Of( const DTVector3d& v ) {
	return { v.x, v.y, v.z };
}

double Length( const Vec& v ) {
	return std::sqrt( v.x * v.x + v.y * v.y + v.z * v.z );
}

JumpOnCoorParam Request( const DTVector3d& target, const DTVector3d& speed, const u32 flags, const f32 height = 0.0f,
						 const f32 maxSpeed = 0.0f ) {
	JumpOnCoorParam request = {};
	request.oTargetCoor = target;
	request.oTargetSpeed = speed;
	request.uiFlags = flags;
	request.fRelHeightToReach = height;
	request.fMaxSpeed = maxSpeed;
	return request;
}

bool SameBits( const DTVector3d& a, const DTVector3d& b ) {
	return std::memcmp( &a, &b, sizeof( DTVector3d ) ) == 0;
}

// Step 5 as written, without the guards, in single precision.
DTVector3d Launch( const DTVector3d& d, const DTVector3d& s, const DTVector3d& a, const f32 t ) {
	return DTVector3d( d.x / t + s.x - 0.5f * a.x * t, d.y / t + s.y - 0.5f * a.y * t, d.z / t + s.z - 0.5f * a.z * t );
}

const DTVector3d GRAVITY( 0.0f, -10.0f, 0.0f );
const DTVector3d ORIGIN( 0.0f, 0.0f, 0.0f );

TEST( LogicApiPhysicJump, EdgeRequestsGiveTheirStatedResults ) {
	DTVector3d v;
	// No flag: the start time.
	const DTVector3d d( 3, 1, -2 );
	const DTVector3d s( 0.5f, 0, 0 );
	ASSERT_TRUE( JumpVelocity( ORIGIN, GRAVITY, Request( d, s, 0 ), v ) );
	EXPECT_TRUE( SameBits( v, Launch( d, s, GRAVITY, 0.01f ) ) );
	// A clamp above the speed changes nothing.
	DTVector3d clamped;
	ASSERT_TRUE( JumpVelocity( ORIGIN, GRAVITY, Request( d, s, JUMP_CLAMP_SPEED, 0, 1000.0f ), clamped ) );
	EXPECT_TRUE( SameBits( clamped, v ) );
	// Below it: the same direction at the clamp's length.
	ASSERT_TRUE( JumpVelocity( ORIGIN, GRAVITY, Request( d, s, JUMP_CLAMP_SPEED, 0, 5.0f ), clamped ) );
	EXPECT_NEAR( Length( Of( clamped ) ), 5.0, 1e-5 );
	EXPECT_NEAR( clamped.x / 5.0f, v.x / static_cast<f32>( Length( Of( v ) ) ), 1e-6f );
	// A given speed too small to reach the target: no time, s - 5000 a.
	const JumpOnCoorParam slow = Request( DTVector3d( 10, 0, 0 ), DTVector3d(), JUMP_GIVEN_SPEED, 0, 1.0f );
	EXPECT_EQ( JumpFlightTime( ORIGIN, GRAVITY, slow ), JUMP_NO_TIME );
	ASSERT_TRUE( JumpVelocity( ORIGIN, GRAVITY, slow, v ) );
	EXPECT_NEAR( v.y, 50000.0f, 1e-2f );
	EXPECT_NEAR( v.x, 0.001f, 1e-6f );
	// No height to pass, a resting target below: the time of the fall and
	// no launch speed along the up direction.
	const JumpOnCoorParam drop = Request( DTVector3d( 3, -5, 0 ), DTVector3d(), JUMP_OVER_HEIGHT );
	EXPECT_NEAR( JumpFlightTime( ORIGIN, GRAVITY, drop ), 1.0f, 1e-6f );
	ASSERT_TRUE( JumpVelocity( ORIGIN, GRAVITY, drop, v ) );
	EXPECT_NEAR( v.x, 3.0f, 1e-5f );
	EXPECT_NEAR( v.y, 0.0f, 1e-5f );
	// A height passes over the start first: the least speed not sooner.
	const JumpOnCoorParam over = Request( DTVector3d( 4, 0, 0 ), DTVector3d(), JUMP_OVER_HEIGHT, 3.0f );
	const f32 heightTime = JumpFlightTime( ORIGIN, GRAVITY, over );
	EXPECT_NEAR( heightTime, 2.0f * std::sqrt( 0.6f ), 1e-5f );
	JumpOnCoorParam both = over;
	both.uiFlags |= JUMP_LEAST_SPEED;
	const f32 leastAlone = JumpFlightTime( ORIGIN, GRAVITY, Request( DTVector3d( 4, 0, 0 ), DTVector3d(), JUMP_LEAST_SPEED ) );
	ASSERT_LT( leastAlone, heightTime );
	EXPECT_EQ( JumpFlightTime( ORIGIN, GRAVITY, both ), JUMP_NO_TIME );
	both.oTargetCoor = DTVector3d( 40, 0, 0 );
	const f32 farHeight = JumpFlightTime( ORIGIN, GRAVITY, Request( both.oTargetCoor, DTVector3d(), JUMP_OVER_HEIGHT, 3.0f ) );
	const f32 farLeast = JumpFlightTime( ORIGIN, GRAVITY, Request( both.oTargetCoor, DTVector3d(), JUMP_LEAST_SPEED ) );
	ASSERT_GT( farLeast, farHeight );
	EXPECT_EQ( JumpFlightTime( ORIGIN, GRAVITY, both ), farLeast );
}

// Random requests of one flag set, reproducible.
struct RandomRequest {
	DTVector3d		p;
	DTVector3d		a;
	JumpOnCoorParam	request;
};

std::vector<RandomRequest> RandomRequests( const u32 flags, const u32 count, const u32 seed ) {
	std::mt19937 random( seed );
	std::uniform_real_distribution<f32> unit( -1.0f, 1.0f );
	std::vector<RandomRequest> requests;
	for ( u32 i = 0; i < count; i++ ) {
		RandomRequest r;
		r.p = DTVector3d( 20 * unit( random ), 20 * unit( random ), 20 * unit( random ) );
		r.a = DTVector3d( 2 * unit( random ), -10 + 3 * unit( random ), 2 * unit( random ) );
		const DTVector3d d( 15 * unit( random ), 5 * unit( random ), 15 * unit( random ) );
		const DTVector3d s( 3 * unit( random ), unit( random ), 3 * unit( random ) );
		r.request = Request( r.p + d, s, flags, 4.0f + 3.0f * unit( random ), 40.0f + 10.0f * unit( random ) );
		requests.push_back( r );
	}
	return requests;
}

TEST( LogicApiPhysicJump, RandomJumpsMeetTheirTargetAtTheFlightTime ) {
	const u32 flagSets[] = { 0, JUMP_OVER_HEIGHT, JUMP_LEAST_SPEED, JUMP_GIVEN_SPEED,
							 JUMP_OVER_HEIGHT | JUMP_LEAST_SPEED, JUMP_OVER_HEIGHT | JUMP_GIVEN_SPEED };
	for ( const u32 flags : flagSets ) {
		SCOPED_TRACE( flags );
		for ( const RandomRequest& r : RandomRequests( flags, 200, 56 + flags ) ) {
			const f32 t = JumpFlightTime( r.p, r.a, r.request );
			ASSERT_TRUE( std::isfinite( t ) && t > 0.0f );
			DTVector3d v;
			ASSERT_TRUE( JumpVelocity( r.p, r.a, r.request, v ) );
			// Valid requests are step 5 to the bit.
			EXPECT_TRUE( SameBits( v, Launch( r.request.oTargetCoor - r.p, r.request.oTargetSpeed, r.a, t ) ) );
			const double T = t;
			const Vec body = { r.p.x + v.x * T + 0.5 * r.a.x * T * T, r.p.y + v.y * T + 0.5 * r.a.y * T * T,
							   r.p.z + v.z * T + 0.5 * r.a.z * T * T };
			const Vec target = { r.request.oTargetCoor.x + r.request.oTargetSpeed.x * T,
								 r.request.oTargetCoor.y + r.request.oTargetSpeed.y * T,
								 r.request.oTargetCoor.z + r.request.oTargetSpeed.z * T };
			const double scale = 1.0 + Length( Of( r.request.oTargetCoor - r.p ) ) + Length( Of( r.a ) ) * T * T;
			EXPECT_LT( Length( { body.x - target.x, body.y - target.y, body.z - target.z } ), 2e-5 * scale );
			if ( ( flags & JUMP_GIVEN_SPEED ) != 0 && t != JUMP_NO_TIME ) {
				EXPECT_NEAR( Length( Of( v ) ), r.request.fMaxSpeed, 2e-3 * r.request.fMaxSpeed );
			}
		}
	}
}

TEST( LogicApiPhysicJump, TheLeastSpeedTimeIsALocalMinimumOfTheLaunchSpeed ) {
	u32 checked = 0;
	for ( const RandomRequest& r : RandomRequests( JUMP_LEAST_SPEED, 300, 4 ) ) {
		const double T = JumpFlightTime( r.p, r.a, r.request );
		if ( T == JUMP_NO_TIME ) {
			continue;
		}
		// |V(t)| in double, independently of the solver.
		const Vec d = Of( r.request.oTargetCoor - r.p );
		const Vec s = Of( r.request.oTargetSpeed );
		const Vec a = Of( r.a );
		const auto speed = [&]( const double t ) {
			return Length( { d.x / t + s.x - 0.5 * a.x * t, d.y / t + s.y - 0.5 * a.y * t, d.z / t + s.z - 0.5 * a.z * t } );
		};
		const double delta = 1e-2 * T;
		EXPECT_LE( speed( T ), speed( T - delta ) * ( 1 + 1e-6 ) );
		EXPECT_LE( speed( T ), speed( T + delta ) * ( 1 + 1e-6 ) );
		checked++;
	}
	EXPECT_GT( checked, 250u );
}

TEST( LogicApiPhysicJump, DegenerateRequestsStartAtTheStartTimeOrWriteNothing ) {
	DTVector3d v( 7, 7, 7 );
	// No acceleration.
	EXPECT_FALSE( JumpVelocity( ORIGIN, ORIGIN, Request( DTVector3d( 1, 0, 0 ), DTVector3d(), JUMP_OVER_HEIGHT ), v ) );
	EXPECT_EQ( v.x, 7.0f );
	// Level, resting target and no height: the height time is 0.
	const JumpOnCoorParam level = Request( DTVector3d( 2, 0, 0 ), DTVector3d(), JUMP_OVER_HEIGHT );
	EXPECT_EQ( JumpFlightTime( ORIGIN, GRAVITY, level ), 0.0f );
	ASSERT_TRUE( JumpVelocity( ORIGIN, GRAVITY, level, v ) );
	EXPECT_TRUE( SameBits( v, Launch( DTVector3d( 2, 0, 0 ), DTVector3d(), GRAVITY, 0.01f ) ) );
	// A velocity that overflows is not applied.
	v = DTVector3d( 7, 7, 7 );
	EXPECT_FALSE( JumpVelocity( ORIGIN, GRAVITY, Request( DTVector3d( 3e38f, 0, 0 ), DTVector3d(), 0 ), v ) );
	EXPECT_EQ( v.x, 7.0f );
}

class LogicApiPhysicJumpTest : public PhysicTableBench {};

TEST_F( LogicApiPhysicJumpTest, TheTableRefusesForeignHandlesAndMissingBodies ) {
	EFPhysic* const body = MakeModuleBody( JUMPER, 1, 2, 3 );
	const u32 gravity = GiveGravity( JUMPER );
	const u32 move = api.DMAdd( JUMPER, EF_DM_MOVE );
	body->moVelocity = DTVector3d( 5, 5, 5 );
	JumpOnCoorParam request = Request( DTVector3d( 4, 2, 3 ), DTVector3d(), JUMP_LEAST_SPEED );
	for ( const u32 handle : { 0u, move, gravity + 1 } ) {
		request.uiDmAccelerationHandle = handle;
		api.JumpOnCoor( JUMPER, &request );
		EXPECT_EQ( body->moVelocity.x, 5.0f );
	}
	request.uiDmAccelerationHandle = gravity;
	api.JumpOnCoor( JUMPER + 7, &request );
	api.JumpOnCoor( JUMPER, nullptr );
	EXPECT_EQ( body->moVelocity.x, 5.0f );
	body->mfFallingDelay = 0.25f;
	body->mfFallingTimer = 0.0f;
	api.JumpOnCoor( JUMPER, &request );
	DTVector3d expected;
	ASSERT_TRUE( JumpVelocity( DTVector3d( 1, 2, 3 ), DTVector3d( 0, -9.8f, 0 ), request, expected ) );
	EXPECT_TRUE( SameBits( body->moVelocity, expected ) );
	EXPECT_EQ( body->mfFallingTimer, 0.25f );
}

TEST_F( LogicApiPhysicJumpTest, AJumpFlownByThePhysicsFrameLandsOnAMovingTarget ) {
	EFPhysic* const jumper = MakeModuleBody( JUMPER, 0, 1, 0 );
	EFPhysic* const target = MakeModuleBody( TARGET, 6, 0, -3 );
	const DTVector3d drift( -1.0f, 0.5f, 1.5f );
	target->moVelocity = drift;
	JumpOnCoorParam request = Request( DTVector3d( 6, 0, -3 ), drift, JUMP_LEAST_SPEED );
	request.uiDmAccelerationHandle = GiveGravity( JUMPER );
	api.JumpOnCoor( JUMPER, &request );
	const f32 t = JumpFlightTime( DTVector3d( 0, 1, 0 ), DTVector3d( 0, -9.8f, 0 ), request );
	ASSERT_GT( t, 0.1f );
	ASSERT_LT( t, 5.0f );
	const f32 dt = 1.0f / 60.0f;
	const u32 frames = static_cast<u32>( std::lround( t / dt ) );
	Step( 60u, frames );
	const Vec at = Of( WorldPos( *OwnerOf( jumper ) ) );
	const Vec goal = Of( WorldPos( *OwnerOf( target ) ) );
	// Euler steps are off by a dt t / 2, the frame count by v dt at most.
	const double error = 9.8 * dt * t / 2 + Length( Of( jumper->moVelocity - drift ) ) * dt + 1e-3;
	EXPECT_LT( Length( { at.x - goal.x, at.y - goal.y, at.z - goal.z } ), error );
}

}
