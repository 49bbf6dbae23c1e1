/*
===============================================================================

	Portable half of the HUD manager: the window tree, its handles, the
	fonts, palettes and text table.

	Windows are reached by handles, (slot << 16) | (serial & 0xFFFF) of a
	512-slot table: -1 names the root window, 0 no window. Each time a slot
	is taken its serial grows (0 becomes 1), so the handle of a deleted
	window never reaches the window that takes its slot next. Every
	handle operation goes through GetWindow.

	Fonts, palettes, the text table and the windows live on the level
	heap: Terminate, which the graphics manager's Terminate runs before
	the heap is reset, deletes them all and leaves the root window
	childless. The manager owns what it holds and deletes it when
	replaced or destroyed.

===============================================================================
*/
#ifndef EF_HUD_MGR_BC_H
#define EF_HUD_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFCamera;
class EFFont;
class EFHudPalette;
class EFHudWindow;
class EFLight;
class EFText;
struct EFFontColorGroup;
struct EFHudColorGroup;

constexpr u32 EF_HUD_FONT_SLOTS		= 10;
constexpr u32 EF_HUD_PALETTE_SLOTS	= 10;
constexpr u32 EF_HUD_LIGHT_SLOTS	= 16;
constexpr u32 EF_HUD_WINDOW_SLOTS	= 512;
// Handles naming the root window and no window.
constexpr u32 EF_HUD_ROOT_HANDLE	= 0xFFFFFFFF;
constexpr u32 EF_HUD_NO_HANDLE		= 0;

// Window kinds of WindowAdd, 0 to 3.
enum HudWinType_e : u32 {
	HUD_WIN_BASE	= 0,
	HUD_WIN_TEXT	= 1,
	HUD_WIN_2D		= 2,
	HUD_WIN_3D		= 3,
};

struct EFHudHandleSlot {
	u32						uiSerial;
	EFHudWindow *			poWindow;
};

class EFHudMgr_BC {
public:
							EFHudMgr_BC();
	// Terminate, then the root window.
	virtual					~EFHudMgr_BC();
	virtual void			RenderInit() {}
	virtual void			RenderTerminate() {}

							EFHudMgr_BC( const EFHudMgr_BC & ) = delete;
	EFHudMgr_BC &			operator=( const EFHudMgr_BC & ) = delete;

	// Makes the root window (once); 1.
	u32						Init();
	// Fonts, palettes (global one too), the root's children, light slots
	// and the text table deleted, in that order.
	void					Terminate();

	// Handle of a new window of that type under the parent (the root for
	// -1 or a handle naming no live window); 0 when the table is full or
	// the type is not 0-3, with nothing made.
	u32						WindowAdd( HudWinType_e type, u32 parent, u32 flags, u32 priority );
	// Deletes the window of a live handle with its subtree; not the root.
	void					WindowDelete( u32 handle );
	// The window of a handle, or null.
	EFHudWindow *			GetWindow( u32 handle ) const;
	EFHudWindow *			GetRootWindow() const { return mpoRootWindow; }
	// The window with that id (not handle), depth first, or null.
	EFHudWindow *			FindHudWindow( u32 id ) const;

	// Window constructors take a handle (0 when full); destructors free it.
	u32						AllocateHandle( EFHudWindow * window );
	void					FreeHandle( u32 handle );
	u32						GetWindowCount() const { return muiWindowCount; }

	// Installs font in slot id, deleting the font held there; scales it
	// when both screen-scale values are above 0. A slot outside 0-9
	// installs nothing (debug print); the caller keeps the font.
	void					AddFont( EFFont * font, u32 id );
	// The font of a slot, null when empty or outside 0-9.
	EFFont *				GetFont( u32 id ) const;

	// Index -1 the global palette, else slot 0-9 (others ignored); the
	// old palette is deleted unless it is this one; then palette Init.
	void					AddPalette( EFHudPalette * palette, s32 index, u32 count, const EFFontColorGroup * groups );
	// -1 the global palette, 0-9 a slot; null otherwise or when empty.
	EFHudPalette *			GetPalette( s32 slot ) const;
	bool					IsPaletteInstalled( const EFHudPalette * palette ) const;
	// Bit 31 of index: group (index & 0x7FFFFFFF) of the global palette;
	// else group index of the palette of slot. Null when there is none.
	EFHudColorGroup *		GetColorGroup( s32 slot, u32 index ) const;

	// The level's text table; a new one replaces and deletes the old.
	void					SetTextTable( EFText * table );
	EFText *				GetTextTable() const { return mpoTextTable; }

	// Screen width and height in pixels; 0 until the HUD's first frame.
	void					SetScreenScale( f32 width, f32 height );
	f32						GetScreenScaleX() const { return mafScreenScale[0]; }
	f32						GetScreenScaleY() const { return mafScreenScale[1]; }

	void					TextSetCurrentLanguage( u32 language ) { muiLanguage = language; }
	u32						TextGetCurrentLanguage() const { return muiLanguage; }

	// The frame's render-command block (null outside the HUD frame); text
	// windows write no further than its end.
	void					SetCommandBlock( void * block, u32 bytes );
	u8 *					GetCommandBlockEnd() const { return mpCommandEnd; }
	// Bytes of the block the last frame used.
	u32						GetCommandBytesUsed() const { return muiCommandBytesUsed; }

	// The manager windows use (the last one made).
	static EFHudMgr_BC *	GetCurrent() { return mspoCurrent; }

protected:
	EFHudWindow *			mpoRootWindow;
	EFCamera *				mpoHudCamera;
	EFHudPalette *			mpoGlobalPalette;
	EFFont *				mapoFonts[EF_HUD_FONT_SLOTS];
	EFHudPalette *			mapoPalettes[EF_HUD_PALETTE_SLOTS];
	EFLight *				mapoLights[EF_HUD_LIGHT_SLOTS];
	EFText *				mpoTextTable;
	f32						mafViewWindow[2];
	f32						mafScreenScale[2];
	EFHudHandleSlot			maoHandles[EF_HUD_WINDOW_SLOTS];
	u32						muiLastSlot;
	u32						muiWindowCount;
	u32						muiLanguage;
	u8 *					mpCommandBlock;
	u8 *					mpCommandEnd;
	u32						muiCommandBytesUsed;

	static EFHudMgr_BC *	mspoCurrent;
};

#endif
