/*
===============================================================================

	A group of billboards, drawing half: rotated screen-facing squares in
	batches of up to 128, each batch one triangle list built on the stack
	with its positions taken to camera space in one call. Billboards in
	front of the near plane or more than 32 pixels off screen make no
	vertices.

===============================================================================
*/
#ifndef EF_BILLBOARD_GROUP_H
#define EF_BILLBOARD_GROUP_H

#include "framework/graphics/effects/EFBillboardGroup_BC.h"

constexpr u32 EF_BILLBOARD_BATCH		= 128;
constexpr f32 EF_BILLBOARD_MARGIN		= 32.0f;

class EFBillboardGroup : public EFBillboardGroup_BC {
public:
	void					Render();
	static void				RenderBatch( u32 count, const DTVector3d* positions, const u32* colors,
										 const f32* rotations, const f32* sizes );
};

#endif
