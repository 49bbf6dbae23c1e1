#include "framework/graphics/EFPaletteMgrRW.h"

#include "framework/core/engine/EFCallTrace.h"

EFPaletteMgr_SP goPaletteMgr;

void EFPaletteMgr_SP::Update( f32 ) {
	EFCallTraceAdd( "EFPaletteMgr_SP::Update" );
}
