/*
===============================================================================

	Splines of the level (gpoSplineMgr), the generic-data manager with id
	1. Placeholder body: the level has no splines yet, so LoadData reads
	nothing and Free has nothing to release.

===============================================================================
*/
#ifndef EF_SPLINE_MGR_H
#define EF_SPLINE_MGR_H

#include "framework/core/EFLoadingMgr.h"

class EFSplineMgr : public EFLoadingMgr {
public:
							EFSplineMgr();

	// Reads nothing; 0.
	s32						LoadData( u32 managerId, u32 dataId, DTBasePersistStream & stream ) override;
	void					Free();
};

extern EFSplineMgr*	gpoSplineMgr;

#endif
