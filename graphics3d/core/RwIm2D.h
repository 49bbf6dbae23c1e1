/*
===============================================================================

	2D immediate mode of the 3D library.

	Thin forwarding to the device record of the current instance: the
	screen Z of the near and far planes are read from it, primitives are
	passed on with their arguments unchanged.

===============================================================================
*/
#ifndef RW_IM2D_H
#define RW_IM2D_H

#include "graphics3d/core/RwDevice.h"

f32		RwIm2DGetNearScreenZ();
f32		RwIm2DGetFarScreenZ();
bool	RwIm2DRenderPrimitive( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices );
bool	RwIm2DRenderIndexedPrimitive( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices,
									  RwImVertexIndex* indices, s32 numIndices );

#endif
