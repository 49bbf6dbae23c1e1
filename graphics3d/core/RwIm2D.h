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

// One screen-space vertex: position in pixels, depth passed to the GPU
// unchanged, colour and texture coordinates.
struct RwIm2DVertex {
	f32		x;
	f32		y;
	f32		z;
	u8		r;
	u8		g;
	u8		b;
	u8		a;
	f32		u;
	f32		v;
};

f32		RwIm2DGetNearScreenZ();
f32		RwIm2DGetFarScreenZ();
bool	RwIm2DRenderPrimitive( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices );
bool	RwIm2DRenderIndexedPrimitive( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices,
									  RwImVertexIndex* indices, s32 numIndices );

#endif
