#include "framework/graphics/effects/EFFrameLender.h"

#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFSpriteMgr.h"

void EFReleaseFrameLender( const u32 lenderId ) {
	goSpriteMgr.ReleaseLender( lenderId );
	goLensFlareFX.ReleaseLender( lenderId );
}
