#include "framework/graphics/EFGroundFogGrid_BC.h"

#include "framework/logic/api/LogicBehaviourRecords.h"

u32 EFGroundFogGrid_BC::muiNbGridPoly = 0;

void EFGroundFogGrid_BC::InitGrid( f32 * cellSizes ) {
	moGrid.SetCellSizes( cellSizes );
}

void EFGroundFogGrid_BC::SetPhysicBuffer( f32 * heights ) {
	moGrid.mpfHeights = heights;
}

bool EFGroundFogGrid_BC::SetGridLod( const s32 lod ) {
	return moGrid.SetLod( static_cast<u32>( lod ) & EF_3D_OBJ_LOD_MASK, *this );
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
