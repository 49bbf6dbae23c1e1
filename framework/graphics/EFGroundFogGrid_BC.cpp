#include "framework/graphics/EFGroundFogGrid_BC.h"

#include "framework/logic/api/LogicBehaviourRecords.h"

void EFGroundFogGrid_BC::InitGrid( f32 * cellSizes ) {
	moGrid.SetCellSizes( cellSizes );
}

void EFGroundFogGrid_BC::SetPhysicBuffer( f32 * heights ) {
	moGrid.mpfHeights = heights;
}

void EFGroundFogGrid_BC::SetFogParams( const DMGroundFogSimulationParams * params ) {
	if ( params == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < 4; i++ ) {
		mafFog[i] = params->afFog[i];
	}
}

void EFGroundFogGrid_BC::UpdateGridInfo() {
	moGrid.UpdatePlacement( *this );
}
