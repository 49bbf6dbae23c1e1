/*
===============================================================================

	Controller half of the player-device manager: the four controller
	ports as devices 16 to 19, read together once a frame (PADRead, then
	PADClampCircle) into the records the devices take their inputs from,
	and the console's reset button.

	IsReset remembers a press of the reset button for good and is true
	once the button is up again. IsResetRequested is true while any
	device has seen the reset combination held long enough; the frame
	loop treats both alike.

===============================================================================
*/
#ifndef EF_PLAYER_DEVICE_MGR_GC_H
#define EF_PLAYER_DEVICE_MGR_GC_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/EFPlayerDeviceMgr_BC.h"
#include "platform/pad/PAD.h"

class EFPlayerDeviceMgr_SP : public EFPlayerDeviceMgr_BC {
public:
	// Creates, lays out and activates the four controller devices (once).
	u32						PreInitialize() override;
	// Reads the controllers, then the portable update.
	void					Update( f32 dt ) override;
	// Reset of every active device that has users.
	void					PostTerminate() override;

	// A press of the console's reset button has been released.
	static bool				IsReset();
	// Some device has seen the reset combination held long enough.
	bool					IsResetRequested() const;

	// This frame's record of a port; port below 4.
	static const PADStatus &	GetPadStatus( u32 port ) { return msaoPadStatus[port]; }

private:
	static PADStatus		msaoPadStatus[PAD_MAX_CONTROLLERS];
	static u8				msbResetPressed;
};

#endif
