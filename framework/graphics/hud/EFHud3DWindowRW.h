/*
===============================================================================

	Platform half of the 3D window: counts itself in the frame's 3D
	windows when updated; when drawn, puts its object in front of the HUD
	camera at the window's centre (the camera's view window is 0.5 wide
	and 0.4375 high, hence 0.875 on y) at the window's priority as depth.

===============================================================================
*/
#ifndef EF_HUD_3D_WINDOW_RW_H
#define EF_HUD_3D_WINDOW_RW_H

#include "framework/graphics/hud/EFHud3DWindow_BC.h"

class EFHud3DWindow_SP : public EFHud3DWindow_BC {
public:
							EFHud3DWindow_SP( u32 flags, u32 priority );

	u32						SpecificUpdate( f32 dt, void *& commands, unsigned long & count ) override;
	void					SpecificRender( EFCamera * camera, unsigned long & count ) override;
};

#endif
