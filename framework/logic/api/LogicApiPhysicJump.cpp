#include "framework/logic/api/LogicApiPhysicJump.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTQuartic.h"
#include "datatypes/maths/DTSqrtf.h"
#include "framework/behaviour/EFDMInterface.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPhysicModule.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"

#include <cmath>

namespace {

// The roots of the quartic that pass keep, the smallest of them; none
// when no root passes.
template< class Keep >
f32 SmallestRoot( DTQuartic & quartic, Keep keep ) {
	const u32 count = quartic.Solve();
	const f32 roots[4] = { quartic.root0, quartic.root1, quartic.root2, quartic.root3 };
	f32 best = JUMP_NO_TIME;
	bool found = false;
	for ( u32 i = 0; i < count && i < 4; i++ ) {
		if ( keep( roots[i] ) && ( !found || roots[i] < best ) ) {
			best = roots[i];
			found = true;
		}
	}
	return found ? best : JUMP_NO_TIME;
}

}

f32 JumpFlightTime( const DTVector3d & p, const DTVector3d & a, const JumpOnCoorParam & request ) {
	const DTVector3d d = request.oTargetCoor - p;
	const DTVector3d & s = request.oTargetSpeed;
	const f32 g = DTSqrtf( a * a );
	f32 t = JUMP_START_TIME;
	if ( ( request.uiFlags & JUMP_OVER_HEIGHT ) != 0 ) {
		const DTVector3d up( -a.x / g, -a.y / g, -a.z / g );
		const f32 dh = d * up;
		const f32 su = s * up;
		const f32 h = request.fRelHeightToReach;
		f32 vl = DTSqrtf( 2.0f * g * h );
		if ( h + dh > 0.0f ) {
			const f32 over = su + DTSqrtf( 2.0f * g * ( h + dh ) );
			vl = over > vl ? over : vl;
		}
		const f32 w = vl - su;
		const f32 r = DTSqrtf( w * w - 2.0f * g * dh );
		t = ( w + r ) / g;
	}
	if ( ( request.uiFlags & JUMP_LEAST_SPEED ) != 0 ) {
		DTQuartic quartic = {};
		quartic.a = 0.5f * ( a * a );
		quartic.b = -( s * a );
		quartic.c = 0.0f;
		quartic.d = -2.0f * ( d * s );
		quartic.e = -2.0f * ( d * d );
		const f32 least = t;
		t = SmallestRoot( quartic, [least]( const f32 root ) { return root >= least; } );
	}
	if ( ( request.uiFlags & JUMP_GIVEN_SPEED ) != 0 ) {
		const f32 vm = request.fMaxSpeed;
		DTQuartic quartic = {};
		quartic.a = 0.25f * ( a * a );
		quartic.b = -( s * a );
		quartic.c = s * s - d * a - vm * vm;
		quartic.d = 2.0f * ( d * s );
		quartic.e = d * d;
		t = SmallestRoot( quartic, []( const f32 root ) { return root > 0.0f; } );
	}
	return t;
}

bool JumpVelocity( const DTVector3d & p, const DTVector3d & a, const JumpOnCoorParam & request,
				   DTVector3d & velocity ) {
	const f32 g = DTSqrtf( a * a );
	if ( !( g > 0.0f ) || !std::isfinite( g ) ) {
		return false;
	}
	f32 t = JumpFlightTime( p, a, request );
	// The height rule gives 0 for a target level with the start, resting,
	// and no height to pass: the start time is the only usable one then.
	if ( t == 0.0f || !std::isfinite( t ) ) {
		t = JUMP_START_TIME;
	}
	const DTVector3d d = request.oTargetCoor - p;
	const DTVector3d & s = request.oTargetSpeed;
	DTVector3d v( d.x / t + s.x - 0.5f * a.x * t, d.y / t + s.y - 0.5f * a.y * t, d.z / t + s.z - 0.5f * a.z * t );
	if ( ( request.uiFlags & JUMP_CLAMP_SPEED ) != 0 ) {
		const f32 length = DTSqrtf( v * v );
		if ( length > request.fMaxSpeed ) {
			v *= request.fMaxSpeed / length;
		}
	}
	if ( !std::isfinite( v.x ) || !std::isfinite( v.y ) || !std::isfinite( v.z ) ) {
		return false;
	}
	velocity = v;
	return true;
}

void JumpOnCoor( const u32 id, const JumpOnCoorParam * request ) {
	EFGameObject * const object = gpoWorldMgr != nullptr && id != 0 ? gpoWorldMgr->GetGameObject( id ) : nullptr;
	EFPhysic * const body = object != nullptr ? object->mpoPhysic : nullptr;
	if ( body == nullptr || request == nullptr || object->GetFrame() == nullptr ) {
		return;
	}
	// Another module's parameter record is larger than the acceleration's.
	EFPhysicModule * const module = EFPhysicMgr::moPhysicMgr.GetModule( request->uiDmAccelerationHandle );
	if ( module == nullptr || module->GetTypeId() != EF_DM_ACCELERATION ) {
		return;
	}
	DMAccelerationParams params = {};
	module->GetParams( &params );
	const RwMatrix * const world = RwFrameGetLTM( object->GetFrame()->GetRwFrame() );
	const DTVector3d p( world->pos.x, world->pos.y, world->pos.z );
	DTVector3d velocity;
	if ( JumpVelocity( p, params.oAcceleration, *request, velocity ) ) {
		body->moVelocity = velocity;
		body->mfFallingTimer = body->mfFallingDelay;
	}
}
