/*
===============================================================================

	Public face of the console device driver of the 3D library.

	The open parameters the engine hands to RwEngineOpen, the few console
	calls (camera-texture flush, the two external frame buffers, clearing
	by the frame-buffer copy), the draw-sync tokens and the camera matrix
	the pipelines and immediate modes share, and a read-only view of the
	frame-pacing state for tests and diagnostics.

	Draw-sync tokens: 16-bit values issued modulo 57344 (0xE000) and
	stamped on frames and rasters; the CPU waits until the GPU has passed
	an object's token before it rewrites or frees what the GPU may read.

===============================================================================
*/
#ifndef RW_GAMECUBE_H
#define RW_GAMECUBE_H

#include "graphics3d/core/RwMatrix.h"
#include "platform/gx/GXRenderMode.h"

struct RwRaster;

// What the open parameters' display id points at. A null render mode
// selects the TV format's default mode.
struct RwGameCubeDeviceConfig {
	GXRenderModeObj*	renderMode;
	u32					pixelFormat;	// 0 RGB8/Z24, 1 RGBA6/Z24, 2 RGB565/Z16
	u32					fifoSize;		// bytes; 0 takes the default
};

// Tokens wrap to 0 after this value minus one.
constexpr u16 RWDL_TOKEN_MODULO = 0xE000;

// The next token to issue, and the last one read back from the GPU.
extern volatile u16	_RwDlTokenCurrent;
extern volatile u16	_RwDlTokenLastSeen;
// The inverse of the current camera's world matrix with its view offset.
extern RwMatrix		_RwDlInvCamLTM;
// Offsets of the driver's raster and texture extensions.
extern s32			_RwGameCubeRasterExtOffset;
extern s32			_RwGameCubeTextureExtOffset;

// True when the GPU has passed token.
bool	_rwDlTokenQueryDone( u16 token );
// Loads position matrix 0 (and normal matrix 0 when withNormals) from
// matrix x the camera matrix, or the camera matrix alone for null.
void	_rwDlTransformSetup( const RwMatrix* matrix, bool withNormals );

// Copies the embedded frame buffer into a camera texture, at half size
// when halve is non-zero.
void	RwGameCubeCameraTextureFlush( RwRaster* raster, s32 halve );
// Waits until no frame is pending, then gives the displayed and the copy
// target external frame buffers.
void	RwGameCubeGetXFBs( void** displayed, void** copyTarget );
void	RwGameCubeSetCopyClear( u32 copyClear );
u32		RwGameCubeGetCopyClear();

// Snapshot of the frame-pacing state.
struct RwDlFrameView {
	s32		frameNew;
	s32		frameCurrent;
	s32		frameTokenNew;
	s32		frameTokenCurrent;
	u16		frameSwap[3];
	u16		tokenCurrent;
	u16		tokenLastSeen;
	u32		breakPointEnabled;
	u32		frameReadyOnToken;
	u32		frameWait;
	u32		frameGo;
	u32		firstFrame;
	u32		fsaa;
	u32		fsaaTop;
	void*	xfb1;
	void*	xfb2;
	void*	xfbDisplayed;
	void*	xfbCopy;
	void*	queueXfb[3];
	void*	queueWritePtr[3];
};
RwDlFrameView	_rwDlFrameView();

#endif
