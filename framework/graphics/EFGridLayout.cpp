#include "framework/graphics/EFGridLayout.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFPosData.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwV3d.h"

void EFGridLayout::SetCellSizes( const f32 * cellSizes ) {
	if ( cellSizes == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < EF_GRID_LOD_COUNT; i++ ) {
		mafCellSize[i] = cellSizes[i];
	}
}

void EFGridLayout::UpdatePlacement( EFPosData & grid ) {
	moWorldOrigin = moLocalOrigin;
	moWorldColumnStep = moLocalColumnStep;
	moWorldRowStep = moLocalRowStep;
	DTFrame * const frame = grid.GetFrame();
	if ( frame == nullptr ) {
		return;
	}
	const RwMatrix * const ltm = RwFrameGetLTM( frame->GetRwFrame() );
	RwV3dTransformPoints( DTAsRwV3d( &moWorldOrigin ), DTAsRwV3d( &moLocalOrigin ), 1, ltm );
	RwV3dTransformVectors( DTAsRwV3d( &moWorldColumnStep ), DTAsRwV3d( &moLocalColumnStep ), 1, ltm );
	RwV3dTransformVectors( DTAsRwV3d( &moWorldRowStep ), DTAsRwV3d( &moLocalRowStep ), 1, ltm );
}
