/*
===============================================================================

	The text window with its stream record: after the window record, four
	f32 margins (left, top, right, bottom), u32 colour, u32 font slot,
	u32 text id and 20 u32 argument words.

===============================================================================
*/
#ifndef EF_HUD_TEXT_WINDOW_H
#define EF_HUD_TEXT_WINDOW_H

#include "framework/graphics/hud/EFHudTextWindowRW.h"

class EFHudTextWindow : public EFHudTextWindow_SP {
public:
							EFHudTextWindow( u32 flags, u32 priority );

	u32						LoadWindowType( DTBasePersistStream & stream ) override;
	u32						SaveWindowType( DTBasePersistStream & stream ) override;
};

#endif
