/*
===============================================================================

	The ground-fog twin of the water grid: the same layout and world
	placement, the four fog parameters of the ground-fog simulation's
	record (near and far distance, minimum haze, fade time), cell sizes
	chosen by InitGrid.

	Only what the simulation calls and reads is here so far (see the
	water grid).

===============================================================================
*/
#ifndef EF_GROUND_FOG_GRID_BC_H
#define EF_GROUND_FOG_GRID_BC_H

#include "framework/graphics/EFWaterGrid_BC.h"

struct DMGroundFogSimulationParams;

constexpr s32 EF_GROUND_FOG_GRID_CLASS_ID	= 86;

class EFGroundFogGrid_BC : public EF3dObj {
public:
							EFGroundFogGrid_BC();
							~EFGroundFogGrid_BC() override = default;

	// Keeps the three cell sizes of the levels of detail.
	virtual void			InitGrid( f32 * cellSizes );
	virtual void			SetPhysicBuffer( f32 * heights );
	// Keeps the record's four fog values.
	void					SetFogParams( const DMGroundFogSimulationParams * params );
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
	f32						mafFog[4];
	f32						mafCellSize[EF_GRID_LOD_COUNT];
	u32						muiLod;
};

#endif
