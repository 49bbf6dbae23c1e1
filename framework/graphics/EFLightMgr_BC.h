/*
===============================================================================

	Portable half of the light manager: dynamic and HUD lights by id.
	Placeholder body: no light is made.

===============================================================================
*/
#ifndef EF_LIGHT_MGR_BC_H
#define EF_LIGHT_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;
class EFLight;

// Light kinds; bit 31 of a type asks for a HUD light.
enum LightType_e {
	LIGHT_TYPE_DIRECTIONAL	= 1,
	LIGHT_TYPE_AMBIENT		= 2,
	LIGHT_TYPE_POINT		= 128,
	LIGHT_TYPE_SPOT			= 129,
	LIGHT_TYPE_SPOT_SOFT	= 130,
};

class EFLightMgr_BC {
public:
	virtual					~EFLightMgr_BC() {}

	// Id of the new light, 0xFFFFFFFF when none was made.
	u32						CreateDynamicLight( EFGameObject* owner, LightType_e type );
	EFLight*				GetLight( u32 id );
	void					DestroyLight( u32 id );
	void					Terminate();
};

#endif
