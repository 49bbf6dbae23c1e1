#include "framework/graphics/animation/EFTexFaderRW.h"

#include "framework/core/engine/EFCallTrace.h"

s32 EFTexFader_SP::InitPlugIn() {
	EFCallTraceAdd( "EFTexFader_SP::InitPlugIn" );
	return 1;
}
