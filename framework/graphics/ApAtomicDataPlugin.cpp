#include "framework/graphics/ApAtomicDataPlugin.h"

#include "framework/core/engine/EFCallTrace.h"

s32 ApAtomicDataPluginAttach() {
	EFCallTraceAdd( "ApAtomicDataPluginAttach" );
	return 1;
}
