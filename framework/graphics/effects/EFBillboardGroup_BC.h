/*
===============================================================================

	A group of billboards, portable half. Its owner writes the four arrays
	(positions, colours as r, g, b, a bytes in memory order, rotations in
	turns, sizes) between frames; they lie in one engine-heap block in
	that order. The group's material holds its texture.

	Flags: 0x80 darkening blend, 0x200 alpha blend, neither additive.

===============================================================================
*/
#ifndef EF_BILLBOARD_GROUP_BC_H
#define EF_BILLBOARD_GROUP_BC_H

#include "datatypes/base/DTTypes.h"

class DTVector3d;
struct RpMaterial;
struct RwTexture;

constexpr u32 EF_BILLBOARD_DARKEN		= 0x80;
constexpr u32 EF_BILLBOARD_ALPHA		= 0x200;

class EFBillboardGroup_BC {
public:
							EFBillboardGroup_BC();
	virtual					~EFBillboardGroup_BC() {}

	u32						mui32Count;
	DTVector3d*				mpoPositions;
	u32*					mpui32Colors;
	f32*					mpfRotations;
	f32*					mpfSizes;
	char*					mpcTextureName;
	RwTexture*				mpoTexture;
	RpMaterial*				mpoMaterial;
	u32						mui32Flags;
	u32						mui32RenderEnabled;
	u32						mui32Id;
	class EFBillboardGroup*	mpoNext;
};

#endif
