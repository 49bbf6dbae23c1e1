/*
===============================================================================

	A game object's shadow settings, read by the shadow manager: the
	shadow kinds, the level of detail, and the drop-down and cast shadows'
	alpha, reach, size, resolution and the joint the drop-down shadow
	follows (0x7FFFFFFF: the object's own frame).

===============================================================================
*/
#ifndef EF_SHADOW_PARAMS_H
#define EF_SHADOW_PARAMS_H

#include "datatypes/base/DTTypes.h"

struct _ShadowParams {
	u32						uiFlags;
	u32						uiDefaultLod;
	f32						fDropDownAlpha;
	f32						fDropDownReachDistance;
	f32						fDropDownScale;
	u32						uiDropDownResolution;
	u32						uiDropDownJoint;
	f32						fCastedAlpha;
	f32						fCastedReachDistance;
	u32						uiCastedResolution;
	f32						fCastedFadeStartRatio;
};

#endif
