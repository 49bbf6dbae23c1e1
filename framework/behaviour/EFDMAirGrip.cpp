#include "framework/behaviour/EFDMAirGrip.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwMatrix.h"

namespace {

constexpr f32 DEFAULT_RATE = 1.0f;

}

EFDMAirGrip::EFDMAirGrip( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfGripRate( DEFAULT_RATE ), mui32AxisFlags( 0 ) {
}

void EFDMAirGrip::SetParams( void * params ) {
	if ( params == nullptr ) {
		mfGripRate = DEFAULT_RATE;
		mui32AxisFlags = 0;
		return;
	}
	const DMAirGripParams & record = *static_cast<const DMAirGripParams *>( params );
	mfGripRate = record.fGripRate;
	mui32AxisFlags = record.ui32AxisFlags;
}

void EFDMAirGrip::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMAirGripParams & record = *static_cast<DMAirGripParams *>( params );
	record.fGripRate = mfGripRate;
	record.ui32AxisFlags = mui32AxisFlags;
}

u32 EFDMAirGrip::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	EFPhysic & body = *mpoOwner;
	f32 k = mfGripRate * dt;
	if ( k > 1.0f ) {
		k = 1.0f;
	}
	DTVector3d e = record.oTargetVelocity - body.moVelocity;
	const bool bodyAxes = ( mui32AxisFlags & EF_DM_AIR_GRIP_WORLD ) == 0;
	const RwMatrix * const world = bodyAxes ? DMOwnerLTM( *this ) : nullptr;
	if ( world != nullptr ) {
		// Into the body's axes through the inverse of its orthonormal
		// world matrix.
		RwMatrix orthonormal;
		RwMatrix inverse;
		RwMatrixOrthoNormalize( &orthonormal, world );
		RwMatrixInvert( &inverse, &orthonormal );
		e = DMTransformVector( e, &inverse );
	}
	DTVector3d c;
	if ( ( mui32AxisFlags & EF_DM_AIR_GRIP_X ) != 0 ) {
		c.x = e.x * k;
	}
	if ( ( mui32AxisFlags & EF_DM_AIR_GRIP_Y ) != 0 ) {
		c.y = e.y * k;
	}
	if ( ( mui32AxisFlags & EF_DM_AIR_GRIP_Z ) != 0 ) {
		c.z = e.z * k;
	}
	if ( world != nullptr ) {
		c = DMTransformVector( c, world );
	}
	body.moVelocity += c;
	return 1;
}
