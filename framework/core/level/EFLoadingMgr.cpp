#include "framework/core/level/EFLoadingMgr.h"

EFLoadingMgr * EFLoadingMgr::mspoMgrs[EF_LOADING_MGR_COUNT] = {};

EFLoadingMgr::EFLoadingMgr( const u32 managerId ) {
	if ( managerId < EF_LOADING_MGR_COUNT ) {
		mspoMgrs[managerId] = this;
	}
}

EFLoadingMgr::~EFLoadingMgr() {
	// The table outlives its managers: a slot must not keep a dead one.
	for ( EFLoadingMgr *& slot : mspoMgrs ) {
		if ( slot == this ) {
			slot = nullptr;
		}
	}
}

s32 EFLoadingMgr::LoadFromFile( const char * ) {
	return 0;
}

EFLoadingMgr * EFLoadingMgr::GetManager( const u32 managerId ) {
	return managerId < EF_LOADING_MGR_COUNT ? mspoMgrs[managerId] : nullptr;
}
