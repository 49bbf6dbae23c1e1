#include "framework/behaviour/EFDMShaking.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/logic/api/LogicBehaviourRecords.h"

#include <cmath>

namespace {

constexpr f32 TWO_PI = 6.2831850f;

}

EFDMShaking::EFDMShaking( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mi32Axis( 0 ), mfDuration( 0.0f ), mfAmplitude( 0.0f ),
	  mfFadeInEnd( 0.0f ), mfFadeOutStart( 0.0f ), mfFrequency( 0.0f ), mfTime( 0.0f ),
	  mfAngularFrequency( 0.0f ) {
}

void EFDMShaking::SetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	const DMShakingParams & record = *static_cast<const DMShakingParams *>( params );
	mfTime = 0.0f;
	mi32Axis = record.i32Axis;
	mfDuration = record.fDuration;
	mfAmplitude = record.fAmplitude;
	mfFrequency = record.fFrequency;
	mfFadeInEnd = record.fFadeIn * mfDuration;
	mfFadeOutStart = mfDuration - record.fFadeOut * mfDuration;
	mfAngularFrequency = TWO_PI * mfFrequency;
}

void EFDMShaking::DoAction( const u32 action, void * ) {
	if ( action == EF_DM_SHAKING_RESTART ) {
		mfTime = 0.0f;
	}
}

u32 EFDMShaking::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	const f32 t = mfTime;
	if ( t > mfDuration ) {
		return 1;
	}
	f32 envelope = 1.0f;
	if ( t < mfFadeInEnd ) {
		envelope = t / mfFadeInEnd;
	} else if ( t > mfFadeOutStart ) {
		envelope = ( mfDuration - t ) / ( mfDuration - mfFadeOutStart );
	}
	const f32 angle = mfAmplitude * std::sin( t * mfAngularFrequency ) * envelope;
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( frame != nullptr && mi32Axis >= 0 && mi32Axis <= 2 ) {
		const RwMatrix & modelling = frame->GetRwFrame()->modelling;
		const RwV3d & row = mi32Axis == 0 ? modelling.right : mi32Axis == 1 ? modelling.up : modelling.at;
		// A copy: the rotation rewrites the row it is about.
		const DTVector3d axis( row.x, row.y, row.z );
		frame->Rotate( axis, angle );
	}
	mfTime = t + dt;
	return 1;
}
