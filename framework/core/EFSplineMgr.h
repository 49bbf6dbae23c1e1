/*
===============================================================================

	Splines of the level (gpoSplineMgr). Placeholder body: the level has
	none, so Free has nothing to release.

===============================================================================
*/
#ifndef EF_SPLINE_MGR_H
#define EF_SPLINE_MGR_H

class EFSplineMgr {
public:
	void					Free();
};

extern EFSplineMgr*	gpoSplineMgr;

#endif
