#include "framework/core/EFSplineMgr.h"

#include "framework/core/EFCallTrace.h"

EFSplineMgr* gpoSplineMgr = nullptr;

EFSplineMgr::EFSplineMgr() : EFLoadingMgr( EF_SPLINE_MGR_ID ) {
}

s32 EFSplineMgr::LoadData( u32, u32, DTBasePersistStream & ) {
	return 0;
}

void EFSplineMgr::Free() {
	EFCallTraceAdd( "EFSplineMgr::Free" );
}
