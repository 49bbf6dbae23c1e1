#include "framework/core/EFSplineMgr.h"

#include "framework/core/EFCallTrace.h"

EFSplineMgr* gpoSplineMgr = nullptr;

void EFSplineMgr::Free() {
	EFCallTraceAdd( "EFSplineMgr::Free" );
}
