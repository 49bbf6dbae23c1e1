/*
===============================================================================

	A 3D object drawn as a regular height grid over water. The heights
	come from a water simulation module, which chooses the cell sizes
	(InitWater), hands over its buffer each pass (SetPhysicBuffer) and has
	the world placement refreshed (UpdateGridInfo).

	Only what the simulation calls and reads is here so far: the layout
	stays as set until reading the model's rectangle and drawing the
	strips come with the grids' own work.

===============================================================================
*/
#ifndef EF_WATER_GRID_BC_H
#define EF_WATER_GRID_BC_H

#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFGridLayout.h"

constexpr s32 EF_WATER_GRID_CLASS_ID		= 65;

class EFWaterGrid_BC : public EF3dObj {
public:
							EFWaterGrid_BC() = default;
							~EFWaterGrid_BC() override = default;

	// Keeps the three cell sizes of the levels of detail.
	virtual void			InitWater( f32 * cellSizes );
	// The heights drawn from now on.
	virtual void			SetPhysicBuffer( f32 * heights );
	// World origin and steps from the frame and the local layout.
	void					UpdateGridInfo();

	EFGridLayout			moGrid;
};

#endif
