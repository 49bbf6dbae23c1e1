/*
===============================================================================

	Platform half of a frame-buffer effect: the camera, raster and texture
	that every effect draws through, shared by all effects and made once by
	the engine controller's start-up on the global heap.

	The start-up records the raster it asks for in the Requested fields
	and creates the three objects through CreateCameraTexture. Until the
	graphics manager opens the 3D library at start-up, they are created
	only when the library is already running, and otherwise stay null.

===============================================================================
*/
#ifndef EF_FB_EFFECT_RW_H
#define EF_FB_EFFECT_RW_H

#include "framework/graphics/effects/EFFBEffect_BC.h"

struct RwCamera;
struct RwRaster;
struct RwTexture;

class EFFBEffect_SP : public EFFBEffect_BC {
public:
	// The raster of the Requested fields, a camera on a new frame that
	// draws into it, and a texture over it with linear filtering and
	// clamped addressing. Does nothing unless the 3D library is started.
	static void				CreateCameraTexture();

	static RwRaster*		mpoRaster;
	static RwCamera*		mpoCamera;
	static RwTexture*		mpoTexture;

	// The camera texture asked for: size in pixels, depth in bits, flags.
	static u32				mui32RequestedWidth;
	static u32				mui32RequestedHeight;
	static u32				mui32RequestedDepth;
	static u32				mui32RequestedFlags;
};

#endif
