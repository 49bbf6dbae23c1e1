/*
===============================================================================

	Portable half of a player device: one input device as the engine sees
	it, with arrays of digital inputs (1 = down), analog inputs and output
	levels, a user count and the mask that hides buttons already held when
	the device (re)started.

	The arrays are (re)allocated zeroed by the SetNb* calls and owned by
	the device. A failed allocation leaves the array empty with a count of
	0, so every index check against the count stays valid. Counts only
	grow through those calls; the platform half fills the arrays.

===============================================================================
*/
#ifndef EF_PLAYER_DEVICE_BC_H
#define EF_PLAYER_DEVICE_BC_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/EFDeviceID_e.h"

class EFInstance;

class EFPlayerDevice_BC {
public:
							EFPlayerDevice_BC();
	virtual					~EFPlayerDevice_BC();

							EFPlayerDevice_BC( const EFPlayerDevice_BC & ) = delete;
	EFPlayerDevice_BC &		operator=( const EFPlayerDevice_BC & ) = delete;

	// Nothing on this platform.
	virtual void			DemoKeyInit() {}
	// 0: a device never interrupts a demo replay.
	virtual u32				DemoKeyPool() { return 0; }
	// Reads the device for the frame; dt is not used.
	virtual void			Update( f32 dt );
	// The platform's reading of the hardware.
	virtual void			DeviceSpecificUpdate() {}
	// Hook run for the first user; nothing on this platform.
	virtual void			AcquirePlayerDevice( bool acquire ) { (void)acquire; }
	// Sets the active byte, then runs AcquirePlayerDevice.
	virtual void			ActivatePlayerDevice( bool active );
	// Nothing on this platform.
	virtual void			Terminate() {}
	// Sizes the per-output state of the final class.
	virtual void			SetNbVibrationEvents() {}
	virtual u32				Initialize() { return 1; }
	// Sizes and maps the input arrays for the hardware.
	virtual void			CompilePossibilities() {}
	// Nothing on this platform.
	virtual void			OstrelleProcessing() {}

	// (Re)allocate the arrays zeroed; SetNbOutput also sizes the events.
	void					SetNbDigital( u16 count );
	void					SetNbAnalog( u16 count );
	void					SetNbOutput( u16 count );

	// One more user; the count never drops (and stops at its maximum
	// rather than wrapping to "no user").
	void					AddUser() { if ( mui16NbUsers != 0xFFFF ) { mui16NbUsers++; } }

	EFDeviceID_e			GetDeviceID() const { return meDeviceID; }
	u16						GetNbDigital() const { return mui16NbDigital; }
	u16						GetNbAnalog() const { return mui16NbAnalog; }
	u16						GetNbOutput() const { return mui16NbOutput; }
	u16						GetNbUsers() const { return mui16NbUsers; }
	bool					IsActive() const { return mbActive != 0; }
	bool					IsVibrationEnabled() const { return mbVibrationEnabled != 0; }
	void					SetVibrationEnabled( bool enabled ) { mbVibrationEnabled = enabled ? 1 : 0; }

	// 1 when button index is down; 0 beyond the digital count.
	u8						GetDigital( u32 index ) const;
	// The analog value at index; 0.0 beyond the analog count.
	f32						GetAnalog( u32 index ) const;
	// The output level at index; 0.0 beyond the output count.
	f32						GetOutput( u32 index ) const;

	// The instance that reports a missing controller (notification 14).
	EFInstance *			GetInputErrorInstance() const { return mpoInputErrorInstance; }
	void					SetInputErrorInstance( EFInstance * instance ) { mpoInputErrorInstance = instance; }

	// Asks the next Update to hide the buttons held at that moment.
	void					RequestRestart() { mui32Restart = 1; }

protected:
	// Applies the restart flag and the held-at-start mask to the buttons
	// just read.
	void					MaskHeldButtons();

	EFDeviceID_e			meDeviceID;
	u16						mui16NbDigital;
	u16						mui16NbAnalog;
	u8						mbVibrationEnabled;
	u8						mbActive;
	u16						mui16NbUsers;
	u8 *					mpui8Digital;
	u8 *					mpui8PrevDigital;
	u8 *					mpui8DigitalMask;
	f32 *					mpfAnalog;
	f32 *					mpfAnalogExtra;
	u16						mui16NbOutput;
	f32 *					mpfOutput;
	EFInstance *			mpoInputErrorInstance;
	u32						mui32Restart;
};

#endif
