#include "framework/graphics/effects/EFFrameLender.h"

#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFSpriteMgr.h"

void EFReleaseFrameLender( const u32 lenderId ) {
	goSpriteMgr.ReleaseLender( lenderId );
	goLensFlareFX.ReleaseLender( lenderId );
	if ( gpoGraphicsMgr != nullptr ) {
		for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
			if ( EFCamera* const camera = gpoGraphicsMgr->GetCamera( slot ) ) {
				camera->ReleaseLender( lenderId );
			}
		}
	}
}
