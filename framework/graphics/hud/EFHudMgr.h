/*
===============================================================================

	The HUD manager, created by the graphics manager's Initialize and held
	in gpoHudMgr.

===============================================================================
*/
#ifndef EF_HUD_MGR_H
#define EF_HUD_MGR_H

#include "framework/graphics/hud/EFHudMgrRW.h"

class EFHudMgr : public EFHudMgr_SP {
public:
	// Writes the HUD tree to a file; 0 when nothing was written.
	u8						Save( const char* path );
};

extern EFHudMgr*	gpoHudMgr;

#endif
