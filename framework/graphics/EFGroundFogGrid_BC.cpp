#include "framework/graphics/EFGroundFogGrid_BC.h"

#include "framework/logic/api/LogicBehaviourRecords.h"

EFGroundFogGrid_BC::EFGroundFogGrid_BC()
	: mpfHeights( nullptr ), muiColumns( 0 ), muiRows( 0 ), mafFog{ 0.0f, 0.0f, 0.0f, 0.0f },
	  mafCellSize{ 0.0f, 0.0f, 0.0f }, muiLod( 0 ) {
}

void EFGroundFogGrid_BC::InitGrid( f32 * cellSizes ) {
	if ( cellSizes == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < EF_GRID_LOD_COUNT; i++ ) {
		mafCellSize[i] = cellSizes[i];
	}
}

void EFGroundFogGrid_BC::SetPhysicBuffer( f32 * heights ) {
	mpfHeights = heights;
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
	GridWorldPlacement( *this, moLocalOrigin, moLocalColumnStep, moLocalRowStep, moWorldOrigin, moWorldColumnStep,
						moWorldRowStep );
}
