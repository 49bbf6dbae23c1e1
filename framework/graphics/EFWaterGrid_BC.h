/*
===============================================================================

	A 3D object drawn as a regular height grid over water. The model only
	gives the rectangle (a 4-vertex quad), the material and the texture
	ranges; the heights come from a water simulation module, which chooses
	the cell sizes (InitWater), hands over its buffer each pass
	(SetPhysicBuffer) and has the world placement refreshed
	(UpdateGridInfo).

	The layout of a level of detail: n = |column extent x / s| and
	m = |row extent z / s| cells for the level's cell size s; the columns
	are capped at 100 cells and raised to a multiple of 4, with 4 more
	columns beyond each side and one more row beyond each end.

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
	// The layout of level lod & 7; true when valid.
	bool					SetWaterLod( s32 lod );
	// World origin and steps from the frame and the local layout, at most
	// once per engine frame.
	void					UpdateGridInfo();

	EFGridLayout			moGrid;

	// Triangles of the grids drawn since start-up.
	static u32				muiNbWaterPoly;
};

#endif
