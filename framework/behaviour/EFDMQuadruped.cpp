#include "framework/behaviour/EFDMQuadruped.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFCollisionStage.h"
#include "framework/physics/EFEnvCollisionPrim.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"

#include <cmath>
#include <cstring>

namespace {

constexpr f32 SMALLEST_TURN = 0.05f;
constexpr f32 SAME_REFERENCE = 0.0625f;
constexpr f32 NO_NORMAL = 0.015625f;
// Floor search: the running best starts here; a floor is only taken
// nearer than the reach.
constexpr f32 SEARCH_START = 2.0f;
constexpr f32 FLOOR_REACH = 1.01f;
constexpr f32 AVERAGE = 0.1f;
constexpr u32 ROOT_BONE = 0;
constexpr u32 AXIS_UP = 1;

// v's component along axis (nothing for a zero axis).
DTVector3d Along( const DTVector3d & v, const DTVector3d & axis ) {
	const f32 square = axis * axis;
	return square > 0.0f ? axis * ( ( v * axis ) / square ) : DTVector3d();
}

}

EFDMQuadruped::EFDMQuadruped( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mui32BoneA( 0 ), mfBoneALimit( 0.0f ), mui32BoneB( 0 ), mfBoneBLimit( 0.0f ),
	  mfTiltRate( 0.0f ), mfBendFactor( 0.0f ), mui32AxisMode( 0 ), mui32Options( 0 ), mbSnapTilt( 0 ),
	  mbResetTilt( 0 ), mbResetBends( 0 ), mfBoneABend( 0.0f ), mfBoneBBend( 0.0f ), mfTilt( 0.0f ),
	  mfTargetTilt( 0.0f ), mafBoneBSamples{}, mafBoneASamples{}, mui32RingIndex( 0 ), mfMinFloorNormalY( 0.0f ) {
	SetDefaultParams();
}

void EFDMQuadruped::ClearRings() {
	std::memset( mafBoneASamples, 0, sizeof( mafBoneASamples ) );
	std::memset( mafBoneBSamples, 0, sizeof( mafBoneBSamples ) );
}

void EFDMQuadruped::SetDefaultParams() {
	mui32BoneA = 0;
	mfBoneALimit = 0.35f;
	mui32BoneB = 0;
	mfBoneBLimit = 0.35f;
	mfTiltRate = 0.1f;
	mfBendFactor = 10.0f;
	mui32AxisMode = 2;
	mui32Options = 0;
	mbSnapTilt = 0;
	mbResetTilt = 0;
	mbResetBends = 0;
	moFloorNormal = DTVector3d();
	moProjectedNormal = DTVector3d();
	mfBoneABend = 0.0f;
	mfBoneBBend = 0.0f;
	moPreviousReference = DTVector3d();
	mfTilt = 0.0f;
	mfTargetTilt = 0.0f;
	ClearRings();
	mui32RingIndex = 0;
	mfMinFloorNormalY = 0.7f;
}

void EFDMQuadruped::SetParams( void * params ) {
	if ( params == nullptr ) {
		SetDefaultParams();
		return;
	}
	const DMQuadrupedParams & record = *static_cast<const DMQuadrupedParams *>( params );
	mui32BoneA = record.ui32BoneA;
	mui32BoneB = record.ui32BoneB;
	mfBoneBLimit = record.fBoneBLimit;
	mfBoneALimit = record.fBoneALimit;
	mfBendFactor = record.fBendFactor;
	mfTiltRate = record.fTiltRate;
	mui32AxisMode = record.ui32AxisMode;
	mui32Options = record.ui32Flags;
	mbSnapTilt = 0;
	mbResetTilt = 0;
	mbResetBends = 0;
	if ( ( mui32Options & EF_DM_QUADRUPED_TILT ) != 0 && mpoOwner != nullptr ) {
		mfMinFloorNormalY = mpoOwner->mfMinFloorNormalY;
	}
}

void EFDMQuadruped::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMQuadrupedParams & record = *static_cast<DMQuadrupedParams *>( params );
	record.ui32BoneA = mui32BoneA;
	record.ui32BoneB = mui32BoneB;
	record.fBoneBLimit = mfBoneBLimit;
	record.fBoneALimit = mfBoneALimit;
	record.fBendFactor = mfBendFactor;
	record.fTiltRate = mfTiltRate;
	record.ui32AxisMode = mui32AxisMode;
	record.ui32Flags = mui32Options;
}

void EFDMQuadruped::DoAction( const u32 action, void * data ) {
	if ( ( action & EF_DM_QUADRUPED_RESET ) != 0 ) {
		mbResetTilt = 1;
		mbResetBends = 1;
	}
	if ( ( action & EF_DM_QUADRUPED_SNAP ) != 0 ) {
		mbSnapTilt = 1;
	}
	if ( ( action & EF_DM_QUADRUPED_NORMALS ) != 0 && data != nullptr ) {
		const f32 normals[6] = { moFloorNormal.x,	  moFloorNormal.y,	   moFloorNormal.z,
								 moProjectedNormal.x, moProjectedNormal.y, moProjectedNormal.z };
		std::memcpy( data, normals, sizeof( normals ) );
	}
}

RwFrame * EFDMQuadruped::Bone( const u32 id ) const {
	const EFGameObject * const owner = DMOwnerObject( *this );
	DTFrame * const bone = owner != nullptr ? owner->GetBoneFrame( id ) : nullptr;
	return bone != nullptr ? bone->GetRwFrame() : nullptr;
}

DTVector3d EFDMQuadruped::Reference() const {
	return mui32AxisMode == AXIS_UP ? moUp : moForward;
}

u32 EFDMQuadruped::PreColUpdate( EFDynamicPhysic &, f32 ) {
	if ( ( mui32Options & EF_DM_QUADRUPED_TILT ) != 0 && std::fabs( mfTilt ) > SMALLEST_TURN ) {
		// About the bone's own right axis.
		if ( RwFrame * const root = Bone( ROOT_BONE ) ) {
			DMRotateInPlace( root, DMRow( root->modelling.right ), mfTilt );
		}
	}
	return 1;
}

void EFDMQuadruped::PostColUpdate( EFCollisionStage * stage, const f32 dt ) {
	mui32RingIndex = mui32RingIndex + 1 >= EF_DM_QUADRUPED_SAMPLES ? 0 : mui32RingIndex + 1;
	const RwMatrix * const body = DMOwnerLTM( *this );
	if ( body == nullptr ) {
		return;
	}
	moForward = DMRow( body->at );
	moUp = DMRow( body->up );
	moRight = DMRow( body->right );
	moPosition = DMRow( body->pos );

	if ( ( mui32Options & EF_DM_QUADRUPED_TILT ) != 0 ) {
		if ( RwFrame * const root = Bone( ROOT_BONE ) ) {
			const RwMatrix * const world = RwFrameGetLTM( root );
			moRootForward = DMRow( world->at );
			moRootRight = DMRow( world->right );
			moRootUp = DMRow( world->up );
			if ( mbResetTilt != 0 ) {
				mfTilt = 0.0f;
				mfTargetTilt = 0.0f;
				mbResetTilt = 0;
			} else {
				AdaptFrameToFloor( stage, dt );
			}
		}
	}

	if ( ( mui32Options & EF_DM_QUADRUPED_BEND ) != 0 ) {
		if ( mbResetBends != 0 ) {
			mfBoneABend = 0.0f;
			mfBoneBBend = 0.0f;
			ClearRings();
			moPreviousReference = Reference();
			mbResetBends = 0;
		} else {
			ComputeBoneRotationParams();
			ApplyBoneRotation( mfBoneBBend, Bone( mui32BoneB ) );
			ApplyBoneRotation( mfBoneABend, Bone( mui32BoneA ) );
		}
	}
}

void EFDMQuadruped::AdaptFrameToFloor( const EFCollisionStage * stage, const f32 dt ) {
	if ( stage == nullptr ) {
		return;
	}
	ComputeFrameRotationParams( stage );
	if ( mbSnapTilt != 0 ) {
		mfTilt = mfTargetTilt;
		mbSnapTilt = 0;
		return;
	}
	const f32 step = mfTiltRate * dt;
	const f32 target = mfTargetTilt;
	if ( target > 0.0f ) {
		mfTilt = std::fmin( std::fmax( mfTilt + step, -target ), target );
	} else if ( target < 0.0f ) {
		mfTilt = std::fmin( std::fmax( mfTilt - step, target ), -target );
	} else if ( mfTilt > 0.0f ) {
		mfTilt = mfTilt - step > 0.0f ? mfTilt - step : 0.0f;
	} else if ( mfTilt < 0.0f ) {
		mfTilt = mfTilt + step < 0.0f ? mfTilt + step : 0.0f;
	}
}

void EFDMQuadruped::ComputeFrameRotationParams( const EFCollisionStage * stage ) {
	DTVector3d normal;
	const u32 found = FindNearestNormal( stage, moPosition, &normal );
	moFloorNormal = normal;
	if ( found == 0 ) {
		return;
	}
	// Without its component along the body's side axis.
	const DTVector3d side = DMCross( moUp, moForward );
	moProjectedNormal = DMUnit( normal - Along( normal, side ) );
	f32 target = DMClampedAcos( moProjectedNormal * moUp );
	if ( moProjectedNormal * moForward < 0.0f ) {
		target = -target;
	}
	mfTargetTilt = target;
}

u32 EFDMQuadruped::FindNearestNormal( const EFCollisionStage * stage, const DTVector3d & point,
									  DTVector3d * normal ) const {
	*normal = DTVector3d();
	f32 best = SEARCH_START;
	const u32 count = stage != nullptr ? stage->mui32NbEnvPrims : 0;
	for ( u32 i = 0; i < count; i++ ) {
		const EFEnvCollisionPrim * const polygon = stage->mppoEnvPrims[i];
		if ( polygon == nullptr || polygon->moPlane.moNormal.y < mfMinFloorNormalY ) {
			continue;
		}
		DTVector3d w;
		if ( EFCollisionStage_FindNearestPoint( *polygon, point, best, &w ) == CS_FINDNEARESTPOINT_TOOFAR ) {
			continue;
		}
		const f32 square = w * w;
		if ( square < best ) {
			best = square;
			*normal = square < FLOOR_REACH ? polygon->moPlane.moNormal : DTVector3d();
		}
	}
	const bool zero = std::fabs( normal->x ) < NO_NORMAL && std::fabs( normal->y ) < NO_NORMAL &&
					  std::fabs( normal->z ) < NO_NORMAL;
	return zero ? 0 : 1;
}

void EFDMQuadruped::ComputeObjRefRotation( const DTVector3d & V, f32 * a, f32 * b ) const {
	const DTVector3d & O = moPreviousReference;
	const DTVector3d d = O - V;
	if ( std::fabs( d.x ) < SAME_REFERENCE && std::fabs( d.y ) < SAME_REFERENCE && std::fabs( d.z ) < SAME_REFERENCE ) {
		*a = 0.0f;
		*b = 0.0f;
		return;
	}
	// O carried into the plane of the right axis and V.
	const DTVector3d P = Along( O, moRight ) + Along( O, V );
	const f32 c = V * P;
	*a = c >= 1.0f ? 0.0f : std::acos( c < 0.0f ? 0.0f : c );
	*b = P * moRight;
}

void EFDMQuadruped::ComputeBoneRotationParams() {
	const DTVector3d reference = Reference();
	f32 a = 0.0f;
	f32 b = 0.0f;
	ComputeObjRefRotation( reference, &a, &b );
	moPreviousReference = reference;
	const f32 sB = DMClampSymmetric( a * mfBendFactor, mfBoneBLimit );
	const f32 sA = DMClampSymmetric( a * mfBendFactor, mfBoneALimit );
	const u32 i = mui32RingIndex < EF_DM_QUADRUPED_SAMPLES ? mui32RingIndex : 0;
	mafBoneBSamples[i] = b >= 0.0f ? -sB : sB;
	mafBoneASamples[i] = b >= 0.0f ? sA : -sA;
	f32 sumA = 0.0f;
	f32 sumB = 0.0f;
	for ( u32 k = 0; k < EF_DM_QUADRUPED_SAMPLES; k++ ) {
		sumA += mafBoneASamples[k];
		sumB += mafBoneBSamples[k];
	}
	mfBoneABend = AVERAGE * sumA;
	mfBoneBBend = AVERAGE * sumB;
}

void EFDMQuadruped::ApplyBoneRotation( const f32 angle, RwFrame * const bone ) const {
	if ( bone == nullptr || std::fabs( angle ) <= SMALLEST_TURN ) {
		return;
	}
	const DTVector3d axis = mui32AxisMode == AXIS_UP ? moForward : moUp;
	DMRotateInPlace( bone, DMIntoParentAxes( bone, axis ), angle );
}
