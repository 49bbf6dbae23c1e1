#include "framework/core/input/EFPlayerDevice.h"

#include "datatypes/memory/MMMemory.h"

#include <cstring>

EFPlayerDevice::EFPlayerDevice( const EFDeviceID_e id ) : mpoEvents( nullptr ) {
	meDeviceID = id;
}

EFPlayerDevice::~EFPlayerDevice() {
	if ( mpoEvents != nullptr ) {
		MMFree( mpoEvents );
	}
}

void EFPlayerDevice::SetNbVibrationEvents() {
	if ( mpoEvents != nullptr ) {
		MMFree( mpoEvents );
		mpoEvents = nullptr;
	}
	if ( mui16NbOutput == 0 ) {
		return;
	}
	const u32 bytes = static_cast<u32>( mui16NbOutput ) * static_cast<u32>( sizeof( EFVibrationEvent ) );
	mpoEvents = static_cast<EFVibrationEvent *>( MMMalloc( bytes ) );
	if ( mpoEvents == nullptr ) {
		// Without events the outputs cannot be driven: none are offered.
		mui16NbOutput = 0;
		return;
	}
	std::memset( mpoEvents, 0, bytes );
}

void EFPlayerDevice::Update( const f32 dt ) {
	if ( mui16NbOutput > 0 ) {
		UpdateEnvelopes();
	}
	EFPlayerDevice_BC::Update( dt );
}

void EFPlayerDevice::UpdateEnvelopes() {
	const f32 step = moTimer.Update();
	for ( u32 i = 0; i < mui16NbOutput; i++ ) {
		EFVibrationEvent & event = mpoEvents[i];
		event.mdElapsed += step;
		const f64 t = event.mdElapsed;
		const f64 attack = event.mfAttack;
		const f64 holdEnd = attack + event.mfHold;
		const f64 releaseEnd = holdEnd + event.mfRelease;
		f32 level;
		if ( t <= attack ) {
			// A zero attack (and a zero step) would divide 0 by 0.
			level = attack > 0.0 ? static_cast<f32>( event.mfStart + ( event.mfTarget - event.mfStart ) * t / attack )
								 : event.mfTarget;
		} else if ( t <= holdEnd ) {
			level = event.mfTarget;
		} else if ( t <= releaseEnd ) {
			level = static_cast<f32>( event.mfTarget - event.mfTarget * ( t - holdEnd ) / event.mfRelease );
		} else {
			std::memset( &event, 0, sizeof( event ) );
			level = 0.0f;
		}
		event.mfCurrent = level;
		mpfOutput[i] = level;
	}
}

void EFPlayerDevice::SetVibration( const u32 output, const f32 level, const f32 attack, const f32 hold,
								   const f32 release ) {
	if ( mbVibrationEnabled == 0 || output >= mui16NbOutput ) {
		return;
	}
	EFVibrationEvent & event = mpoEvents[output];
	event.mfStart = event.mui8State == EF_VIBRATION_RUNNING ? event.mfCurrent : 0.0f;
	event.mdElapsed = 0.0;
	event.mfTarget = level;
	event.mfAttack = attack;
	event.mfHold = hold;
	event.mfRelease = release;
	event.mui8State = EF_VIBRATION_RUNNING;
}

void EFPlayerDevice::Reset() {
	mpoInputErrorInstance = nullptr;
	mbVibrationEnabled = 1;
	for ( u32 i = 0; i < mui16NbOutput; i++ ) {
		SetVibration( i, 0.0f, 0.0f, 0.0f, 0.0f );
	}
	mbVibrationEnabled = 0;
	mui32Restart = 1;
}

const EFVibrationEvent * EFPlayerDevice::GetVibrationEvent( const u32 output ) const {
	return output < mui16NbOutput ? &mpoEvents[output] : nullptr;
}
