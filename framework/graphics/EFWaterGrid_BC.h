/*
===============================================================================

	A 3D object drawn as a regular height grid over water: the grid's
	layout (columns, rows, cell size of each level of detail, local
	origin and steps) and its world placement, refreshed by
	UpdateGridInfo. The heights come from a water simulation module,
	which hands over its buffer each pass (SetPhysicBuffer) and chooses
	the cell sizes (InitWater).

	Only what the simulation calls and reads is here so far: the layout
	stays as set until reading the model's rectangle and drawing the
	strips come with the grids' own work.

===============================================================================
*/
#ifndef EF_WATER_GRID_BC_H
#define EF_WATER_GRID_BC_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/graphics/EF3dObj.h"

constexpr s32 EF_WATER_GRID_CLASS_ID		= 65;
// Levels of detail of a grid.
constexpr u32 EF_GRID_LOD_COUNT				= 3;

// The world origin and steps of a grid placed by frame (unchanged local
// values without a frame).
void	GridWorldPlacement( EFPosData & grid, const DTVector3d & localOrigin, const DTVector3d & localColumn,
							const DTVector3d & localRow, DTVector3d & origin, DTVector3d & column,
							DTVector3d & row );

class EFWaterGrid_BC : public EF3dObj {
public:
							EFWaterGrid_BC();
							~EFWaterGrid_BC() override = default;

	// Keeps the three cell sizes of the levels of detail.
	virtual void			InitWater( f32 * cellSizes );
	// The heights drawn from now on (one per grid vertex, row-major).
	virtual void			SetPhysicBuffer( f32 * heights );
	// World origin and steps from the frame and the local layout.
	void					UpdateGridInfo();

	f32 *					mpfHeights;
	u32						muiColumns;
	u32						muiRows;
	DTVector3d				moWorldOrigin;
	DTVector3d				moWorldColumnStep;
	DTVector3d				moWorldRowStep;
	DTVector3d				moLocalOrigin;
	DTVector3d				moLocalColumnStep;
	DTVector3d				moLocalRowStep;
	f32						mafCellSize[EF_GRID_LOD_COUNT];
	u32						muiLod;
};

#endif
