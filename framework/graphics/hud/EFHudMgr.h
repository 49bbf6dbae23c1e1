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
	// A window tree from a named file: nothing is read here; 0.
	u8						Load( const char * path );
	// Writes nothing; 0.
	u8						Save( const char * path );
};

extern EFHudMgr*	gpoHudMgr;

#endif
