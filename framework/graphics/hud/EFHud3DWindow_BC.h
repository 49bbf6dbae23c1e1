/*
===============================================================================

	A HUD window showing one 3D object of a game object at its centre,
	drawn with the HUD manager's camera and world. The window keeps the
	game object's id and the object's index, not the object: both are
	resolved before every drawing, so an object destroyed meanwhile is
	simply not drawn.

===============================================================================
*/
#ifndef EF_HUD_3D_WINDOW_BC_H
#define EF_HUD_3D_WINDOW_BC_H

#include "framework/graphics/hud/EFHudWindow.h"

class EF3dObj;

// Owner id of a 3D window without an object.
constexpr u32 EF_HUD_NO_OWNER = 0;

class EFHud3DWindow_BC : public EFHudWindow {
public:
							EFHud3DWindow_BC( u32 flags, u32 priority );

	// Entry index of that game object's 3D objects; none when the game
	// object does not exist.
	void					SetObject( u32 ownerId, u32 index );
	// The object now, or null.
	EF3dObj *				Get3dObject() const;

	u32						muiOwnerId;
	u32						muiObjectIndex;
};

#endif
