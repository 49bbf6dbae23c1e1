#include "framework/logic/EFGameMemoryMgr.h"

#include "framework/core/EFCallTrace.h"

void EFGameMemoryMgr::KillAllGameBuffers() {
	EFCallTraceAdd( "EFGameMemoryMgr::KillAllGameBuffers" );
}
