/*
===============================================================================

	A HUD window: a rectangle in a tree of rectangles, placed relative to
	its parent and clipped to it, updated and drawn after its parent and
	before its children, with an optional background and border, and a
	timer that hides or deletes it.

	Siblings keep non-increasing priority (the newest first among equal
	ones). A window takes a handle from the manager when made and gives
	it back when destroyed; destroying a window unlinks it and destroys
	its subtree. A window whose clip rectangle is under half a pixel wide
	or high is neither specifically updated nor drawn, nor its children.

===============================================================================
*/
#ifndef EF_HUD_WINDOW_BC_H
#define EF_HUD_WINDOW_BC_H

#include "framework/graphics/hud/EFHudMgr_BC.h"
#include "framework/logic/api/LogicApiRecords.h"
#include "graphics3d/core/RwRGBA.h"

// A corner of a quad in pixels.
struct CVector2d {
	f32						x;
	f32						y;
};

// Window flags.
constexpr u32 EF_HUD_RELATIVE_POS		= 0x1;
constexpr u32 EF_HUD_RELATIVE_SIZE		= 0x2;
constexpr u32 EF_HUD_CENTER_X			= 0x4;
constexpr u32 EF_HUD_CENTER_Y			= 0x8;
constexpr u32 EF_HUD_ALIGN_RIGHT		= 0x10;
constexpr u32 EF_HUD_ALIGN_BOTTOM		= 0x20;
constexpr u32 EF_HUD_HIDDEN				= 0x100;
constexpr u32 EF_HUD_HIDE_ON_TIMER		= 0x200;
constexpr u32 EF_HUD_DELETE_ON_TIMER	= 0x400;
constexpr u32 EF_HUD_BACKGROUND			= 0x800;
constexpr u32 EF_HUD_BORDER_THICKNESS	= 0x1000;
constexpr u32 EF_HUD_DELETE_NOW			= 0x40000000;
constexpr u32 EF_HUD_TIMER_RUNNING		= 0x80000000;
// SpecificUpdate result bit: place the window again.
constexpr u32 EF_HUD_PLACE_AGAIN		= 0x2;

class EFHudWindow_BC {
public:
							EFHudWindow_BC( HudWinType_e type, u32 flags, u32 priority );

	virtual u32				SpecificUpdate( f32 dt, void *& commands, unsigned long & count );
	virtual void			SpecificRender( EFCamera * camera, unsigned long & count );
	virtual void			RenderInit( EFCamera * camera, CRect * clip, f32 depth );
	virtual void			RenderTerminate();
	virtual void			FillPoly( const CVector2d * corners, const RwRGBA * colors );
	// EFHudWindow's destructor unlinks the window, frees its handle and
	// deletes its subtree.
	virtual					~EFHudWindow_BC();

							EFHudWindow_BC( const EFHudWindow_BC & ) = delete;
	EFHudWindow_BC &		operator=( const EFHudWindow_BC & ) = delete;

	// Before the first sibling of priority <= its own.
	void					AddChild( EFHudWindow * child );
	void					RemoveChild( EFHudWindow * child );

	// Places the window in pixels and clips it against its parent.
	void					ComputePos();
	// Depth first: placement, specific update, children, timer.
	void					Update( f32 dt, void *& commands, unsigned long & count );
	// Background, specific drawing, children, then the timer's action.
	void					Render( EFCamera * camera, unsigned long & count, u32 depth );
	void					DrawBackGround();

	EFHudWindow *			AsWindow();
	const EFHudWindow *		GetPlacementParent() const;

	CRect					moDesignRect;
	CRect					moScreenRect;
	CRect					moPosRect;
	CRect					moClipRect;
	u32						muiFlags;
	u32						muiId;
	u32						muiColorGroup;
	f32						mafBorder[2];
	EFHudWindow *			mpoParent;
	EFHudWindow *			mpoNextSibling;
	EFHudWindow *			mpoFirstChild;
	HudWinType_e			meType;
	u32						muiPriority;
	f32						mfTimer;
	u32						muiHandle;

	// Ids handed to new windows.
	static u32				msuiIdRef;

protected:
	// priority x the current camera's z-scale + z-shift.
	f32						GetDepth() const;
};

#endif
