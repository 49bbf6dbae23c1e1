/*
===============================================================================

	Platform half of a frame-buffer effect: the camera, raster and texture
	that every effect draws through, shared by all effects and made once by
	the engine controller's start-up on the global heap. The frame
	distortion grabs the frame into that raster and shows it through the
	texture; without them the mesh is drawn untextured.

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

	// Hooks for the grabbed frame. The grab goes into the camera texture
	// the start-up made, so CreateRaster makes nothing (0) and
	// DestroyRaster leaves the start-up's objects alone; LockRaster has
	// nothing to lock here.
	static s32				CreateRaster( const RwCamera* camera );
	static void				DestroyRaster();
	static void				LockRaster( u32 lock );
	// Copies the camera's picture into mpoRaster when there is one.
	static void				GrabRaster();

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
