/*
===============================================================================

	A HUD window showing a texture of the current texture dictionary over
	its rectangle, tinted by a colour group of the global palette and
	optionally tiled. Without a texture it draws its colours untextured.

===============================================================================
*/
#ifndef EF_HUD_2D_WINDOW_BC_H
#define EF_HUD_2D_WINDOW_BC_H

#include "framework/graphics/hud/EFHudWindow.h"

struct RwTexture;

class EFHud2DWindow_BC : public EFHudWindow {
public:
							EFHud2DWindow_BC( u32 flags, u32 priority );

	// The texture of that name in the current dictionary; none when absent.
	void					SetTexture( const char * name );
	// The texture's name, null without one.
	const char *			GetTexture() const;

	f32						mfUTiling;
	f32						mfVTiling;
	u32						muiColorGroup2D;
	RwTexture *				mpoTexture;
};

#endif
