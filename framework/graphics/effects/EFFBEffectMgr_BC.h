/*
===============================================================================

	Frame-buffer effect manager: up to eight effects in slots kept packed
	(no empty slot before a filled one), handles counted from 1 after
	Initialize and never reused.

	The frame render calls Update twice per camera, with pass bits 4
	before the objects and 8 at the very end. The effects in slots 0-6
	are sorted farthest first by the camera-space depth of their objects
	(slot 7 keeps its place); each effect of the pass that is active for
	the camera draws with the camera's update ended around them.

===============================================================================
*/
#ifndef EF_FB_EFFECT_MGR_BC_H
#define EF_FB_EFFECT_MGR_BC_H

#include "datatypes/base/DTTypes.h"
#include "graphics3d/core/RwMatrix.h"

class EFFBEffect_BC;
class EFCamera;

constexpr u32 EF_FB_EFFECT_SLOTS		= 8;
constexpr u32 EF_FB_SORT_PASSES			= 6;

class EFFBEffectMgr_BC {
public:
							EFFBEffectMgr_BC();
	virtual					~EFFBEffectMgr_BC();

	// Counter 0, slots empty; 1.
	u32						Initialize();
	// Deletes every effect, then lets the platform drop the grab raster.
	void					Terminate();

	// The new effect in the first empty slot with the given pass bits and
	// the next handle; null when the slots are full or type is not 2.
	EFFBEffect_BC*			AddEffect( u32 type, u32 flags );
	EFFBEffect_BC*			GetEffect( u32 handle ) const;
	// Unknown handles do nothing; later slots move down one place.
	void					RemoveEffect( u32 handle );

	void					Update( u32 passBits, f32 dt, EFCamera& camera, u32 cameraIndex );

	u32						mui32HandleCounter;
	EFFBEffect_BC*			mpoEffects[EF_FB_EFFECT_SLOTS];

private:
	void					Sort();

	// World to camera of the camera being drawn.
	RwMatrix				moWorldToCamera;
};

#endif
