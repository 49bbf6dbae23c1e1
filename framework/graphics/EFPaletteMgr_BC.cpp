#include "framework/graphics/EFPaletteMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

void EFPaletteMgr_BC::StartTransition( _sPaletteTransitionData* ) {
}

void EFPaletteMgr_BC::Terminate() {
	EFCallTraceAdd( "EFPaletteMgr_BC::Terminate" );
}
