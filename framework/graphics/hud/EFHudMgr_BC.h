/*
===============================================================================

	Portable half of the HUD manager: the window tree, fonts and palettes.

	Fonts: ten slots; AddFont replaces (and deletes) the font of its slot
	and scales it once the HUD knows its screen size. The text table is
	the level's EFText. The manager owns its fonts and its text table and
	deletes them in Terminate and when destroyed.

	Placeholder body otherwise: Init succeeds and the window and search
	operations give their failure values until the HUD is built.

===============================================================================
*/
#ifndef EF_HUD_MGR_BC_H
#define EF_HUD_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFFont;

class EFHudWindow;
class EFText;

constexpr u32 EF_HUD_FONT_SLOTS = 10;

// Window kinds of WindowAdd, 0 to 3.
enum HudWinType_e {
	HUD_WIN_BASE	= 0,
	HUD_WIN_TEXT	= 1,
	HUD_WIN_2D		= 2,
	HUD_WIN_3D		= 3,
};

class EFHudMgr_BC {
public:
							EFHudMgr_BC();
	// Deletes the fonts and the text table.
	virtual					~EFHudMgr_BC();

							EFHudMgr_BC( const EFHudMgr_BC & ) = delete;
	EFHudMgr_BC &			operator=( const EFHudMgr_BC & ) = delete;

	// Non-zero on success.
	virtual u32				Init();
	// Deletes the fonts and the text table (they live on the level heap,
	// so this runs before the heap is reset).
	void					Terminate();

	// Handle of the new window, 0 when every handle is in use.
	u32						WindowAdd( HudWinType_e type, u32 parent, u32 flags, u32 priority );
	void					WindowDelete( u32 handle );
	// The window with that user id, depth first, or null.
	EFHudWindow*			FindHudWindow( u32 userId );
	// Installs font in slot id, deleting the font held there; scales it
	// when both screen-scale values are above 0. A slot outside 0-9
	// installs nothing (debug print); the caller keeps the font.
	void					AddFont( EFFont* font, u32 id );
	// The font of a slot, null when empty or outside 0-9.
	EFFont*					GetFont( u32 id ) const;

	// The level's text table; a new one replaces and deletes the old.
	void					SetTextTable( EFText* table );
	EFText*					GetTextTable() const { return mpoTextTable; }

	// Screen width and height in pixels; 0 until the HUD's first frame.
	void					SetScreenScale( f32 width, f32 height );
	f32						GetScreenScaleX() const { return mafScreenScale[0]; }
	f32						GetScreenScaleY() const { return mafScreenScale[1]; }

private:
	EFFont*					mapoFonts[EF_HUD_FONT_SLOTS];
	EFText*					mpoTextTable;
	f32						mafScreenScale[2];
};

#endif
