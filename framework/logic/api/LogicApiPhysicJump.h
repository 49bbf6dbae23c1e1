/*
===============================================================================

	Jump trajectory solver of the physics table: the launch velocity that
	takes a body from p, under the constant acceleration a of one of its
	acceleration modules, onto a target point that moves at a constant
	speed.

	The flight time T starts at 0.01 s and is then chosen by the flags,
	in this order: 0x2 the later instant at which a body launched high
	enough to rise fRelHeightToReach above its start is level with the
	target again; 0x4 the time of the least launch speed not shorter than
	T; 0x8 the first time at which the launch speed equals fMaxSpeed
	(replacing T). With no such time T is 10000. The velocity is then
	V = d / T + s - a T / 2 (d = target - p, s = the target's speed), and
	0x1 shortens V to fMaxSpeed when it is longer.

	Every square root keeps a non-positive argument as it is (DTSqrtf):
	the height rule relies on that (a launch speed of 2gh when 2gh is not
	positive). Single precision throughout.

	A time that comes out zero or not finite becomes 0.01, and a velocity
	that is not finite is not applied: no request leaves a NaN in a body.

===============================================================================
*/
#ifndef LOGIC_API_PHYSIC_JUMP_H
#define LOGIC_API_PHYSIC_JUMP_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/logic/api/LogicApiRecords.h"

constexpr u32 JUMP_CLAMP_SPEED		= 0x1;
constexpr u32 JUMP_OVER_HEIGHT		= 0x2;
constexpr u32 JUMP_LEAST_SPEED		= 0x4;
constexpr u32 JUMP_GIVEN_SPEED		= 0x8;
// The flight time before the flags choose one, and when none is found.
constexpr f32 JUMP_START_TIME		= 0.01f;
constexpr f32 JUMP_NO_TIME			= 10000.0f;

// The flight time of the request from p under a (whose length g is
// positive).
f32			JumpFlightTime( const DTVector3d & p, const DTVector3d & a, const JumpOnCoorParam & request );
// The launch velocity of the request; false when it is not finite or a
// has no length, and velocity is then left alone.
bool		JumpVelocity( const DTVector3d & p, const DTVector3d & a, const JumpOnCoorParam & request,
						  DTVector3d & velocity );
// Launches the object's body: the acceleration of the request's module
// (an acceleration module), p the object frame's world position. Nothing
// without the object, its body, its frame, such a module or a request.
void		JumpOnCoor( u32 object, const JumpOnCoorParam * request );

#endif
