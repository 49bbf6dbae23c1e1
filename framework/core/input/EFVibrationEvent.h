/*
===============================================================================

	One rumble envelope of a player-device output: attack from the start
	level to the target, hold, then release to 0.0. Times in seconds; the
	elapsed time counts from the SetVibration that started the envelope.
	40 bytes, one per output.

===============================================================================
*/
#ifndef EF_VIBRATION_EVENT_H
#define EF_VIBRATION_EVENT_H

#include "datatypes/base/DTTypes.h"

constexpr u8 EF_VIBRATION_IDLE		= 0;
constexpr u8 EF_VIBRATION_RUNNING	= 1;

struct EFVibrationEvent {
	u8						mui8State;
	f64						mdElapsed;
	f32						mfStart;
	f32						mfTarget;
	f32						mfCurrent;
	f32						mfAttack;
	f32						mfHold;
	f32						mfRelease;
};

static_assert( sizeof( EFVibrationEvent ) == 40, "a vibration event is 40 bytes" );

#endif
