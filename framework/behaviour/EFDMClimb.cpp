#include "framework/behaviour/EFDMClimb.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/input/ActionState.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>

namespace {

// A stick shorter than this gives no input.
constexpr f32 SMALLEST_STICK	= 0.0001f;
// Probe search: polygons within this squared distance; none found
// leaves the nearest at NO_SURFACE.
constexpr f32 PROBE_LIMIT		= 10.0f;
constexpr f32 NO_SURFACE		= 11.0f;
// Closer polygons weigh as if at this squared distance.
constexpr f32 CLOSEST_WEIGHT	= 0.01f;
// How fast the yaw bend follows the steering, per update.
constexpr f32 YAW_FOLLOW		= 0.15f;
// Extra body turn at full stick.
constexpr f32 TURN_BOOST		= 0.6f;
// The pitch bend's share per spine bone.
constexpr f32 BONE_SHARE		= 0.33333f;
constexpr u32 CENTRE_PROBE		= 2;

bool IsZero( const DTVector3d & v ) {
	return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

// Turns a bone about one of its own axes (a row of its modelling matrix).
void RotateBone( RwFrame * bone, const RwV3d RwMatrix::*axis, const f32 radians ) {
	if ( bone != nullptr ) {
		DMRotateInPlace( bone, DMRow( bone->modelling.*axis ), radians );
	}
}

// current moved toward target by at most step, never past it.
f32 MoveToward( const f32 current, const f32 target, const f32 step ) {
	if ( current < target ) {
		return std::fmin( current + step, target );
	}
	return std::fmax( current - step, target );
}

// The signed angle from sum to mid about axis, both flattened across it;
// 0 when either has nothing left.
f32 BendAngle( const DTVector3d & sum, const DTVector3d & mid, const DTVector3d & axis ) {
	DTVector3d p;
	DTVector3d q;
	sum.RemoveComponent( axis, &p );
	mid.RemoveComponent( axis, &q );
	p = DMUnit( p );
	q = DMUnit( q );
	if ( IsZero( p ) || IsZero( q ) ) {
		return 0.0f;
	}
	DTVector3d turn;
	f32 angle = 0.0f;
	p.GetRotationTo( q, &turn, &angle );
	return turn * axis < 0.0f ? -angle : angle;
}

}

void DMClimbParamsInit( DMClimbParams * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMClimbParams & p = *params;
	p.ui32InputConfigId = 0;
	p.ui32ActionId = 0;
	p.fMaxSpeed = 6.0f;
	p.fMinSpeed = 0.6f;
	p.fMaxTurnRate = 6.0f;
	p.fUnused5 = 3.1415927f;
	p.fGravity = 9.8f;
	p.fUpTurnRate = 6.0f;
	p.afProbeOffset[0] = 0.5f;
	p.afProbeOffset[1] = 0.3f;
	p.afProbeOffset[2] = 0.0f;
	p.afProbeOffset[3] = -0.3f;
	p.afProbeOffset[4] = -0.5f;
	p.fProbeHeight = 0.05f;
	p.fBSphereRadius = 1.75f;
	p.fContactLimit = 0.5f;
	for ( u32 & bone : p.aui32SpineBone ) {
		bone = EF_DM_CLIMB_NO_BONE;
	}
	p.fPitchRate = 6.0f;
	p.fUnused20 = 6.0f;
	p.fPitchFactor = 1.0f;
	p.fPitchBend = 0.0f;
	p.fRollRate = 6.0f;
	p.fRollFactor = 1.0f;
	p.fRollBend = 0.0f;
	p.fYawFactor = 5.0f;
	p.ui32Unused27 = 0;
	// Word 28 is left as it is: every update writes it.
}

f32 ProjectInputOntoLocalFloor( f32 x, f32 y, const RwMatrix & camera, const RwMatrix & body, const DTVector3d & u,
								DTVector3d * out ) {
	f32 m = std::sqrt( x * x + y * y );
	if ( m > 1.0f ) {
		x /= m;
		y /= m;
		m = 1.0f;
	}
	if ( m < SMALLEST_STICK ) {
		return 0.0f;
	}
	const DTVector3d d = DMRow( camera.pos ) - DMRow( body.pos );
	const DTVector3d a = DMUnit( DMCross( DMRow( camera.up ), d ) );
	const DTVector3d b = DMUnit( DMCross( DMRow( camera.right ), d ) );
	*out = DMUnit( DMCross( b, u ) ) * x + DMUnit( DMCross( u, a ) ) * y;
	return m;
}

u32 EFCollisionStage_FindWeightedAvgNormal( const EFCollisionStage * stage, const DTVector3d & point, const u32 mask,
											DTVector3d * normal, f32 * nearest ) {
	*normal = DTVector3d();
	*nearest = NO_SURFACE;
	bool counted = false;
	const u32 count = stage != nullptr ? stage->mui32NbEnvPrims : 0;
	for ( u32 i = 0; i < count; i++ ) {
		const EFEnvCollisionPrim * const polygon = stage->mppoEnvPrims[i];
		if ( polygon == nullptr || ( polygon->GetAttribs()->ui32DetectedBy & mask ) == 0 ) {
			continue;
		}
		DTVector3d w;
		if ( EFCollisionStage_FindNearestPoint( *polygon, point, PROBE_LIMIT, &w ) == CS_FINDNEARESTPOINT_TOOFAR ) {
			continue;
		}
		const f32 d2 = std::fmax( w * w, CLOSEST_WEIGHT );
		*normal += polygon->moPlane.moNormal * ( 1.0f / ( d2 * d2 ) );
		*nearest = std::fmin( *nearest, d2 );
		counted = true;
	}
	if ( !counted ) {
		return 0;
	}
	*normal = DMUnit( *normal );
	return 1;
}

EFDMClimb::EFDMClimb( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), moParams(), mpoAction( nullptr ), moGravity(), mapoBone{},
	  maoProbe{}, moSumNormal(), moMidNormal(), mfSavedRadius( 0.0f ), mpoBodyFrame( nullptr ),
	  mfYawBend( 0.0f ), mfStickMagnitude( 0.0f ), mbReady( 0 ) {
	DMClimbParamsInit( &moParams );
}

void EFDMClimb::SetParams( void * params ) {
	if ( params != nullptr ) {
		moParams = *static_cast<const DMClimbParams *>( params );
	} else {
		DMClimbParamsInit( &moParams );
	}
	const EFPhysicData * const owner = mpoOwner->GetOwner();
	const EFGameObject * const object = owner != nullptr ? owner->mpGameObjectOwner : nullptr;
	for ( u32 i = 0; i < EF_DM_CLIMB_BONES; i++ ) {
		DTFrame * const bone = object != nullptr ? object->GetBoneFrame( moParams.aui32SpineBone[i] ) : nullptr;
		mapoBone[i] = bone != nullptr ? bone->GetRwFrame() : nullptr;
	}
	moGravity = DTVector3d( 0.0f, -moParams.fGravity, 0.0f );
	for ( u32 i = 0; i < EF_DM_CLIMB_PROBES; i++ ) {
		maoProbe[i].mfOffset = moParams.afProbeOffset[i];
	}
	mpoAction = DMActionState( moParams.ui32InputConfigId, moParams.ui32ActionId );
	DTFrame * const frame = DMOwnerFrame( *this );
	mpoBodyFrame = frame != nullptr ? frame->GetRwFrame() : nullptr;
	mbReady = 1;
}

void EFDMClimb::GetParams( void * params ) {
	if ( params != nullptr ) {
		*static_cast<DMClimbParams *>( params ) = moParams;
	}
}

void EFDMClimb::DoAction( const u32 action, void * data ) {
	static_cast<void>( action );
	static_cast<void>( data );
	mfYawBend = 0.0f;
	moParams.fPitchBend = 0.0f;
	moParams.fRollBend = 0.0f;
}

void EFDMClimb::SetBSphereRadius( EFDynamicPhysic * record, const f32 radius ) {
	if ( record != nullptr ) {
		record->fFrameBSphereRadius = radius;
	}
	mpoOwner->moCollisionModel.moPhysicBSphere.mfRadius = radius;
}

void EFDMClimb::SetSurfaceState( const u32 state ) {
	const u32 old = mui32State;
	mui32State = state;
	if ( ( old & state ) == 0 && ( state & mui32StateChangeNotifyBits ) != 0 ) {
		DMNotifyExclusiveState( *this, state );
	}
}

u32 EFDMClimb::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	if ( mbReady == 0 ) {
		return 1;
	}
	mfSavedRadius = record.fFrameBSphereRadius;
	SetBSphereRadius( &record, moParams.fBSphereRadius );
	DTVector3d gravity = moGravity;
	if ( mui32State == EF_DM_CLIMB_ON_SURFACE && mpoBodyFrame != nullptr ) {
		gravity = DMTransformVector( moGravity, RwFrameGetLTM( mpoBodyFrame ) );
	}
	record.oAppliedAccel += gravity;
	mpoOwner->moVelocity += gravity * dt;
	InputMove( record, dt );
	return 1;
}

void EFDMClimb::InputMove( EFDynamicPhysic & record, const f32 dt ) {
	mfStickMagnitude = 0.0f;
	mpoAction = DMActionState( moParams.ui32InputConfigId, moParams.ui32ActionId );
	const RwMatrix * const camera = DMCameraLTM();
	if ( mpoBodyFrame == nullptr ) {
		return;
	}
	DTVector3d direction;
	f32 m = 0.0f;
	if ( mpoAction != nullptr && camera != nullptr ) {
		const DTVector3d up = DMRow( RwFrameGetLTM( mpoBodyFrame )->up );
		m = ProjectInputOntoLocalFloor( mpoAction->x, mpoAction->y, *camera,
										mpoBodyFrame->modelling, up, &direction );
	}
	mfStickMagnitude = m;
	if ( m != 0.0f ) {
		RotateHero( record, DMUnit( direction ), m, dt );
		return;
	}
	RotateBone( mapoBone[0], &RwMatrix::at, mfYawBend );
}

void EFDMClimb::RotateHero( EFDynamicPhysic & record, const DTVector3d & direction, const f32 m, const f32 dt ) {
	const DTVector3d at = DMRow( mpoBodyFrame->modelling.at );
	const DTVector3d up = DMRow( RwFrameGetLTM( mpoBodyFrame )->up );
	f32 angle = DMClampedAcos( at * direction );
	f32 turn = std::fmin( angle * m, moParams.fMaxTurnRate * dt );
	if ( DMCross( at, direction ) * up < 0.0f ) {
		turn = -turn;
		angle = -angle;
	}
	mfYawBend += YAW_FOLLOW * ( -angle * moParams.fYawFactor - mfYawBend );
	RotateBone( mapoBone[0], &RwMatrix::at, mfYawBend );
	DMRotateInPlace( mpoBodyFrame, up, turn * ( 1.0f + TURN_BOOST * m ) );
	const f32 speed = moParams.fMinSpeed + m * ( moParams.fMaxSpeed - moParams.fMinSpeed );
	record.oTargetVelocity += DMRow( mpoBodyFrame->modelling.at ) * speed;
}

void EFDMClimb::UpdateFloorDetect( const EFCollisionStage * stage ) {
	const RwMatrix & ltm = *RwFrameGetLTM( mpoBodyFrame );
	const DTVector3d at = DMRow( ltm.at );
	const DTVector3d base = DMRow( ltm.pos ) + DMRow( ltm.up ) * moParams.fProbeHeight;
	moParams.ui32ProbeMask = EF_DM_CLIMB_PROBE_MASK;
	bool any = false;
	moSumNormal = DTVector3d();
	moMidNormal = DTVector3d();
	for ( u32 i = 0; i < EF_DM_CLIMB_PROBES; i++ ) {
		FloorDetect & probe = maoProbe[i];
		probe.moPosition = base + at * probe.mfOffset;
		probe.mui32Found = EFCollisionStage_FindWeightedAvgNormal( stage, probe.moPosition, moParams.ui32ProbeMask,
																   &probe.moNormal, &probe.mfNearest );
		if ( probe.mui32Found == 0 ) {
			continue;
		}
		any = true;
		moSumNormal += probe.moNormal;
		if ( i == 1 || i == 2 ) {
			moMidNormal += probe.moNormal;
		}
	}
	if ( any ) {
		moSumNormal = DMUnit( moSumNormal );
		moMidNormal = DMUnit( moMidNormal );
	}
}

void EFDMClimb::RotateUpTowards( const DTVector3d & normal, const f32 dt ) {
	if ( IsZero( normal ) ) {
		return;
	}
	const RwMatrix & matrix = mpoBodyFrame->modelling;
	DTVector3d axis;
	f32 angle = 0.0f;
	if ( !DMRow( matrix.up ).GetRotationTo( normal, &axis, &angle ) ) {
		// Parallel: nothing to do, or exactly upside down, where any axis
		// across up serves; the right axis keeps the heading.
		if ( angle == 0.0f ) {
			return;
		}
		axis = DMRow( matrix.right );
	}
	const f32 step = std::fmin( moParams.fUpTurnRate * dt, angle );
	DMRotateInPlace( mpoBodyFrame, axis, step );
}

void EFDMClimb::BendBack( const DTVector3d & mid, const DTVector3d & sum, const f32 dt ) {
	const RwMatrix & ltm = *RwFrameGetLTM( mpoBodyFrame );
	const DTVector3d right = DMRow( ltm.right );
	const DTVector3d at = DMRow( ltm.at );

	const f32 pitchTarget = BendAngle( sum, mid, right ) * moParams.fPitchFactor;
	moParams.fPitchBend = MoveToward( moParams.fPitchBend, pitchTarget, moParams.fPitchRate * dt );
	for ( RwFrame * bone : mapoBone ) {
		RotateBone( bone, &RwMatrix::right, moParams.fPitchBend * BONE_SHARE );
	}

	const f32 rollTarget = BendAngle( sum, mid, at ) * moParams.fRollFactor;
	moParams.fRollBend = MoveToward( moParams.fRollBend, rollTarget, moParams.fRollRate * dt );
	RotateBone( mapoBone[1], &RwMatrix::at, moParams.fRollBend );
}

void EFDMClimb::PostColUpdate( EFCollisionStage * stage, const f32 dt ) {
	if ( mbReady == 0 || mpoBodyFrame == nullptr ) {
		return;
	}
	UpdateFloorDetect( stage );
	EFDynamicPhysic * const record = stage != nullptr ? stage->mpoRecord : nullptr;
	if ( maoProbe[CENTRE_PROBE].mfNearest > moParams.fContactLimit ) {
		SetSurfaceState( EF_DM_CLIMB_OFF_SURFACE );
		mfYawBend = 0.0f;
		SetBSphereRadius( record, mfSavedRadius );
		return;
	}
	SetSurfaceState( EF_DM_CLIMB_ON_SURFACE );
	RotateUpTowards( moSumNormal, dt );
	if ( mfStickMagnitude > 0.0f ) {
		BendBack( moMidNormal, moSumNormal, dt );
	}
}
