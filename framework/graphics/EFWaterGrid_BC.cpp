#include "framework/graphics/EFWaterGrid_BC.h"

#include "datatypes/maths/DTFrame.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"

void GridWorldPlacement( EFPosData & grid, const DTVector3d & localOrigin, const DTVector3d & localColumn,
						 const DTVector3d & localRow, DTVector3d & origin, DTVector3d & column, DTVector3d & row ) {
	origin = localOrigin;
	column = localColumn;
	row = localRow;
	DTFrame * const frame = grid.GetFrame();
	if ( frame == nullptr ) {
		return;
	}
	const RwMatrix * const ltm = RwFrameGetLTM( frame->GetRwFrame() );
	RwV3dTransformPoints( DTAsRwV3d( &origin ), DTAsRwV3d( &localOrigin ), 1, ltm );
	RwV3dTransformVectors( DTAsRwV3d( &column ), DTAsRwV3d( &localColumn ), 1, ltm );
	RwV3dTransformVectors( DTAsRwV3d( &row ), DTAsRwV3d( &localRow ), 1, ltm );
}

EFWaterGrid_BC::EFWaterGrid_BC()
	: mpfHeights( nullptr ), muiColumns( 0 ), muiRows( 0 ), mafCellSize{ 0.0f, 0.0f, 0.0f }, muiLod( 0 ) {
}

void EFWaterGrid_BC::InitWater( f32 * cellSizes ) {
	if ( cellSizes == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < EF_GRID_LOD_COUNT; i++ ) {
		mafCellSize[i] = cellSizes[i];
	}
}

void EFWaterGrid_BC::SetPhysicBuffer( f32 * heights ) {
	mpfHeights = heights;
}

void EFWaterGrid_BC::UpdateGridInfo() {
	GridWorldPlacement( *this, moLocalOrigin, moLocalColumnStep, moLocalRowStep, moWorldOrigin, moWorldColumnStep,
						moWorldRowStep );
}
