#include "framework/core/input/EFPlayerDeviceGC.h"

#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/core/world/EFInstance.h"
#include "framework/core/input/EFPlayerDeviceMgrGC.h"
#include "platform/os/OS.h"
#include "platform/pad/PAD.h"

namespace {

// Full deflection of each stick after clamping.
constexpr f32 MAIN_STICK_SCALE		= 56.0f;
constexpr f32 C_STICK_SCALE			= 44.0f;

constexpr u16 RESET_COMBINATION		= PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_START;

// Time-base ticks per millisecond.
constexpr s64 TICKS_PER_MS			= OS_BUS_CLOCK / 4000;

// Button bit behind each digital index; 0 for the indices no button drives.
constexpr u16 DIGITAL_BUTTONS[EF_PAD_DIGITAL_COUNT] = {
	PAD_BUTTON_A, PAD_BUTTON_X, PAD_BUTTON_B, PAD_BUTTON_Y,
	PAD_TRIGGER_L, PAD_TRIGGER_R, 0, PAD_TRIGGER_R,
	PAD_TRIGGER_Z, 0, 0, PAD_BUTTON_START,
	PAD_BUTTON_UP, PAD_BUTTON_DOWN, PAD_BUTTON_LEFT, PAD_BUTTON_RIGHT,
};

// Per port: whether the combination is being held, and since when.
u8		comboHeld[EF_DEVICE_PAD_COUNT];
OSTime	comboStart[EF_DEVICE_PAD_COUNT];

} // namespace

EFPlayerDevice_SP::EFPlayerDevice_SP() : mbResetRequest( 0 ) {
}

void EFPlayerDevice_SP::ForgetCombinationHolds() {
	for ( u32 port = 0; port < EF_DEVICE_PAD_COUNT; port++ ) {
		comboHeld[port] = 0;
		comboStart[port] = 0;
	}
}

void EFPlayerDevice_SP::CompilePossibilities() {
	SetNbAnalog( EF_PAD_ANALOG_COUNT );
	SetNbDigital( EF_PAD_DIGITAL_COUNT );
	SetNbOutput( EF_PAD_OUTPUT_COUNT );
}

void EFPlayerDevice_SP::DeviceSpecificUpdate() {
	const u32 port = static_cast<u32>( meDeviceID ) - EF_DEVICE_PAD_FIRST;
	if ( port >= EF_DEVICE_PAD_COUNT ) {
		return;
	}
	// The new reading overwrites the older one.
	u8 * const older = mpui8PrevDigital;
	mpui8PrevDigital = mpui8Digital;
	mpui8Digital = older;

	const PADStatus & pad = EFPlayerDeviceMgr_SP::GetPadStatus( port );
	if ( pad.err != PAD_ERR_NONE ) {
		if ( pad.err == PAD_ERR_NO_CONTROLLER ) {
			if ( mpoInputErrorInstance != nullptr ) {
				mpoInputErrorInstance->Notify( NO_INPUT_ERROR, nullptr, false );
			}
			PADReset( PAD_CHAN0_BIT >> port );
		}
		ClearInputs();
	} else {
		FillInputs( port );
		const bool motorOn = mui16NbOutput > 0 && mpfOutput[0] > 0.0f;
		PADControlMotor( static_cast<s32>( port ), motorOn ? PAD_MOTOR_RUMBLE : PAD_MOTOR_STOP );
	}
	CheckResetCombination( port, pad.button );
}

void EFPlayerDevice_SP::FillInputs( const u32 port ) {
	const PADStatus & pad = EFPlayerDeviceMgr_SP::GetPadStatus( port );
	for ( u32 i = 0; i < mui16NbAnalog; i++ ) {
		mpfAnalog[i] = 0.0f;
	}
	SetAnalogAt( 0, static_cast<f32>( pad.stickX ) / MAIN_STICK_SCALE );
	SetAnalogAt( 1, static_cast<f32>( pad.stickY ) / MAIN_STICK_SCALE );
	SetAnalogAt( 3, static_cast<f32>( pad.substickX ) / C_STICK_SCALE );
	SetAnalogAt( 4, static_cast<f32>( pad.substickY ) / C_STICK_SCALE );
	SetAnalogAt( 6, static_cast<f32>( pad.analogA ) );
	SetAnalogAt( 8, static_cast<f32>( pad.analogB ) );
	SetAnalogAt( 10, static_cast<f32>( pad.triggerLeft ) );
	SetAnalogAt( 11, static_cast<f32>( pad.triggerRight ) );
	for ( u32 i = 0; i < EF_PAD_DIGITAL_COUNT; i++ ) {
		SetDigitalAt( i, ( pad.button & DIGITAL_BUTTONS[i] ) != 0 );
	}
}

void EFPlayerDevice_SP::ClearInputs() {
	for ( u32 i = 0; i < mui16NbAnalog; i++ ) {
		mpfAnalog[i] = 0.0f;
	}
	for ( u32 i = 0; i < mui16NbDigital; i++ ) {
		mpui8Digital[i] = 0;
	}
	if ( mui16NbOutput > 0 ) {
		mpfOutput[0] = 0.0f;
	}
}

void EFPlayerDevice_SP::CheckResetCombination( const u32 port, const u16 buttons ) {
	if ( ( buttons & RESET_COMBINATION ) != RESET_COMBINATION ) {
		comboHeld[port] = 0;
		gui32ControllerResetDown[port] = 0;
		return;
	}
	const OSTime now = OSGetTime();
	if ( comboHeld[port] == 0 ) {
		comboHeld[port] = 1;
		comboStart[port] = now;
	}
	if ( gui32ControllerResetDown[port] != 0 ) {
		return;
	}
	if ( ( now - comboStart[port] ) / TICKS_PER_MS >= EF_PAD_RESET_HOLD_MS ) {
		mbResetRequest = 1;
	}
}

void EFPlayerDevice_SP::SetAnalogAt( const u32 index, const f32 value ) {
	if ( index < mui16NbAnalog ) {
		mpfAnalog[index] = value;
	}
}

void EFPlayerDevice_SP::SetDigitalAt( const u32 index, const bool down ) {
	if ( index < mui16NbDigital ) {
		mpui8Digital[index] = down ? 1 : 0;
	}
}
