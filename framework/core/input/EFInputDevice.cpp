#include "framework/core/input/EFInputDevice.h"

#include "framework/core/input/ActionState.h"
#include "framework/core/input/EFPlayerDevice.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"

namespace {

// A held button drives its axis this far before the scale and the clamp.
constexpr f32 BUTTON_AXIS_VALUE = 5.0f;
constexpr u32 KIND_BITS			= 32;

f32 ClampUnit( const f32 value ) {
	if ( value > 1.0f ) {
		return 1.0f;
	}
	if ( value < -1.0f ) {
		return -1.0f;
	}
	return value;
}

}

EFInputDevice::EFInputDevice()
	: mui8Input( 0 ), mui8Kind( 0 ), mui8DeviceID( 0 ), mui8BindingID( 0 ), mui8Slot( 0 ), mui8Source( 0 ),
	  mfScale( 0.0f ), mpoDevice( nullptr ), mpoNext( nullptr ) {
}

u32 EFInputDevice::Set( const s32 bindingId, const s32 deviceId, const s32 slot, const s32 kind, const s32 percent,
						const s32 input ) {
	mui8Input	  = static_cast<u8>( input & 0xFF );
	mui8Kind	  = static_cast<u8>( kind );
	mui8DeviceID  = static_cast<u8>( deviceId );
	mui8BindingID = static_cast<u8>( bindingId );
	mui8Slot	  = static_cast<u8>( slot );
	mfScale		  = static_cast<f32>( percent / 100.0 );
	mpoDevice	  = gpoPlayerDeviceMgr != nullptr
						? gpoPlayerDeviceMgr->AcquirePlayerDevice( static_cast<EFDeviceID_e>( deviceId ) )
						: nullptr;
	if ( mpoDevice == nullptr ) {
		return 0;
	}
	if ( ( input & EF_INPUT_ANALOG_INPUT ) != 0 ) {
		mui8Source |= EF_INPUT_SOURCE_ANALOG;
	}
	// Only the low byte is kept: kinds 8 to 31 add nothing. A negative
	// kind adds nothing either (the shift would be undefined).
	if ( kind >= 0 && static_cast<u32>( kind ) < KIND_BITS ) {
		mui8Source |= static_cast<u8>( 1u << static_cast<u32>( kind ) );
	}
	return 1;
}

void EFInputDevice::Update( ActionState* const state ) {
	if ( ( mui8Source & EF_INPUT_SOURCE_X ) != 0 ) {
		UpdateAnalogSlot( state, 0 );
		state->flags |= EF_ACTION_ANALOG_X;
	} else if ( ( mui8Source & EF_INPUT_SOURCE_Y ) != 0 ) {
		UpdateAnalogSlot( state, 1 );
		state->flags |= EF_ACTION_ANALOG_Y;
	} else if ( ( mui8Source & EF_INPUT_SOURCE_DIGITAL ) != 0 ) {
		UpdateDigitalSlot( state );
		state->flags |= EF_ACTION_DIGITAL;
	}
}

void EFInputDevice::UpdateAnalogSlot( ActionState* const state, const s32 axis ) {
	f32& value = axis == 0 ? state->x : state->y;
	if ( ( mui8Source & EF_INPUT_SOURCE_ANALOG ) != 0 ) {
		value = ClampUnit( mpoDevice->GetAnalog( mui8Input ) );
		return;
	}
	if ( mpoDevice->GetDigital( mui8Input ) != 0 ) {
		value = ClampUnit( BUTTON_AXIS_VALUE * mfScale );
		return;
	}
	// A released button only takes back the direction it drives, so two
	// buttons on opposite directions of one axis share the slot.
	if ( ( value > 0.0f && mfScale > 0.0f ) || ( value < 0.0f && mfScale < 0.0f ) ) {
		value = 0.0f;
	}
}

void EFInputDevice::UpdateDigitalSlot( ActionState* const state ) {
	state->flags &= IsInputDown() ? EF_ACTION_DOWN : EF_ACTION_UP;
}

bool EFInputDevice::IsInputDown() const {
	if ( ( mui8Source & EF_INPUT_SOURCE_ANALOG ) != 0 ) {
		return mpoDevice->GetAnalog( mui8Input ) != 0.0f;
	}
	return mpoDevice->GetDigital( mui8Input ) != 0;
}
