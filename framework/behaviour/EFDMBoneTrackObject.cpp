#include "framework/behaviour/EFDMBoneTrackObject.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTLimits.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFObjectRetriever.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>
#include <cstring>

namespace {

constexpr u32 GROUP_IDS = 0xFF000000;
constexpr f32 SMALL_COMPONENT = 1.0f / 64.0f;
constexpr f32 SMALL_ANGLE = 0.0625f;

// The object of id when it is in the map and not withdrawn.
EFGameObject * Present( const u32 id ) {
	EFGameObject * const object = gpoWorldMgr != nullptr ? gpoWorldMgr->FindGameObject( id ) : nullptr;
	return object != nullptr && ( object->muiFlags & EF_INSTANCE_WITHDRAWN ) == 0 ? object : nullptr;
}

}

EFDMBoneTrackObject::EFDMBoneTrackObject( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32Bone( 0 ), mui32TargetId( 0xFFFFFFFF ), mui32TargetBone( 0 ),
	  moQuery(), mfBlendTime( 0.0f ), mfMaxDistanceSquare( 1.0f ), mfHeightWindow( 0.0f ), mfEngageAngle( 0.0f ),
	  mfMaxTurn( 0.0f ), mui32Invert( 0 ), mpoRetriever( nullptr ), moRestDirection( 0.0f, 0.0f, 1.0f ),
	  mfTimer( 0.0f ) {
}

EFDMBoneTrackObject::~EFDMBoneTrackObject() {
	DeleteRetriever();
}

void EFDMBoneTrackObject::DeleteRetriever() {
	if ( mpoRetriever != nullptr && gpoWorldMgr != nullptr ) {
		gpoWorldMgr->DeleteRetriever( mpoRetriever );
	}
	mpoRetriever = nullptr;
}

void EFDMBoneTrackObject::SetParams( void * params ) {
	DeleteRetriever();
	if ( params == nullptr ) {
		mui32Bone = 0;
		mui32TargetId = 0xFFFFFFFF;
		mui32TargetBone = 0;
		moOffset = DTVector3d();
		mfBlendTime = 0.0f;
		mfMaxDistanceSquare = 1.0f;
		mfHeightWindow = 0.0f;
		mfEngageAngle = 0.0f;
		mfMaxTurn = 0.0f;
		mui32Invert = 0;
		return;
	}
	const DMBoneTrackObjectParams & record = *static_cast<const DMBoneTrackObjectParams *>( params );
	mui32Bone = record.ui32Bone;
	mui32TargetBone = record.ui32TargetBone;
	moOffset = record.oOffset;
	std::memcpy( static_cast<void *>( &moQuery ), &record.oQuery, sizeof( moQuery ) );
	mfBlendTime = record.fBlendTime;
	mfMaxDistanceSquare = record.fMaxDistance * record.fMaxDistance;
	mfHeightWindow = record.fHeightWindow;
	mfMaxTurn = record.fMaxTurn;
	mfEngageAngle = record.fEngageAngle;
	mui32Invert = record.ui32Invert != 0 ? 1 : 0;
	mui32TargetId = record.ui32TargetId;
	if ( mui32TargetId < GROUP_IDS ) {
		const EFGameObject * const target = Present( DMStoredObjectId( mui32TargetId ) );
		mui32TargetId = target != nullptr ? target->GetUID() : EF_DM_BONE_NO_TARGET;
	} else if ( gpoWorldMgr != nullptr ) {
		mpoRetriever = gpoWorldMgr->GetRetriever( mui32TargetId, &moQuery );
	}
}

void EFDMBoneTrackObject::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMBoneTrackObjectParams & record = *static_cast<DMBoneTrackObjectParams *>( params );
	record.ui32Bone = mui32Bone;
	record.ui32TargetId = mui32TargetId;
	record.ui32TargetBone = mui32TargetBone;
	record.oOffset = moOffset;
	std::memcpy( static_cast<void *>( &record.oQuery ), &moQuery, sizeof( moQuery ) );
	record.fBlendTime = mfBlendTime;
	record.fMaxDistance = std::sqrt( mfMaxDistanceSquare );
	record.fHeightWindow = mfHeightWindow;
	record.fMaxTurn = mfMaxTurn;
	record.fEngageAngle = mfEngageAngle;
	record.ui32Invert = mui32Invert;
}

EFGameObject * EFDMBoneTrackObject::Target() const {
	if ( mpoRetriever != nullptr ) {
		mpoRetriever->Reset();
		return mpoRetriever->GetObject();
	}
	return Present( DMStoredObjectId( mui32TargetId ) );
}

f32 EFDMBoneTrackObject::GetInterpolationFactor( const f32 d, const f32 a, const f32 dt ) {
	const bool inRange = d < mfMaxDistanceSquare;
	if ( ( mui32State & EF_DM_BONE_TRACKING ) != 0 ) {
		if ( !inRange || std::fabs( a ) > mfEngageAngle ) {
			DMChangeState( *this, mui32State & ~EF_DM_BONE_TRACKING );
			DMChangeState( *this, mui32State | EF_DM_BONE_RELEASING );
		}
	} else if ( ( mui32State & EF_DM_BONE_RELEASING ) != 0 ) {
		if ( inRange && std::fabs( a ) < mfEngageAngle ) {
			DMChangeState( *this, mui32State & ~EF_DM_BONE_RELEASING );
			DMChangeState( *this, mui32State | EF_DM_BONE_TRACKING );
		} else if ( mfTimer < DT_EPSILON_FLOAT ) {
			DMChangeState( *this, mui32State & ~EF_DM_BONE_RELEASING );
			DMChangeState( *this, mui32State | EF_DM_BONE_RELEASED );
			mfTimer = 0.0f;
		}
	} else if ( inRange && std::fabs( a ) < mfEngageAngle ) {
		mfTimer = 0.0f;
		DMChangeState( *this, mui32State | EF_DM_BONE_TRACKING );
		DMChangeState( *this, mui32State & ~EF_DM_BONE_RELEASED );
	}
	const bool tracking = ( mui32State & EF_DM_BONE_TRACKING ) != 0;
	const bool releasing = ( mui32State & EF_DM_BONE_RELEASING ) != 0;
	if ( tracking ) {
		mfTimer = std::fmin( mfTimer + dt, mfBlendTime );
	} else if ( releasing ) {
		mfTimer = std::fmax( mfTimer - dt, 0.0f );
	}
	if ( mfBlendTime < DT_EPSILON_FLOAT ) {
		// Without a blend time the bone follows fully while tracking or
		// releasing, and not at all once released or never engaged.
		return tracking || releasing ? 1.0f : 0.0f;
	}
	return mfTimer / mfBlendTime;
}

void EFDMBoneTrackObject::PostColUpdate( EFCollisionStage *, const f32 dt ) {
	if ( mpoRetriever == nullptr && mui32TargetId == EF_DM_BONE_NO_TARGET ) {
		return;
	}
	const EFGameObject * const owner = DMOwnerObject( *this );
	DTFrame * const bone = owner != nullptr ? owner->GetBoneFrame( mui32Bone ) : nullptr;
	if ( bone == nullptr ) {
		return;
	}
	const RwMatrix & modelling = bone->GetRwFrame()->modelling;
	moRestDirection = DMUnit( DMRow( modelling.at ) * ( mui32Invert != 0 ? -1.0f : 1.0f ) );

	EFGameObject * const target = Target();
	if ( target == nullptr ) {
		return;
	}
	DTFrame * const targetFrame = mui32TargetBone != 0 ? target->GetBoneFrame( mui32TargetBone ) : target->GetFrame();
	if ( targetFrame == nullptr ) {
		return;
	}
	DTVector3d point;
	RwV3dTransformPoints( DTAsRwV3d( &point ), DTAsRwV3d( &moOffset ), 1,
						  RwFrameGetLTM( targetFrame->GetRwFrame() ) );
	const RwMatrix * const world = RwFrameGetLTM( bone->GetRwFrame() );
	const DTVector3d D = DMRow( world->pos ) - point;

	f32 d = 0.0f;
	if ( mfHeightWindow == 0.0f ) {
		d = D * D;
	} else if ( -mfHeightWindow < D.y && D.y < mfHeightWindow ) {
		d = D.x * D.x + D.z * D.z;
	} else {
		d = mfMaxDistanceSquare + 0.01f;
	}

	RwMatrix inverse;
	RwMatrixInvert( &inverse, world );
	DTVector3d local;
	RwV3dTransformPoints( DTAsRwV3d( &local ), DTAsRwV3d( &point ), 1, &inverse );
	DTVector3d dir = moRestDirection;
	if ( std::fabs( local.x ) >= SMALL_COMPONENT || std::fabs( local.y ) >= SMALL_COMPONENT ||
		 std::fabs( local.z ) >= SMALL_COMPONENT ) {
		dir = DMUnit( local );
	}
	const f32 cosine = dir * moRestDirection;
	f32 angle = std::acos( cosine < 0.0f ? 0.0f : ( cosine > 1.0f ? 1.0f : cosine ) );

	const f32 f = GetInterpolationFactor( d, angle, dt );
	if ( f <= DT_EPSILON_FLOAT ) {
		return;
	}
	angle *= f;
	angle = angle > mfMaxTurn ? mfMaxTurn : ( angle < -mfMaxTurn ? -mfMaxTurn : angle );
	DTVector3d axis = moRestDirection;
	if ( std::fabs( angle ) >= SMALL_ANGLE ) {
		axis = DMCross( moRestDirection, dir );
		// A target straight behind leaves no axis between the two; a turn
		// about a zero axis would wreck the bone, so it turns about its up.
		if ( axis * axis == 0.0f ) {
			axis = DMRow( modelling.up );
		}
	}
	DMRotateInPlace( bone->GetRwFrame(), axis, angle );
}
