/*
===============================================================================

	Platform half of the HUD manager: the HUD's own library world with its
	lights and 3D objects. Placeholder body: nothing is added; adding and
	removing 3D objects is recorded in the call trace.

===============================================================================
*/
#ifndef EF_HUD_MGR_RW_H
#define EF_HUD_MGR_RW_H

#include "framework/graphics/hud/EFHudMgr_BC.h"

class EF3dObj;

class EFLight;

class EFCamera;

class EFHudMgr_SP : public EFHudMgr_BC {
public:
	void					AddLight( EFLight* light );
	void					RemoveLight( EFLight* light );
	void					Add3dObj( EF3dObj* object );
	void					Remove3dObj( EF3dObj* object );
	// One camera's HUD step.
	void					Update( EFCamera& camera, f32 dt );
};

#endif
