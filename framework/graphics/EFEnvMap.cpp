#include "framework/graphics/EFEnvMap.h"

#include "framework/core/engine/EFCallTrace.h"

void EFEnvMap::Render() {
	EFCallTraceAdd( "EFEnvMap::Render" );
}
