#include "framework/graphics/EFWaterGrid_BC.h"

void EFWaterGrid_BC::InitWater( f32 * cellSizes ) {
	moGrid.SetCellSizes( cellSizes );
}

void EFWaterGrid_BC::SetPhysicBuffer( f32 * heights ) {
	moGrid.mpfHeights = heights;
}

void EFWaterGrid_BC::UpdateGridInfo() {
	moGrid.UpdatePlacement( *this );
}
