/*
===============================================================================

	The ground-fog twin of the water grid: the same rectangle, layout and
	world placement, cell sizes chosen by InitGrid, and the four fog
	parameters of the ground-fog simulation's record (near and far
	distance, minimum haze, fade time).

===============================================================================
*/
#ifndef EF_GROUND_FOG_GRID_BC_H
#define EF_GROUND_FOG_GRID_BC_H

#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFGridLayout.h"

struct DMGroundFogSimulationParams;

constexpr s32 EF_GROUND_FOG_GRID_CLASS_ID	= 86;

class EFGroundFogGrid_BC : public EF3dObj {
public:
							EFGroundFogGrid_BC() = default;
							~EFGroundFogGrid_BC() override = default;

	// Keeps the three cell sizes of the levels of detail.
	virtual void			InitGrid( f32 * cellSizes );
	virtual void			SetPhysicBuffer( f32 * heights );
	// The layout of level lod & 7; true when valid.
	bool					SetGridLod( s32 lod );
	// Keeps the record's four fog values.
	void					SetFogParams( const DMGroundFogSimulationParams * params );
	void					UpdateGridInfo();

	EFGridLayout			moGrid;
	f32						mafFog[4] = { 0.0f, 0.0f, 0.0f, 0.0f };

	// Triangles of the grids drawn since start-up.
	static u32				muiNbGridPoly;
};

#endif
