#include "framework/graphics/animation/EFTexFaderRW.h"

#include "framework/core/engine/EFCallTrace.h"

s32 EFTexFader_SP::InitPlugIn() {
	EFCallTraceAdd( "EFTexFader_SP::InitPlugIn" );
	return 1;
}

void EFTexFader_SP::FadeAtomic( EF3dObj *, RpAtomic *, u32 ) {
}

void EFTexFader_SP::DestroyEntry( EF3dObj * ) {
}
