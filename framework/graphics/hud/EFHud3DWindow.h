/*
===============================================================================

	The 3D window with its stream record: after the window record, u32
	game-object id of the object's owner and u32 index of the object in
	its owner's 3D objects. A game object that does not exist loads as no
	object.

===============================================================================
*/
#ifndef EF_HUD_3D_WINDOW_H
#define EF_HUD_3D_WINDOW_H

#include "framework/graphics/hud/EFHud3DWindowRW.h"

class EFHud3DWindow : public EFHud3DWindow_SP {
public:
							EFHud3DWindow( u32 flags, u32 priority );

	u32						LoadWindowType( DTBasePersistStream & stream ) override;
	u32						SaveWindowType( DTBasePersistStream & stream ) override;
};

#endif
