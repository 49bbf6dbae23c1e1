/*
===============================================================================

	Player devices (gpoPlayerDeviceMgr): the controllers read every frame
	and the input mapping. Placeholder body: nothing is read yet and the
	console's reset button is never reported.

===============================================================================
*/
#ifndef EF_PLAYER_DEVICE_MGR_H
#define EF_PLAYER_DEVICE_MGR_H

#include "datatypes/DTTypes.h"

class EFAppContext;

class EFPlayerDeviceMgr {
public:
	explicit				EFPlayerDeviceMgr( const EFAppContext& context );

	u32						Initialize();
	void					StartFrame();
	void					Update( f32 dt );
	void					Terminate();
	// True after a completed press of the console's reset button.
	bool					IsReset() const;
};

extern EFPlayerDeviceMgr*	gpoPlayerDeviceMgr;

#endif
