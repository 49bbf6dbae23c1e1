/*
===============================================================================

	A player device whose readings a test writes directly, for analog
	values no controller record gives exactly: each device update copies
	the test's arrays into the device's own.

===============================================================================
*/
#ifndef INPUT_TEST_DEVICE_H
#define INPUT_TEST_DEVICE_H

#include "framework/core/input/EFPlayerDevice.h"

class InputTestDevice : public EFPlayerDevice {
public:
	static constexpr u16 ANALOG_COUNT = 2;
	static constexpr u16 DIGITAL_COUNT = 2;

	explicit InputTestDevice( const EFDeviceID_e id ) : EFPlayerDevice( id ) {
		SetNbAnalog( ANALOG_COUNT );
		SetNbDigital( DIGITAL_COUNT );
	}

	void DeviceSpecificUpdate() override {
		for ( u16 i = 0; i < mui16NbAnalog; i++ ) {
			mpfAnalog[i] = analog[i];
		}
		for ( u16 i = 0; i < mui16NbDigital; i++ ) {
			mpui8Digital[i] = digital[i];
		}
	}

	f32	analog[ANALOG_COUNT] = {};
	u8	digital[DIGITAL_COUNT] = {};
};

#endif
