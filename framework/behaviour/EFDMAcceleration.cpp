#include "framework/behaviour/EFDMAcceleration.h"

#include "framework/behaviour/EFDMHelpers.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwV3d.h"

namespace {

constexpr f32 DEFAULT_MAX_SPEED	= 2.0f;
constexpr u32 DEFAULT_FLAGS		= 1;

}

EFDMAcceleration::EFDMAcceleration( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), moAcceleration(), mfMaxSpeed( DEFAULT_MAX_SPEED ),
	  mui32Flags( DEFAULT_FLAGS ) {
}

void EFDMAcceleration::SetParams( void * params ) {
	if ( params == nullptr ) {
		moAcceleration = DTVector3d();
		mfMaxSpeed = DEFAULT_MAX_SPEED;
		mui32Flags = DEFAULT_FLAGS;
		return;
	}
	const DMAccelerationParams & record = *static_cast<const DMAccelerationParams *>( params );
	moAcceleration = record.oAcceleration;
	mfMaxSpeed = record.fMaxSpeed;
	mui32Flags = record.ui32Flags;
}

void EFDMAcceleration::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMAccelerationParams & record = *static_cast<DMAccelerationParams *>( params );
	record.oAcceleration = moAcceleration;
	record.fMaxSpeed = mfMaxSpeed;
	record.ui32Flags = mui32Flags;
}

u32 EFDMAcceleration::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	EFPhysic & body = *mpoOwner;
	if ( ( mui32Flags & EF_DM_ACCEL_CAPPED ) == 0 ) {
		record.oAppliedAccel += moAcceleration;
		body.moVelocity += moAcceleration * dt;
		return 1;
	}
	const DTVector3d a = DMTransformVector( moAcceleration, DMOwnerLTM( *this ) );
	DTVector3d w = body.moVelocity + a * dt;
	const f32 speed = RwV3dLength( DTAsRwV3d( &w ) );
	if ( speed > mfMaxSpeed ) {
		w *= mfMaxSpeed / speed;
	}
	record.oAppliedAccel += w * ( 1.0f / dt );
	body.moVelocity += w;
	return 1;
}
