#include "datatypes/maths/DTTransfo.h"

DTTransfo::DTTransfo()
	: mScaling( 1.0f, 1.0f, 1.0f ), mTranslation(), mEulerRotation(), mRotation( 0.0f, 0.0f, 0.0f, 0.0f ),
	  mInverseScaleParent(), muiState( 0 ), muiJointIndex( DT_TRANSFO_NO_JOINT ) {
}

void DTTransfo::Copy( const DTTransfo * source, const u32 count ) {
	DTTransfo * target = this;
	for ( u32 i = 0; i < count; i++, target++, source++ ) {
		target->mScaling = source->mScaling;
		target->mTranslation = source->mTranslation;
		target->mEulerRotation = source->mEulerRotation;
		target->mRotation = source->mRotation;
		target->mInverseScaleParent = source->mInverseScaleParent;
		target->muiState = source->muiState;
		target->muiJointIndex = source->muiJointIndex;
	}
}

void DTTransfo::ResetEuler( const u32 count ) {
	DTTransfo * target = this;
	for ( u32 i = 0; i < count; i++, target++ ) {
		target->mScaling.Set( 1.0f, 1.0f, 1.0f );
		target->mTranslation.Set( 0.0f, 0.0f, 0.0f );
		target->mEulerRotation.Set( 0.0f, 0.0f, 0.0f );
		target->muiState = DT_TRANSFO_EULER_CHANGED;
	}
}

void DTTransfo::UpdateTransfo() {
	if ( ( muiState & DT_TRANSFO_EULER_CHANGED ) == 0 ) {
		return;
	}
	mRotation.EulerToQuatf( mEulerRotation );
	muiState &= ~DT_TRANSFO_EULER_CHANGED;
}
