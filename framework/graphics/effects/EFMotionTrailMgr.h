/*
===============================================================================

	Motion trail manager (global object goMotionTrailMgr): the main loop
	updates it once a frame, the frame render draws it after the
	billboards.

===============================================================================
*/
#ifndef EF_MOTION_TRAIL_MGR_H
#define EF_MOTION_TRAIL_MGR_H

#include "framework/graphics/effects/EFMotionTrailMgr_SP.h"

class EFMotionTrailMgr : public EFMotionTrailMgr_SP {
};

extern EFMotionTrailMgr	goMotionTrailMgr;

#endif
