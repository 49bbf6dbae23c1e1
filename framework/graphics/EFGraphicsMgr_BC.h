/*
===============================================================================

	Portable half of the graphics manager: the start-up context, the screen
	size, the TV mode, the two camera slots, the library's sub-system names
	and video modes and the rendering-enabled flag.

===============================================================================
*/
#ifndef EF_GRAPHICS_MGR_BC_H
#define EF_GRAPHICS_MGR_BC_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTVector.h"

class EFAppContext;

class EFCamera;

// TV modes: the ENGINE.INI DisplayMode names them.
constexpr u32 EF_TV_MODE_NTSC = 0;
constexpr u32 EF_TV_MODE_PAL  = 1;

constexpr u32 EF_CAMERA_SLOT_COUNT = 2;

// One video mode of the library; exclusive is the mode's flag bit 0.
struct EFDisplayMode_s {
	s32		width;
	s32		height;
	s32		depth;
	s32		exclusive;
};

class EFGraphicsMgr_BC {
public:
	explicit				EFGraphicsMgr_BC( const EFAppContext& context );
	virtual					~EFGraphicsMgr_BC() {}

	u32						GetTVMode() const { return mui32TVMode; }
	u32						GetScreenWidth() const { return mui32ScreenWidth; }
	u32						GetScreenHeight() const { return mui32ScreenHeight; }
	const EFAppContext&		GetAppContext() const { return mrContext; }
	const DTVector<char*>&	GetDriverNames() const { return moDrivers; }
	const DTVector<EFDisplayMode_s>& GetDisplayModes() const { return moDisplayModes; }
	s32						GetCurrentSubSystem() const { return mi32CurrentSubSystem; }
	s32						GetCurrentVideoMode() const { return mi32CurrentVideoMode; }
	u32						IsRenderingEnabled() const { return mui32RenderingEnabled; }

protected:
	EFCamera*				mpoCameras[EF_CAMERA_SLOT_COUNT];
	// Sub-system names, each allocated through the library's memory.
	DTVector<char*>			moDrivers;
	DTVector<EFDisplayMode_s> moDisplayModes;
	u32						mui32RenderingEnabled;
	u32						mui32ScreenWidth;
	u32						mui32ScreenHeight;
	const EFAppContext&		mrContext;
	// EF_TV_MODE_NTSC or EF_TV_MODE_PAL.
	u32						mui32TVMode;
	// -1 until read from the library.
	s32						mi32CurrentSubSystem;
	s32						mi32CurrentVideoMode;
};

#endif
