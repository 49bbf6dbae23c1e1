/*
===============================================================================

	Controller half of a player device: port p is device 16 + p and reads
	the p-th of the four controller records the manager fetches each frame.

	Layout: 18 analog values (main stick x, y over 56.0 at 0 and 1, C stick
	x, y over 44.0 at 3 and 4, analog A at 6, analog B at 8, left and right
	trigger at 10 and 11, all others 0.0; the A/B and trigger depths stay
	0 to 255), 16 buttons (A, X, B, Y, L, R, none, R, Z, none, none, START,
	pad up, down, left, right) and one output, the rumble motor, which is
	on while its level is above 0.0 and is commanded every frame.

	A port without a controller notifies its input-error instance with
	NO_INPUT_ERROR and is reset; any error reads as every input released
	and the motor level 0.0.

	X+B+START held for 500 ms raises the device's reset request. A port
	whose controller held the combination at power-on is ignored until the
	combination has been released once.

===============================================================================
*/
#ifndef EF_PLAYER_DEVICE_GC_H
#define EF_PLAYER_DEVICE_GC_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/EFPlayerDevice_BC.h"

constexpr u16 EF_PAD_ANALOG_COUNT	= 18;
constexpr u16 EF_PAD_DIGITAL_COUNT	= 16;
constexpr u16 EF_PAD_OUTPUT_COUNT	= 1;

// How long the reset combination must be held, in milliseconds.
constexpr s64 EF_PAD_RESET_HOLD_MS	= 500;

class EFPlayerDevice_SP : public EFPlayerDevice_BC {
public:
							EFPlayerDevice_SP();

	void					DeviceSpecificUpdate() override;
	void					CompilePossibilities() override;

	// Set once the reset combination has been held long enough.
	bool					IsResetRequested() const { return mbResetRequest != 0; }

	// Forgets every port's note of a combination being held (start-up).
	static void				ForgetCombinationHolds();

protected:
	u8						mbResetRequest;

private:
	void					FillInputs( u32 port );
	void					ClearInputs();
	void					CheckResetCombination( u32 port, u16 buttons );
	void					SetAnalogAt( u32 index, f32 value );
	void					SetDigitalAt( u32 index, bool down );
};

#endif
