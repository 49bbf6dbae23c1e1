/*
===============================================================================

	Frame distortion: the kind of frame-buffer effect the manager makes
	for type 2.

===============================================================================
*/
#ifndef EF_FB_EFFECT_FRAME_DISTORTION_H
#define EF_FB_EFFECT_FRAME_DISTORTION_H

#include "framework/graphics/effects/EFFBEffect_FrameDistortion_SP.h"

class EFFBEffect_FrameDistortion : public EFFBEffect_FrameDistortion_SP {
};

#endif
