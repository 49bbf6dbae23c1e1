/*
===============================================================================

	Internals of the console device driver: the device record, the
	dispatcher and its requests, the video modes, render mode, FIFO and
	external frame buffers, frame pacing and the camera standards.

	Globals that the break-point and retrace callbacks share with the
	rendering code are volatile; the rendering code touches the frame
	queue only with interrupts disabled.

===============================================================================
*/
#ifndef RW_DL_DRIVER_H
#define RW_DL_DRIVER_H

#include "graphics3d/core/RwDevice.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwRGBA.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "platform/gx/GX.h"
#include "platform/os/OS.h"

struct RwCamera;

// One queued frame: the XFB it is copied to and the FIFO write position
// after its drawing commands.
struct RwDlFrameQueueEntry {
	void* volatile	xfb;
	void* volatile	writePtr;
};

// The current camera during an update, and what request 4 was given.
struct RwDlGlobals {
	RwCamera*	curCamera;
	void*		deviceInOut;
};

// Video modes of the table, and the caller's render mode.
constexpr u32 RWDL_VIDEO_MODE_NTSC		= 0;
constexpr u32 RWDL_VIDEO_MODE_PAL		= 1;
constexpr u32 RWDL_VIDEO_MODE_MPAL		= 2;
constexpr u32 RWDL_VIDEO_MODE_EURGB60	= 5;
constexpr u32 RWDL_VIDEO_MODE_CUSTOM	= 42;
constexpr s32 RWDL_VIDEO_MODE_ENTRIES	= 4;

constexpr u32 RWDL_DEFAULT_FIFO_SIZE	= 0x40000;
constexpr u32 RWDL_FRAME_QUEUE			= 3;
// Rows of the standards table.
constexpr s32 RWDL_STANDARD_ROWS		= 27;

extern RwDevice				rwDlDriverDevice;
extern RwVideoMode			_RwDlVideoModes[RWDL_VIDEO_MODE_ENTRIES];
extern GXRenderModeObj*		_RwDlRenderMode;
extern GXRenderModeObj		_RwGameCubeRenderModeObj;
extern u32					_RwGameCubeVideoMode;
extern u32					_RwDlPixelFormat;
extern u32					_RwDlCurPixelFormat;
extern u32					_RwDlFSAA;
extern volatile u32			_RwDlFSAATop;
extern u32					_RwDlHalfHeight;
extern u32					_RwDlFifoSize;
extern void*				_RwDl_FIFO_XFB;
extern void*				_RwDlDefaultFifo;
extern GXFifoObj*			_RwDlDefaultFifoObj;
extern u32					_RwDlGXInitialised;
extern void*				_RwGCXFB1;
extern void*				_RwGCXFB2;
extern void* volatile		_RwGCXFBDisp;
extern void* volatile		_RwGCXFBCopy;
extern RwDlFrameQueueEntry	_RwGCFrameQueue[RWDL_FRAME_QUEUE];
extern volatile s32			_RwDlFrameNew;
extern volatile s32			_RwDlFrameCurrent;
extern volatile u16			_RwDlFrameSwap[RWDL_FRAME_QUEUE];
extern volatile s32			_RwDlFrameTokenNew;
extern volatile s32			_RwDlFrameTokenCurrent;
extern volatile u32			_RwDlBreakPointEnabled;
extern volatile u32			_RwDlFrameReadyOnToken;
extern volatile u32			_RwDlFrameWait;
extern volatile u32			_RwDlFrameGo;
extern volatile u32			_RwDlFirstFrame;
extern volatile u32			_RwDlFSAAToggle;
extern OSThreadQueue		_RwDlWaitingDoneRender;
extern u32					_RwDlCopyClear;
extern RwDlGlobals			dgGGlobals;

// The dispatcher of the device record.
bool	_rwDlSystem( s32 request, void* out, void* inOut, s32 inInt );
// The standard in every slot the driver has no function for.
bool	_rwDlNullStandard( void* out, void* inOut, s32 inInt );

void	_rwDlRenderModeSelect( const GXRenderModeObj* renderMode, u32 pixelFormat );
void	_rwDlRenderModeInit( const GXRenderModeObj* renderMode, u32 pixelFormat );
// W = fbWidth rounded up to 16; one XFB holds W x xfbHeight YUV pixels.
u32		_rwDlXfbWidth();

// Camera and frame standards.
bool	_rwDlCameraBeginUpdate( void* out, void* inOut, s32 inInt );
bool	_rwDlCameraEndUpdate( void* out, void* inOut, s32 inInt );
// Pixel format, viewport and scissor of a camera's target raster, as camera
// begin update sets them (with the antialiasing halves).
void	_rwDlSetTargetViewport( const RwRaster* target );
bool	_rwDlCameraClear( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterShowRaster( void* out, void* inOut, s32 inInt );

// Callbacks and frame pacing.
void	_rwDlBreakPtCallback();
void	_rwDlBreakNext();
void	_rwDlVIPreRetraceCallback( u32 retraceCount );
void	_rwDlVIPostRetraceCallback( u32 retraceCount );
// Issues _RwDlTokenCurrent to the GPU and advances it.
void	_rwDlTokenIssue();
// Busy-waits (delivering host events) until the GPU has passed token.
void	_rwDlTokenWait( u16 token );
// Busy-wait turn shared by the driver's waits: idles the host, and ends
// through OSPanic, naming the wait, when the GPU has made no progress for
// ten virtual seconds.
struct RwDlWait {
	const char*	name;
	s64			since;
	u32			readPtr;
	u16			token;
};
void	_rwDlWaitBegin( RwDlWait* wait, const char* name );
void	_rwDlWaitTurn( RwDlWait* wait );

// The paired-single transform routines installed by request 17.
RwV3d*	vectorASMMultPoint( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );
RwV3d*	vectorASMMultVector( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );

// Render states (RwDlRenderState.h), immediate 2D and raster quads
// (RwDlIm2D.h), native texture chunks.
bool	_rwDlSetRenderState( RwRenderState state, void* value );
bool	_rwDlGetRenderState( RwRenderState state, void* value );
bool	_rwDlIm2DRenderLine( RwIm2DVertex* vertices, s32 numVertices, s32 vert1, s32 vert2 );
bool	_rwDlIm2DRenderTriangle( RwIm2DVertex* vertices, s32 numVertices, s32 vert1, s32 vert2, s32 vert3 );
bool	_rwDlIm2DRenderPrimitive( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices );
bool	_rwDlIm2DRenderIndexedPrimitive( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices,
										 RwImVertexIndex* indices, s32 numIndices );
bool	_rwDlRenderStateOpen();
bool	_rwDlRenderStateClose();
bool	_rwDlSetRasterContext( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterClearRect( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterClear( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterRender( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterRenderScaled( void* out, void* inOut, s32 inInt );
bool	_rwDlRasterRenderFast( void* out, void* inOut, s32 inInt );
bool	_rwDlNativeTextureGetSize( void* out, void* inOut, s32 inInt );
bool	_rwDlNativeTextureRead( void* out, void* inOut, s32 inInt );
bool	_rwDlNativeTextureWrite( void* out, void* inOut, s32 inInt );
// The Z/colour clear quad over rect of raster.
bool	_rwDlRasterCamera_ZClearRect( RwRaster* raster, const RwRect* rect, const RwRGBA* colour, s32 flags );

// The raster render and clear standards work on this raster.
extern RwRaster*	_RwDlRasterTarget;

#endif
