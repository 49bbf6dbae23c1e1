/*
===============================================================================

	A frame-buffer effect: the portable half with the platform's hooks for
	the grabbed frame. The kinds of effect derive from it.

===============================================================================
*/
#ifndef EF_FB_EFFECT_H
#define EF_FB_EFFECT_H

#include "framework/graphics/effects/EFFBEffectRW.h"

class EFFBEffect : public EFFBEffect_SP {
};

#endif
