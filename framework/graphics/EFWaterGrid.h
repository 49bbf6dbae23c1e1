/*
===============================================================================

	The water grid object (class 65). Not in the class registry yet:
	level records of this class are still skipped.

===============================================================================
*/
#ifndef EF_WATER_GRID_H
#define EF_WATER_GRID_H

#include "framework/graphics/EFWaterGrid_BC.h"

class EFWaterGrid : public EFWaterGrid_BC {
public:
							EFWaterGrid() = default;
							~EFWaterGrid() override = default;

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
};

#endif
