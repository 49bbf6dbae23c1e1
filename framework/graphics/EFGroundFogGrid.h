/*
===============================================================================

	The ground-fog grid object (class 86). Not in the class registry yet:
	level records of this class are still skipped.

===============================================================================
*/
#ifndef EF_GROUND_FOG_GRID_H
#define EF_GROUND_FOG_GRID_H

#include "framework/graphics/EFGroundFogGrid_BC.h"

class EFGroundFogGrid : public EFGroundFogGrid_BC {
public:
							EFGroundFogGrid() = default;
							~EFGroundFogGrid() override = default;

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
};

#endif
