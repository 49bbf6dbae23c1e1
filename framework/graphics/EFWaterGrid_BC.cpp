#include "framework/graphics/EFWaterGrid_BC.h"

u32 EFWaterGrid_BC::muiNbWaterPoly = 0;

void EFWaterGrid_BC::InitWater( f32 * cellSizes ) {
	moGrid.SetCellSizes( cellSizes );
}

void EFWaterGrid_BC::SetPhysicBuffer( f32 * heights ) {
	moGrid.mpfHeights = heights;
}

bool EFWaterGrid_BC::SetWaterLod( const s32 lod ) {
	return moGrid.SetLod( static_cast<u32>( lod ) & EF_3D_OBJ_LOD_MASK, *this );
}

void EFWaterGrid_BC::UpdateGridInfo() {
	moGrid.UpdatePlacement( *this );
}
