/*
===============================================================================

	Platform half of the graphics manager.

	The constructor reads the ENGINE.INI keys BrightnessLevel (default 0.5),
	Stencil (default 1) and MaxFPS (default 30) and runs SetVideoSettings,
	whose DisplayMode "NTSC" selects TV mode 0 and "PAL" mode 1; any other
	value, the default "ntsc" included (values arrive upper-cased), leaves
	the mode as it is. The 3D library is not opened yet.

===============================================================================
*/
#ifndef EF_GRAPHICS_MGR_RW_H
#define EF_GRAPHICS_MGR_RW_H

#include "framework/graphics/EFGraphicsMgr_BC.h"

class EFGraphicsMgr_SP : public EFGraphicsMgr_BC {
public:
	explicit				EFGraphicsMgr_SP( const EFAppContext& context );

	// Reads DisplayMode; the argument is not used. Always 1.
	s32						SetVideoSettings( s32 showDialog );
	void					EnableStencilWrite( u32 enable );
	void					EnableStencilRead( u32 enable );

	f32						GetBrightnessLevel() const { return mfBrightnessLevel; }
	u32						GetStencil() const { return mui32Stencil; }
	s32						GetMaxFPS() const { return mi32MaxFPS; }

private:
	f32						mfBrightnessLevel;
	u32						mui32Stencil;
	s32						mi32MaxFPS;
};

#endif
