/*
===============================================================================

	Portable half of the graphics manager: the start-up context, the screen
	size, the TV mode and the two camera slots.

===============================================================================
*/
#ifndef EF_GRAPHICS_MGR_BC_H
#define EF_GRAPHICS_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFAppContext;
class EFCamera;

// TV modes: the ENGINE.INI DisplayMode names them.
constexpr u32 EF_TV_MODE_NTSC = 0;
constexpr u32 EF_TV_MODE_PAL  = 1;

constexpr u32 EF_CAMERA_SLOT_COUNT = 2;

class EFGraphicsMgr_BC {
public:
	explicit				EFGraphicsMgr_BC( const EFAppContext& context );
	virtual					~EFGraphicsMgr_BC() {}

	u32						GetTVMode() const { return mui32TVMode; }
	u32						GetScreenWidth() const { return mui32ScreenWidth; }
	u32						GetScreenHeight() const { return mui32ScreenHeight; }
	const EFAppContext&		GetAppContext() const { return mrContext; }

protected:
	EFCamera*				mpoCameras[EF_CAMERA_SLOT_COUNT];
	u32						mui32ScreenWidth;
	u32						mui32ScreenHeight;
	const EFAppContext&		mrContext;
	// EF_TV_MODE_NTSC or EF_TV_MODE_PAL.
	u32						mui32TVMode;
};

#endif
