/*
===============================================================================

	The 2D window with its stream record: after the window record, f32 u
	and v tiling, u32 colour group and the texture name (at most 256
	characters), looked up in the current dictionary when loaded.

===============================================================================
*/
#ifndef EF_HUD_2D_WINDOW_H
#define EF_HUD_2D_WINDOW_H

#include "framework/graphics/hud/EFHud2DWindowRW.h"

// Characters of a stored texture name.
constexpr u32 EF_HUD_TEXTURE_NAME_MAX = 256;

class EFHud2DWindow : public EFHud2DWindow_SP {
public:
							EFHud2DWindow( u32 flags, u32 priority );

	u32						LoadWindowType( DTBasePersistStream & stream ) override;
	u32						SaveWindowType( DTBasePersistStream & stream ) override;
};

#endif
