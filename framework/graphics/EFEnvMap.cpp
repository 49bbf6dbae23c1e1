#include "framework/graphics/EFEnvMap.h"

#include "framework/core/EFCallTrace.h"

void EFEnvMap::Render() {
	EFCallTraceAdd( "EFEnvMap::Render" );
}
