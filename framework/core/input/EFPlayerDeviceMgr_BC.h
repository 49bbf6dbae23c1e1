/*
===============================================================================

	Portable half of the player-device manager: the device list and the
	input manager it drives.

	Devices are added at the head of the list, so they are updated in the
	reverse order of their addition. The first Update only activates every
	device; each later one updates the active devices that have at least
	one user, then input mapping. A device gains a user with every
	acquisition and never loses one.

===============================================================================
*/
#ifndef EF_PLAYER_DEVICE_MGR_BC_H
#define EF_PLAYER_DEVICE_MGR_BC_H

#include "datatypes/containers/DTSingleLList.h"
#include "datatypes/base/DTTypes.h"
#include "framework/core/input/EFDeviceID_e.h"

class EFInputMgr;
class EFInstance;
class EFPlayerDevice;

class EFPlayerDeviceMgr_BC {
public:
							EFPlayerDeviceMgr_BC();
	// Deletes the input manager it made, then the devices.
	virtual					~EFPlayerDeviceMgr_BC();

							EFPlayerDeviceMgr_BC( const EFPlayerDeviceMgr_BC & ) = delete;
	EFPlayerDeviceMgr_BC &	operator=( const EFPlayerDeviceMgr_BC & ) = delete;

	virtual void			Update( f32 dt );
	// Takes ownership and links the device at the head of the list.
	virtual void			AddPlayerDevice( EFPlayerDevice * device );
	// Creates the platform's devices; 0 stops the initialisation.
	virtual u32				PreInitialize() { return 1; }
	virtual u32				PostInitialize() { return 1; }
	// Nothing on this platform.
	virtual void			SpecificUpdate( f32 dt ) { (void)dt; }
	// Terminate of every device.
	virtual void			PreTerminate();
	virtual void			PostTerminate() {}
	// Nothing on this platform.
	virtual void			DemoKeyInit() {}
	// 0: the player never interrupts a demo replay.
	virtual u32				DemoKeyPool() { return 0; }

	// PreInitialize, the input manager, PostInitialize; 1 when both
	// halves succeeded.
	u32						Initialize();
	// PreTerminate, every input configuration removed, PostTerminate.
	void					Terminate();
	// Start of the frame for input mapping.
	void					StartFrame();

	// The device of an id with one more user (the first user runs the
	// device's acquire hook); null when there is none.
	EFPlayerDevice *		AcquirePlayerDevice( EFDeviceID_e id );
	// The device of an id, null when there is none.
	EFPlayerDevice *		GetDevice( EFDeviceID_e id ) const;
	void					ActivatePlayerDeviceAll( bool active );
	// Clears instance from every device that reports its input errors to
	// it (an instance that goes away).
	void					ForgetInputErrorInstance( const EFInstance * instance );

	const DTSingleLList<EFPlayerDevice *> &	GetDevices() const { return moDevices; }

protected:
	EFInputMgr *			mpoInputMgr;
	DTSingleLList<EFPlayerDevice *>	moDevices;
	// Set by the first Update.
	u8						mbUpdated;
};

#endif
