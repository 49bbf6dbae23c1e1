/*
===============================================================================

	Frame-buffer effect manager (global object goFBEffectMgr): up to eight
	effects in slots. Placeholder body: Initialize clears the slots and
	succeeds; AddEffect makes nothing yet.

===============================================================================
*/
#ifndef EF_FB_EFFECT_MGR_BC_H
#define EF_FB_EFFECT_MGR_BC_H

#include "datatypes/base/DTTypes.h"

class EFFBEffect_BC;

constexpr u32 EF_FB_EFFECT_SLOTS = 8;

class EFCamera;

class EFFBEffectMgr_BC {
public:
							EFFBEffectMgr_BC();

	// Clears the slots; 1.
	u32						Initialize();
	void					Terminate();

	// Type 2 is the frame distortion; null when no effect could be made.
	EFFBEffect_BC*			AddEffect( u32 type, u32 flags );
	EFFBEffect_BC*			GetEffect( u32 handle );
	void					RemoveEffect( u32 handle );

	// Test hook of the placeholder: the next Initialize fails.
	u8						mbFailInitialize;

	// Runs the effects of one pass bit (4 before objects, 8 after).
	void					Update( u32 pass, f32 dt, EFCamera& camera, u32 slot );

private:
	EFFBEffect_BC*			mpoEffects[EF_FB_EFFECT_SLOTS];
};

extern EFFBEffectMgr_BC	goFBEffectMgr;

#endif
