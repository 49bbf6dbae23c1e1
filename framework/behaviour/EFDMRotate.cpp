#include "framework/behaviour/EFDMRotate.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

EFDMRotate::EFDMRotate( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), moAxis( 0.0f, 1.0f, 0.0f ), mfSpeed( 0.0f ) {
}

void EFDMRotate::SetParams( void * params ) {
	if ( params == nullptr ) {
		mfSpeed = 0.0f;
		moAxis = DTVector3d( 0.0f, 1.0f, 0.0f );
		return;
	}
	const DMRotateParams & record = *static_cast<const DMRotateParams *>( params );
	mfSpeed = record.fSpeed;
	const DTVector3d & axis = record.oAxis;
	const f32 length = std::sqrt( axis * axis );
	// Not above 0 covers a zero, an underflowing and a NaN axis.
	moAxis = length > 0.0f ? axis * ( 1.0f / length ) : DTVector3d();
}

void EFDMRotate::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMRotateParams & record = *static_cast<DMRotateParams *>( params );
	record.fSpeed = mfSpeed;
	record.oAxis = moAxis;
}

u32 EFDMRotate::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( mfSpeed == 0.0f || frame == nullptr || moAxis.LengthSquare() == 0.0f ) {
		return 1;
	}
	const DTVector3d axis = DMTransformVector( moAxis, &frame->GetRwFrame()->modelling );
	frame->Rotate( axis, mfSpeed * dt );
	return 1;
}
