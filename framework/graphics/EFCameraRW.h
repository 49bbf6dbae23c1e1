/*
===============================================================================

	Platform part of the scene camera: the library camera hung on the
	instance's frame, its frame and depth rasters, the clear colour and
	mode, the fog colour and the guard-band factors.

	Without rasters of its own the camera draws into a window of the
	graphics manager's main rasters: SetDisplayArea makes its rasters
	sub-rasters of them over a rectangle given in fractions of the screen.
	Rasters set with SetRasters are the camera's own and freeze the
	display area. Nothing is made when there is no manager or it has no
	main rasters.

	TakeSnapShot writes the embedded frame buffer (640 x 512) as a BMP
	file named by a pattern with at most one integer conversion, filled
	with a shot counter that starts at 0.

===============================================================================
*/
#ifndef EF_CAMERA_RW_H
#define EF_CAMERA_RW_H

#include "framework/graphics/EFCamera_BC.h"
#include "framework/logic/api/LogicApiRecords.h"
#include "graphics3d/core/RwRGBA.h"

class DTColor;
struct RwCamera;
struct RwRaster;

// Bytes of a snapshot's file name, terminator included.
constexpr u32 EF_SNAPSHOT_NAME_BYTES = 256;

class EFCamera_SP : public EFCamera_BC {
public:
	explicit				EFCamera_SP( DTFrame* frame );
							~EFCamera_SP() override;

	// Fractions of the screen; ignored while the camera has own rasters.
	void					SetDisplayArea( CRect* area );
	// Pixels: {0, 0, frame raster width, height}; zeros without one.
	void					GetDisplayArea( CRect* area ) const;
	// Channels 0..1 into bytes.
	void					SetClearColor( DTColor& color );
	// Clears the display area with the clear colour, mode | 4 (so the
	// stencil in destination alpha is reset too), alpha writes on.
	void					Clear();
	void					Begin();
	void					End();
	// A null frame (depth) destroys the library camera's current frame
	// (depth) raster; a raster the camera made itself and that is
	// replaced goes too. The arguments become the own rasters.
	void					SetRasters( RwRaster* frame, RwRaster* depth );
	// Writes the embedded frame buffer to the file the pattern names.
	void					TakeSnapShot( const char* pattern );

	// Completed Begin / End pairs.
	u32						GetFrameCount() const { return mui32FrameCount; }

	// The next snapshot's number.
	static u32				smui32ShotCounter;

	// alpha << 24 | red << 16 | green << 8 | blue.
	u32						mui32FogColor;
	RwCamera*				mpoRwCamera;
	RwRaster*				mpoOwnFrameRaster;
	RwRaster*				mpoOwnDepthRaster;
	RwRGBA					moClearColor;
	// Library clear flags: 1 image, 2 depth, 4 stencil.
	u32						mui32ClearMode;
	// They widen the view window for the guard-band volumes.
	f32						mfGuardBandFactorX;
	f32						mfGuardBandFactorY;

protected:
	// Out of its world, off the frame, its rasters and itself destroyed,
	// then the own rasters not destroyed with it. Each raster goes once.
	void					DestroyLibraryCamera();

private:
	u32						mui32FrameCount;
};

#endif
