#include "framework/graphics/EFWaterGrid.h"

s32 EFWaterGrid::GetClassID() const {
	return EF_WATER_GRID_CLASS_ID;
}

const char * EFWaterGrid::GetClassName() const {
	return "EF_3DOBJECT_WATER";
}
