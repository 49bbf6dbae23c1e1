/*
===============================================================================

	Player device: the controller half plus the rumble envelopes, one per
	output, timed by the device's own timer (the frame step handed to
	Update is not used).

	Envelope of one output, with t the time since SetVibration and A, H, R
	the attack, hold and release times: start + (target - start) t / A up
	to A (the target at once when A is not positive), the target up to
	A + H, a linear fall to 0.0 up to A + H + R, then the event ends and
	the output reads 0.0.

===============================================================================
*/
#ifndef EF_PLAYER_DEVICE_H
#define EF_PLAYER_DEVICE_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/EFPlayerDeviceGC.h"
#include "framework/core/engine/EFTimer.h"
#include "framework/core/input/EFVibrationEvent.h"

class EFPlayerDevice : public EFPlayerDevice_SP {
public:
	explicit				EFPlayerDevice( EFDeviceID_e id );
							~EFPlayerDevice() override;

	// Envelopes, then the reading and the held-button mask.
	void					Update( f32 dt ) override;
	void					SetNbVibrationEvents() override;

	// Starts the envelope of an output; nothing unless vibration is
	// enabled and the output exists. A running envelope restarts from its
	// current level, an idle one from 0.0.
	void					SetVibration( u32 output, f32 level, f32 attack, f32 hold, f32 release );
	// Clears the error instance, stops every output's envelope and hides
	// the buttons held now until they are released.
	void					Reset();

	// The event of an output, null beyond the count.
	const EFVibrationEvent *	GetVibrationEvent( u32 output ) const;

private:
	void					UpdateEnvelopes();

	EFVibrationEvent *		mpoEvents;
	EFTimer					moTimer;
};

#endif
