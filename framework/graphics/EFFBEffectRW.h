/*
===============================================================================

	Platform half of a frame-buffer effect: the camera, raster and texture
	that every effect draws through, shared by all effects and made once by
	the engine controller's start-up on the global heap.

	Until rasters, cameras and textures can be created the three objects
	stay null; the raster the start-up asked for is kept in the Requested
	fields so the request can be checked and later honoured.

===============================================================================
*/
#ifndef EF_FB_EFFECT_RW_H
#define EF_FB_EFFECT_RW_H

#include "framework/graphics/EFFBEffect_BC.h"

struct RwCamera;
struct RwRaster;
struct RwTexture;

class EFFBEffect_SP : public EFFBEffect_BC {
public:
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
