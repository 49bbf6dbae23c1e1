/*
===============================================================================

	Portable half of the HUD manager: the window tree, fonts and palettes.

	Placeholder body: Init succeeds and the window, font and search
	operations give their failure values until the HUD is built.

===============================================================================
*/
#ifndef EF_HUD_MGR_BC_H
#define EF_HUD_MGR_BC_H

#include "datatypes/DTTypes.h"

class EFFont;
class EFHudWindow;

// Window kinds of WindowAdd, 0 to 3.
enum HudWinType_e {
	HUD_WIN_BASE	= 0,
	HUD_WIN_TEXT	= 1,
	HUD_WIN_2D		= 2,
	HUD_WIN_3D		= 3,
};

class EFHudMgr_BC {
public:
	virtual					~EFHudMgr_BC() {}

	// Non-zero on success.
	virtual u32				Init();

	// Handle of the new window, 0 when every handle is in use.
	u32						WindowAdd( HudWinType_e type, u32 parent, u32 flags, u32 priority );
	void					WindowDelete( u32 handle );
	// The window with that user id, depth first, or null.
	EFHudWindow*			FindHudWindow( u32 userId );
	void					AddFont( EFFont* font, u32 id );
};

#endif
