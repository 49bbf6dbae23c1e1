/*
===============================================================================

	Frame-buffer effect manager (global object goFBEffectMgr), driven by
	the logic API's effect table and the frame render.

===============================================================================
*/
#ifndef EF_FB_EFFECT_MGR_H
#define EF_FB_EFFECT_MGR_H

#include "framework/graphics/effects/EFFBEffectMgr_BC.h"

class EFFBEffectMgr : public EFFBEffectMgr_BC {
};

extern EFFBEffectMgr	goFBEffectMgr;

#endif
