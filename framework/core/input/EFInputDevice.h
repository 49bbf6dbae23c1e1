/*
===============================================================================

	One binding of an input action: a button or an analog value of a
	player device, feeding the x axis, the y axis or the digital state of
	one of the action's five slots.

	Set acquires the player device (a user that is never given back), so
	the device is read every frame from then on.

===============================================================================
*/
#ifndef EF_INPUT_DEVICE_H
#define EF_INPUT_DEVICE_H

#include "datatypes/base/DTTypes.h"

struct ActionState;
class EFPlayerDevice;

// Source bits: the binding drives x, y or the digital state; the input is
// read from the device's analog array rather than its buttons.
constexpr u8 EF_INPUT_SOURCE_X		 = 0x1;
constexpr u8 EF_INPUT_SOURCE_Y		 = 0x2;
constexpr u8 EF_INPUT_SOURCE_DIGITAL = 0x4;
constexpr u8 EF_INPUT_SOURCE_ANALOG	 = 0x80;
// Bit of the input argument that names an analog value.
constexpr s32 EF_INPUT_ANALOG_INPUT = 0x8000;
// Binding slots of an action.
constexpr s32 EF_INPUT_SLOT_COUNT = 5;

class EFInputDevice {
public:
	EFInputDevice();

	// Stores the binding and acquires its player device; 0 when there is
	// no such device. kind 0 drives x, 1 y, 2 the digital state (kinds 3
	// to 7 land on higher source bits, others add nothing); percent
	// scales a button driving an axis.
	u32 Set( s32 bindingId, s32 deviceId, s32 slot, s32 kind, s32 percent, s32 input );
	// Folds this binding into a slot's scratch state.
	void Update( ActionState* state );
	// A button drives the axis to 5 x scale (clamped to [-1, 1]) while
	// down; an analog value is passed through, clamped, unscaled.
	void UpdateAnalogSlot( ActionState* state, s32 axis );
	// Keeps only the down bit while the input is down, only the up bit
	// while it is up, so a slot's bindings form a chord.
	void UpdateDigitalSlot( ActionState* state );

	EFInputDevice* GetNext() const { return mpoNext; }
	void		   SetNext( EFInputDevice* next ) { mpoNext = next; }
	u8			   GetSource() const { return mui8Source; }
	f32			   GetScale() const { return mfScale; }

private:
	bool IsInputDown() const;

	u8				mui8Input;
	u8				mui8Kind;
	u8				mui8DeviceID;
	u8				mui8BindingID;
	u8				mui8Slot;
	u8				mui8Source;
	f32				mfScale;
	EFPlayerDevice* mpoDevice;
	EFInputDevice*	mpoNext;
};

#endif
