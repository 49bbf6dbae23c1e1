#include "framework/physics/ApCollisionPrimitivesPlugin.h"

#include "framework/core/engine/EFCallTrace.h"

s32 ApCollisionPrimitivesPluginAttach() {
	EFCallTraceAdd( "ApCollisionPrimitivesPluginAttach" );
	return 1;
}
