#include "framework/graphics/effects/EFBillboardGroup_BC.h"

EFBillboardGroup_BC::EFBillboardGroup_BC() {
	mui32Count = 0;
	mpoPositions = nullptr;
	mpui32Colors = nullptr;
	mpfRotations = nullptr;
	mpfSizes = nullptr;
	mpcTextureName = nullptr;
	mpoTexture = nullptr;
	mpoMaterial = nullptr;
	mui32Flags = 0;
	mui32RenderEnabled = 1;
	mui32Id = 0;
	mpoNext = nullptr;
}
