#include "framework/behaviour/EFDMFollow.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTQuaternion.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/RayIntersectIn.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"

#include <cmath>

namespace {

constexpr f32 DEFAULT_FOLLOW		= 1.0f;
constexpr f32 DEFAULT_STOP			= 2.0f;
constexpr f32 DEFAULT_SMOOTHING		= 0.3f;
constexpr f32 DEFAULT_MAX_SPEED		= 7.0f;
constexpr f32 DEFAULT_MIN_SPEED		= 0.1f;
// Height of the trail and of the sight ray above the positions.
constexpr f32 EYE_HEIGHT			= 0.5f;
// Smallest move recorded (squared: 0.25 units).
constexpr f32 SMALLEST_STEP			= 0.0625f;
constexpr u32 RECORD_EVERY			= 5;
// Most steps back along the trail.
constexpr u32 MOST_STEPS_BACK		= 25;
constexpr f32 SMALLEST_SMOOTHING	= 0.000001f;
constexpr f32 SHORTFALL				= 0.001f;
constexpr u32 STUCK_FRAMES			= 10;
constexpr u32 ENV_DETECT			= 3;

DTVector3d PositionOf( DTFrame & frame ) {
	const RwMatrix * const ltm = RwFrameGetLTM( frame.GetRwFrame() );
	return DTVector3d( ltm->pos.x, ltm->pos.y, ltm->pos.z );
}

}

bool EFDMFollow::msbFirstUpdateDone = false;

EFDMFollow::EFDMFollow( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32RingIndex( 0 ), mui32Frame( 0 ), mfRadius( 0.0f ),
	  mui32BlockedFrames( 0 ), mbStuck( 0 ) {
	SetParams( nullptr );
}

void EFDMFollow::SetDefaults() {
	mui32LeaderId = 0;
	mfFollowDistance = DEFAULT_FOLLOW;
	mfStopDistance = DEFAULT_STOP;
	mfLookSmoothing = DEFAULT_SMOOTHING;
	mfMaxSpeed = DEFAULT_MAX_SPEED;
	mfMinSpeed = DEFAULT_MIN_SPEED;
	mui32ObjUDDetectType = 0;
}

void EFDMFollow::SetParams( void * params ) {
	if ( params == nullptr ) {
		SetDefaults();
		mui32RingIndex = 0;
		mui32Frame = 0;
		moTarget = DTVector3d();
		mui32BlockedFrames = 0;
		mbStuck = 0;
		return;
	}
	const DMFollowParams & record = *static_cast<const DMFollowParams *>( params );
	mui32LeaderId = DMStoredObjectId( record.ui32LeaderId );
	mfFollowDistance = record.fFollowDistance;
	mfStopDistance = record.fStopDistance;
	mfLookSmoothing = record.fLookSmoothing;
	mfMaxSpeed = record.fMaxSpeed;
	mfMinSpeed = record.fMinSpeed;
	mui32ObjUDDetectType = record.ui32ObjUDDetectType;
	const EFCollisionModel & model = mpoOwner->moCollisionModel;
	const EFObjCollisionPrim * const primary = model.GetPrimitive( model.muiPrimaryPrimIndex );
	mfRadius = primary != nullptr ? primary->mfMaxRadius : 0.0f;
}

void EFDMFollow::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMFollowParams & record = *static_cast<DMFollowParams *>( params );
	record.ui32LeaderId = mui32LeaderId;
	record.fFollowDistance = mfFollowDistance;
	record.fStopDistance = mfStopDistance;
	record.fLookSmoothing = mfLookSmoothing;
	record.fMaxSpeed = mfMaxSpeed;
	record.fMinSpeed = mfMinSpeed;
}

void EFDMFollow::DoAction( const u32 action, void * ) {
	if ( action == DM_FOLLOW_RESET ) {
		Reset();
	}
}

void EFDMFollow::Reset() {
	for ( DTVector3d & slot : maoRing ) {
		slot = moLeaderPos;
	}
	mui32RingIndex = 0;
}

void EFDMFollow::UpdateLeadPosArray( const DTVector3d & leader ) {
	const DTVector3d p = leader + DTVector3d( 0.0f, EYE_HEIGHT, 0.0f );
	const u32 previous = mui32RingIndex == 0 ? EF_DM_FOLLOW_RING - 1 : mui32RingIndex - 1;
	if ( ( p - maoRing[previous] ).LengthSquare() >= SMALLEST_STEP ) {
		maoRing[mui32RingIndex] = p;
		mui32RingIndex = mui32RingIndex + 1 == EF_DM_FOLLOW_RING ? 0 : mui32RingIndex + 1;
	}
}

bool EFDMFollow::IsIntersecting( const DTVector3d & v ) const {
	RayIntersectIn in = {};
	in.oStartVector = moFollowerPos + DTVector3d( 0.0f, EYE_HEIGHT, 0.0f );
	in.oDeplVector = v;
	const f32 length = std::sqrt( v.LengthSquare() );
	if ( length > 0.0f ) {
		in.oDeplVector = v * ( 1.0f + mfRadius / length );
	}
	in.ui32ObjDetectType = 0;
	in.ui32ObjUDDetectType = mui32ObjUDDetectType;
	in.ui32EnvDetectType = ENV_DETECT;
	in.ui32EnvUDDetectType = 0;
	const EFGameObject * const follower = DMOwnerObject( *this );
	in.ui32ExcludeObjID = follower != nullptr ? follower->GetUID() : 0;
	EFRayIntersectOut out = {};
	return EFPhysicMgr::moPhysicMgr.RayIntersect( in, out ) != PS_RAY_NONE;
}

u32 EFDMFollow::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	EFGameObject * const leader = DMFindObject( mui32LeaderId );
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( leader == nullptr || frame == nullptr ) {
		return 1;
	}
	moLeaderPos = DMObjectPosition( *leader );
	moFollowerPos = PositionOf( *frame );
	if ( !msbFirstUpdateDone ) {
		msbFirstUpdateDone = true;
		Reset();
	}
	mui32Frame = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	if ( mui32Frame % RECORD_EVERY == 0 ) {
		UpdateLeadPosArray( moLeaderPos );
	}
	const DTVector3d toLeader = moLeaderPos - moFollowerPos;
	if ( ( mui32State & EF_DM_FOLLOW_ARRIVED ) != 0 && toLeader.LengthSquare() <= mfStopDistance * mfStopDistance ) {
		return 1;
	}
	const f32 distance = std::sqrt( toLeader.LengthSquare() );
	const DTVector3d u = distance > 0.0f ? toLeader * ( 1.0f / distance ) : toLeader;
	moTarget = moLeaderPos - u * mfFollowDistance;
	u32 i = mui32RingIndex;
	for ( u32 k = 0; k <= MOST_STEPS_BACK && IsIntersecting( moTarget - moFollowerPos ); k++ ) {
		i = i == 0 ? EF_DM_FOLLOW_RING - 1 : i - 1;
		moTarget = maoRing[i];
	}
	if ( moTarget.x == moFollowerPos.x || moTarget.z == moFollowerPos.z ) {
		DMChangeState( *this, mui32State | EF_DM_FOLLOW_ARRIVED );
	} else {
		mbStuck = 0;
		DMChangeState( *this, mui32State & ~EF_DM_FOLLOW_STUCK );
		UpdateVelocity( record, *frame, dt );
	}
	if ( mbStuck != 0 ) {
		DMChangeState( *this, mui32State | EF_DM_FOLLOW_STUCK );
	}
	return 1;
}

void EFDMFollow::UpdateVelocity( EFDynamicPhysic & record, DTFrame & frame, const f32 dt ) {
	DTVector3d v = ( moTarget - moFollowerPos ) * ( 1.0f / dt );
	const f32 speed = std::sqrt( v.LengthSquare() );
	if ( speed < mfMinSpeed ||
		 ( moLeaderPos - moFollowerPos ).LengthSquare() < mfFollowDistance * mfFollowDistance ) {
		DMChangeState( *this, mui32State | EF_DM_FOLLOW_ARRIVED );
		return;
	}
	if ( speed > mfMaxSpeed ) {
		v *= mfMaxSpeed / speed;
	}
	moTarget.y = moFollowerPos.y;
	LookAtTarget( frame, dt );
	DMChangeState( *this, mui32State & ~EF_DM_FOLLOW_ARRIVED );
	record.oTargetVelocity += v;
}

void EFDMFollow::LookAtTarget( DTFrame & frame, const f32 dt ) {
	RwMatrix & modelling = frame.GetRwFrame()->modelling;
	DTMatrix current;
	current.oMat = modelling;
	DTQuaternion from;
	from.MatToQuat( &current );
	DTVector3d at = moTarget - moFollowerPos;
	at.Normalize();
	DTVector3d right;
	DTVector3d( 0.0f, 1.0f, 0.0f ).Cross( at, &right );
	right.Normalize();
	DTVector3d up;
	at.Cross( right, &up );
	up.Normalize();
	DTMatrix look;
	look.oMat = modelling;
	*look.GetRight() = right;
	*look.GetUp() = up;
	*look.GetAt() = at;
	DTQuaternion to;
	to.MatToQuat( &look );
	to.Normalise();
	f32 k = 0.0f;
	if ( mfLookSmoothing < SMALLEST_SMOOTHING ) {
		k = 1.0f;
	} else if ( dt > SMALLEST_SMOOTHING ) {
		k = dt / mfLookSmoothing;
		k = k > 1.0f ? 1.0f : k;
	}
	DTQuaternion q;
	q.Lerp( from, to, k );
	DTMatrix work;
	work.oMat = modelling;
	q.QuatToMat( &work );
	RwMatrix turned;
	RwMatrixOrthoNormalize( &turned, &work.oMat );
	modelling.right = turned.right;
	modelling.up = turned.up;
	modelling.at = turned.at;
	RwFrameUpdateObjects( frame.GetRwFrame() );
}

void EFDMFollow::PostColUpdate( EFCollisionStage *, f32 ) {
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( frame == nullptr ) {
		return;
	}
	const DTVector3d p = PositionOf( *frame );
	if ( moTarget.x - p.x > SHORTFALL || moTarget.z - p.z > SHORTFALL ) {
		mui32BlockedFrames++;
		if ( mui32BlockedFrames == STUCK_FRAMES ) {
			mbStuck = 1;
			mui32BlockedFrames = 0;
		}
	} else {
		mui32BlockedFrames = 0;
	}
}
