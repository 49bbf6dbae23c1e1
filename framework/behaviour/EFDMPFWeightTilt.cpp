#include "framework/behaviour/EFDMPFWeightTilt.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFPhysicData.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFColDMData.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

namespace {

constexpr f32 LEAST_TURN = 0.0001f;

f32 Clamp( const f32 v, const f32 low, const f32 high ) {
	return v < low ? low : ( v > high ? high : v );
}

// One axis's damped spring step: the speed and the turn it gives from
// angle a within the limits.
f32 SpringStep( f32 & speed, const f32 a, const f32 torque, const f32 damping, const f32 low, const f32 high,
				const f32 dt ) {
	speed += torque * dt;
	speed *= Clamp( 1.0f - damping * dt, 0.001f, 0.999f );
	return Clamp( a + speed * dt, low, high ) - a;
}

// Turns the frame's modelling matrix by radians about a world axis,
// keeping its position.
void TurnModelling( RwFrame * const frame, const RwV3d & axis, const f32 radians ) {
	const RwV3d position = frame->modelling.pos;
	RwMatrixRotate( &frame->modelling, &axis, radians * DT_RADIANS_TO_DEGREES, rwCOMBINEPOSTCONCAT );
	frame->modelling.pos = position;
	RwFrameUpdateObjects( frame );
}

}

EFDMPFWeightTilt::EFDMPFWeightTilt( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfPitchMin( 0.0f ), mfPitchMax( 0.0f ), mfRollMin( 0.0f ),
	  mfRollMax( 0.0f ), mfPitchGain( 1.0f ), mfPitchStiffness( 1.0f ), mfPitchDamping( 1.0f ), mfRollGain( 1.0f ),
	  mfRollStiffness( 1.0f ), mfRollDamping( 1.0f ), mfPitchSpeed( 0.0f ), mfRollSpeed( 0.0f ),
	  mui32RiderFrame( 0 ), mui32RiderCount( 0 ), mafRiderWeight(), mapoRider() {
}

void EFDMPFWeightTilt::SetParams( void * params ) {
	if ( params == nullptr ) {
		mfPitchMin = mfPitchMax = mfRollMin = mfRollMax = 0.0f;
		mfPitchGain = mfPitchStiffness = mfPitchDamping = 1.0f;
		mfRollGain = mfRollStiffness = mfRollDamping = 1.0f;
		return;
	}
	const DMPFWeightTiltParams & record = *static_cast<const DMPFWeightTiltParams *>( params );
	mfPitchMin = record.fPitchMin;
	mfPitchMax = record.fPitchMax;
	mfRollMin = record.fRollMin;
	mfRollMax = record.fRollMax;
	mfPitchGain = record.fPitchGain;
	mfPitchStiffness = record.fPitchStiffness;
	mfPitchDamping = record.fPitchDamping;
	mfRollGain = record.fRollGain;
	mfRollStiffness = record.fRollStiffness;
	mfRollDamping = record.fRollDamping;
}

void EFDMPFWeightTilt::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMPFWeightTiltParams & record = *static_cast<DMPFWeightTiltParams *>( params );
	record.fPitchMin = mfPitchMin;
	record.fPitchMax = mfPitchMax;
	record.fRollMin = mfRollMin;
	record.fRollMax = mfRollMax;
	record.fPitchGain = mfPitchGain;
	record.fPitchStiffness = mfPitchStiffness;
	record.fPitchDamping = mfPitchDamping;
	record.fRollGain = mfRollGain;
	record.fRollStiffness = mfRollStiffness;
	record.fRollDamping = mfRollDamping;
}

void EFDMPFWeightTilt::ColUpdate( EFCollisionStage *, EFColDMData & data, f32 ) {
	EFPhysic * const rider = data.poCollider;
	if ( rider == nullptr || mpoOwner == nullptr ) {
		return;
	}
	const u32 frame = EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount();
	if ( mui32RiderFrame != frame ) {
		mui32RiderCount = 0;
		mui32RiderFrame = frame;
	} else if ( mui32RiderCount >= EF_DM_TILT_RIDERS ) {
		return;
	}
	if ( data.oNorm.y > -mpoOwner->mfMinFloorNormalY ) {
		return;
	}
	for ( u32 i = 0; i < mui32RiderCount; i++ ) {
		if ( mapoRider[i] == rider ) {
			return;
		}
	}
	EFPhysicData * const owner = rider->GetOwner();
	const DTFrame * const riderFrame = owner != nullptr ? owner->GetFrame() : nullptr;
	DTVector3d position;
	if ( riderFrame != nullptr ) {
		position = DMRow( RwFrameGetLTM( const_cast<DTFrame *>( riderFrame )->GetRwFrame() )->pos );
	}
	mafRiderWeight[mui32RiderCount] = rider->mfWeight;
	mapoRider[mui32RiderCount] = rider;
	maoRiderPosition[mui32RiderCount] = position;
	mui32RiderCount++;
}

void EFDMPFWeightTilt::GetWeightFactors( f32 * const pitch, f32 * const roll ) const {
	f32 pitchSum = 0.0f;
	f32 rollSum = 0.0f;
	const RwMatrix * const ltm = DMOwnerLTM( *this );
	if ( mui32RiderCount > 0 && mui32RiderFrame + 1 == EFPhysicMgr::moPhysicMgr.GetCurrentSaveCount() &&
		 ltm != nullptr ) {
		RwMatrix inverse;
		RwMatrixInvert( &inverse, ltm );
		for ( u32 i = 0; i < mui32RiderCount; i++ ) {
			DTVector3d local;
			RwV3dTransformPoints( DTAsRwV3d( &local ), DTAsRwV3d( &maoRiderPosition[i] ), 1, &inverse );
			if ( pitch != nullptr ) {
				pitchSum += mafRiderWeight[i] * local.z;
			}
			if ( roll != nullptr ) {
				rollSum += mafRiderWeight[i] * local.x;
			}
		}
	}
	if ( pitch != nullptr ) {
		*pitch = pitchSum;
	}
	if ( roll != nullptr ) {
		*roll = rollSum;
	}
}

u32 EFDMPFWeightTilt::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	const bool pitches = mfPitchMin != mfPitchMax;
	const bool rolls = mfRollMin != mfRollMax;
	DTFrame * const owner = DMOwnerFrame( *this );
	if ( ( !pitches && !rolls ) || owner == nullptr ) {
		return 1;
	}
	f32 pitchMoment = 0.0f;
	f32 rollMoment = 0.0f;
	GetWeightFactors( pitches ? &pitchMoment : nullptr, rolls ? &rollMoment : nullptr );
	RwFrame * const frame = owner->GetRwFrame();
	if ( pitches ) {
		const RwMatrix * const m = RwFrameGetLTM( frame );
		const f32 a = -DMClampedAsin( m->at.y );
		const f32 delta = SpringStep( mfPitchSpeed, a, pitchMoment * mfPitchGain - a * mfPitchStiffness,
									  mfPitchDamping, mfPitchMin, mfPitchMax, dt );
		if ( std::fabs( delta ) > LEAST_TURN ) {
			TurnModelling( frame, m->right, delta );
		}
	}
	if ( rolls ) {
		const RwMatrix * const m = RwFrameGetLTM( frame );
		const f32 b = DMClampedAsin( m->right.y );
		const f32 delta = SpringStep( mfRollSpeed, b, -b * mfRollStiffness - rollMoment * mfRollGain, mfRollDamping,
									  mfRollMin, mfRollMax, dt );
		if ( std::fabs( delta ) > LEAST_TURN ) {
			TurnModelling( frame, m->at, delta );
		}
	}
	return 1;
}
