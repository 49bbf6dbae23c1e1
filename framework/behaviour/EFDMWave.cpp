#include "framework/behaviour/EFDMWave.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"

#include <cmath>

EFDMWave::EFDMWave( EFPhysic * owner )
	: EFPhysicModule( TYPE_WORD, owner ), mfSpeed( 1.0f ), moPointB( 0.0f, 0.0f, 1.0f ), mfRampTime( 0.0f ),
	  mfPeriod( 2.0f ), mfRampDistance( 0.0f ), mui32Flags( 0 ), mfTime( 0.0f ), mbSkip( 1 ) {
}

void EFDMWave::Place( const DTVector3d & point ) {
	DTFrame * const frame = DMOwnerFrame( *this );
	if ( frame == nullptr ) {
		return;
	}
	RwFrame * const rw = frame->GetRwFrame();
	rw->modelling.pos = { 0.0f, 0.0f, 0.0f };
	RwFrameTranslate( rw, DTAsRwV3d( &point ), rwCOMBINEPOSTCONCAT );
}

void EFDMWave::SetParams( void * params ) {
	mbSkip = 1;
	mfTime = 0.0f;
	if ( params == nullptr ) {
		const RwMatrix * const ltm = DMOwnerLTM( *this );
		mfSpeed = 1.0f;
		moPointA = ltm != nullptr ? DMRow( ltm->pos ) : DTVector3d();
		moPointB = moPointA + DTVector3d( 0.0f, 0.0f, 1.0f );
		mfRampTime = 0.0f;
		mfRampDistance = 0.0f;
		mfPeriod = 2.0f;
		mui32Flags = EF_DM_WAVE_PERIOD_MODE;
		return;
	}
	const DMWaveParams & record = *static_cast<const DMWaveParams *>( params );
	mfSpeed = record.fSpeed;
	moPointA = record.oPointA;
	moPointB = record.oPointB;
	mui32Flags = record.ui32Flags;
	const DTVector3d leg = moPointB - moPointA;
	const f32 length = std::sqrt( leg * leg );
	const f32 half = length * 0.5f;
	if ( ( mui32Flags & EF_DM_WAVE_PERIOD_MODE ) != 0 ) {
		mfPeriod = record.fPeriod;
		mfRampDistance = 0.25f * mfPeriod * mfSpeed - half;
		if ( mfRampDistance > half ) {
			mfRampDistance = half;
			mfSpeed = 8.0f * mfRampDistance / mfPeriod;
			mfRampTime = mfPeriod / 4.0f;
		} else if ( mfRampDistance < 0.0f ) {
			mfRampDistance = 0.0f;
			mfSpeed = 2.0f * length / mfPeriod;
			mfRampTime = 0.0f;
		} else {
			// A zero speed here means a zero leg: no ramp to time.
			mfRampTime = mfSpeed > 0.0f ? 2.0f * mfRampDistance / mfSpeed : 0.0f;
		}
	} else {
		mfRampTime = record.fRampTime;
		if ( mfRampTime > 0.0f ) {
			const f32 a = mfSpeed / mfRampTime;
			mfRampDistance = 0.5f * a * mfRampTime * mfRampTime;
			if ( mfRampDistance > half ) {
				mfRampDistance = half;
				mfRampTime = std::sqrt( 2.0f * half / a );
				mfPeriod = 4.0f * mfRampTime;
				mfSpeed = 2.0f * mfRampDistance / mfRampTime;
			} else {
				mfPeriod = 4.0f * ( mfRampTime + ( half - mfRampDistance ) / mfSpeed );
			}
		} else {
			mfRampDistance = 0.0f;
			mfPeriod = 4.0f * half / mfSpeed;
		}
	}
	if ( ( mui32Flags & EF_DM_WAVE_PLACE_AT_A ) != 0 ) {
		mfTime = 0.0f;
		Place( moPointA );
	} else if ( ( mui32Flags & EF_DM_WAVE_PLACE_AT_B ) != 0 ) {
		mfTime = mfPeriod / 2.0f;
		Place( moPointB );
	}
	if ( ( mui32Flags & EF_DM_WAVE_STOP ) != 0 && mpoOwner != nullptr ) {
		mpoOwner->moVelocity = DTVector3d();
		mpoOwner->mfFallingTimer = mpoOwner->mfFallingDelay;
	}
}

void EFDMWave::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	DMWaveParams & record = *static_cast<DMWaveParams *>( params );
	record.oPointA = moPointA;
	record.oPointB = moPointB;
	record.fSpeed = mfSpeed;
	record.fRampTime = mfRampTime;
	record.fPeriod = mfPeriod;
	record.ui32Flags = mui32Flags;
}

bool EFDMWave::CycleValid() const {
	return std::isfinite( mfPeriod ) && mfPeriod > 0.0f;
}

void EFDMWave::SetFlags( const f32 dt ) {
	if ( mbSkip != 0 ) {
		mbSkip = 0;
		return;
	}
	const f32 half = mfPeriod / 2.0f;
	u32 state = mui32State & ~( EF_DM_WAVE_LEAVES_A | EF_DM_WAVE_REACHES_B );
	if ( mfTime <= dt ) {
		state |= EF_DM_WAVE_LEAVES_A;
	}
	if ( mfTime <= half && mfTime + dt >= half ) {
		state |= EF_DM_WAVE_REACHES_B;
	}
	DMChangeState( *this, state );
}

u32 EFDMWave::PreColUpdate( EFDynamicPhysic & record, const f32 dt ) {
	SetFlags( dt );
	const DTVector3d start = record.oInitPos;
	DTVector3d goal = moPointA;
	if ( CycleValid() ) {
		const DTVector3d leg = moPointB - moPointA;
		const f32 length = std::sqrt( leg * leg );
		const f32 half = mfPeriod / 2.0f;
		mfTime += dt;
		if ( mfTime > mfPeriod ) {
			// What subtracting the period until the time is within it
			// gives, without a loop a huge step could keep running.
			mfTime = std::fmod( mfTime, mfPeriod );
			if ( mfTime == 0.0f ) {
				mfTime = mfPeriod;
			}
		}
		const f32 tau = mfTime > half ? mfTime - half : mfTime;
		f32 s = 0.0f;
		if ( tau < mfRampTime ) {
			s = 0.5f * mfSpeed * tau * tau / mfRampTime;
		} else if ( tau > half - mfRampTime ) {
			s = length - 0.5f * mfSpeed * ( half - tau ) * ( half - tau ) / mfRampTime;
		} else {
			s = mfSpeed * ( tau - mfRampTime ) + mfRampDistance;
		}
		const DTVector3d u = DMUnit( leg );
		goal = mfTime <= half ? moPointA + u * s : moPointB - u * s;
	}
	if ( mpoOwner == nullptr ) {
		return 1;
	}
	record.oTargetVelocity = ( goal - start ) * ( 1.0f / dt );
	record.oAppliedAccel = ( record.oTargetVelocity - mpoOwner->moVelocity ) * ( 1.0f / dt );
	mpoOwner->moVelocity = record.oTargetVelocity;
	mpoOwner->mfFallingTimer = mpoOwner->mfFallingDelay;
	return 1;
}
