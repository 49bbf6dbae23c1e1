#include "framework/graphics/EFGroundFogGrid.h"

s32 EFGroundFogGrid::GetClassID() const {
	return EF_GROUND_FOG_GRID_CLASS_ID;
}

const char * EFGroundFogGrid::GetClassName() const {
	return "EF_3DOBJECT_GROUNDFOG";
}
