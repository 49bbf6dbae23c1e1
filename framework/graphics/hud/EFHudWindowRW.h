/*
===============================================================================

	Platform half of a HUD window: untextured quads of the background
	drawn as one immediate-2D strip at the window's depth.

===============================================================================
*/
#ifndef EF_HUD_WINDOW_RW_H
#define EF_HUD_WINDOW_RW_H

#include "framework/graphics/hud/EFHudWindow_BC.h"

class EFHudWindow_SP : public EFHudWindow_BC {
public:
							EFHudWindow_SP( HudWinType_e type, u32 flags, u32 priority );

	// Corners in strip order, their colours; texture raster none and
	// address state 0 during the draw, address state 1 after.
	void					FillPoly( const CVector2d * corners, const RwRGBA * colors ) override;
};

#endif
