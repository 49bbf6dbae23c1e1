/*
===============================================================================

	Frame distortion, drawing half: the game object's mesh at the effect's
	level of detail is drawn over a grab of the frame, each vertex taking
	its own projected screen position as texture coordinates, so the
	scene behind the object shows through it displaced.

	The grab texture goes on the mesh's first material once (the flag
	records it); without a grab texture that leaves the mesh untextured.
	Geometries without a texture-coordinate set or materials are still
	drawn, with nothing written to them.

===============================================================================
*/
#ifndef EF_FB_EFFECT_FRAME_DISTORTION_SP_H
#define EF_FB_EFFECT_FRAME_DISTORTION_SP_H

#include "framework/graphics/effects/EFFBEffect_FrameDistortion_BC.h"

struct RpAtomic;

// Texture coordinates are kept at most this far towards the far edges.
constexpr f32 EF_FB_UV_LIMIT = 0.98f;

class EFFBEffect_FrameDistortion_SP : public EFFBEffect_FrameDistortion_BC {
public:
							EFFBEffect_FrameDistortion_SP();

	s32						Update( f32 dt, EFCamera& camera ) override;

	u32						mui32TextureApplied;

private:
	struct DrawContext {
		EFFBEffect_FrameDistortion_SP*	effect;
		const RwMatrix*					view;
	};

	static RpAtomic*		DrawAtomic( RpAtomic* atomic, void* context );
	void					DrawAtomic( RpAtomic& atomic, const RwMatrix& view );
};

#endif
