/*
===============================================================================

	Player-device manager (gpoPlayerDeviceMgr): owns the devices, reads the
	controllers every frame, runs the rumble envelopes, hides buttons held
	across a restart and then updates input mapping.

	Adds the active port (-1 until the input table sets one) and the
	keyboard buffer.

===============================================================================
*/
#ifndef EF_PLAYER_DEVICE_MGR_H
#define EF_PLAYER_DEVICE_MGR_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/EFKeyboard.h"
#include "framework/core/input/EFPlayerDeviceMgrGC.h"

class EFAppContext;

class EFPlayerDeviceMgr : public EFPlayerDeviceMgr_SP {
public:
	// Sets gpoPlayerDeviceMgr.
	explicit				EFPlayerDeviceMgr( const EFAppContext & context );
	// Clears gpoPlayerDeviceMgr when it names this manager.
							~EFPlayerDeviceMgr() override;

	s32						GetActivePort() const { return mi32ActivePort; }
	void					SetActivePort( s32 port ) { mi32ActivePort = port; }
	EFKeyboard &			GetKeyboard() { return moKeyboard; }

private:
	s32						mi32ActivePort;
	EFKeyboard				moKeyboard;
};

extern EFPlayerDeviceMgr *	gpoPlayerDeviceMgr;

#endif
