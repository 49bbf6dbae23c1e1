#include "framework/graphics/effects/EFFrameLender.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFPosData.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/graphics/particles/PLMgr.h"
#include "graphics3d/core/RwFrame.h"

void EFReleaseFrameLender( const u32 lenderId ) {
	goSpriteMgr.ReleaseLender( lenderId );
	goLensFlareFX.ReleaseLender( lenderId );
	if ( gpoPLParticleMgr != nullptr ) {
		gpoPLParticleMgr->ReleaseLender( lenderId );
	}
	if ( gpoGraphicsMgr != nullptr ) {
		for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
			if ( EFCamera* const camera = gpoGraphicsMgr->GetCamera( slot ) ) {
				camera->ReleaseLender( lenderId );
			}
		}
	}
}

DTFrame * EFOwnFrameInPlace( EFPosData & borrower ) {
	DTFrame * const lent = borrower.mpFrame;
	borrower.mpFrame = nullptr;
	borrower.muiPosFlags &= ~EF_POS_OWNS_FRAME;
	if ( lent == nullptr || borrower.CreateFrame( nullptr ) == nullptr ) {
		return nullptr;
	}
	RwFrame * const own = borrower.mpFrame->GetRwFrame();
	own->modelling = *RwFrameGetLTM( lent->GetRwFrame() );
	RwFrameUpdateObjects( own );
	return borrower.mpFrame;
}
