/*
===============================================================================

	Player-device ids. The four controller ports are devices 16 to 19; a
	device that has not been given its port yet carries EF_DEVICE_NONE.
	Input bindings and the input tables name devices by these values.

===============================================================================
*/
#ifndef EF_DEVICE_ID_E_H
#define EF_DEVICE_ID_E_H

#include "datatypes/base/DTTypes.h"

enum EFDeviceID_e : u32 {
	EF_DEVICE_PAD0		= 16,
	EF_DEVICE_PAD1		= 17,
	EF_DEVICE_PAD2		= 18,
	EF_DEVICE_PAD3		= 19,
	EF_DEVICE_NONE		= 99
};

// Controller ports, and the id of port 0.
constexpr u32 EF_DEVICE_PAD_COUNT	= 4;
constexpr u32 EF_DEVICE_PAD_FIRST	= EF_DEVICE_PAD0;

#endif
