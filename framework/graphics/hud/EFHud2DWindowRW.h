/*
===============================================================================

	Platform half of the 2D window. With window flags 0x10000 and 0x20000
	its size becomes the texture's pixel size times the tilings; with
	0x10000 the texture keeps its pixel size when drawn (the tilings
	count per texture width and height), else it is stretched the tiling
	number of times over the window.

===============================================================================
*/
#ifndef EF_HUD_2D_WINDOW_RW_H
#define EF_HUD_2D_WINDOW_RW_H

#include "framework/graphics/hud/EFHud2DWindow_BC.h"

class EFHud2DWindow_SP : public EFHud2DWindow_BC {
public:
							EFHud2DWindow_SP( u32 flags, u32 priority );

	u32						SpecificUpdate( f32 dt, void *& commands, unsigned long & count ) override;
	void					SpecificRender( EFCamera * camera, unsigned long & count ) override;
};

#endif
