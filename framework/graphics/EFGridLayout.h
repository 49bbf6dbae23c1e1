/*
===============================================================================

	The layout and world placement that the water and ground-fog grids
	share: the height buffer a simulation hands over (one height per grid
	vertex, row-major), columns and rows, the local origin and steps, the
	world origin and steps they give through the grid's frame, the cell
	sizes of the three levels of detail and the current level.

===============================================================================
*/
#ifndef EF_GRID_LAYOUT_H
#define EF_GRID_LAYOUT_H

#include "datatypes/maths/DTVector3d.h"

class EFPosData;

// Levels of detail of a grid.
constexpr u32 EF_GRID_LOD_COUNT = 3;

struct EFGridLayout {
	f32 *					mpfHeights = nullptr;
	u32						muiColumns = 0;
	u32						muiRows = 0;
	DTVector3d				moWorldOrigin;
	DTVector3d				moWorldColumnStep;
	DTVector3d				moWorldRowStep;
	DTVector3d				moLocalOrigin;
	DTVector3d				moLocalColumnStep;
	DTVector3d				moLocalRowStep;
	f32						mafCellSize[EF_GRID_LOD_COUNT] = { 0.0f, 0.0f, 0.0f };
	u32						muiLod = 0;

	// Keeps the three cell sizes (nothing for null).
	void					SetCellSizes( const f32 * cellSizes );
	// The world origin and steps from the local ones through grid's frame
	// (the local ones without a frame).
	void					UpdatePlacement( EFPosData & grid );
};

#endif
