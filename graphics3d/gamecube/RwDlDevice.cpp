// The device record, the dispatcher and its requests, the render mode,
// the FIFO and external frame buffers, and start-up of the GPU and video.

#include "graphics3d/gamecube/RwDlDriver.h"

#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwV3d.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "platform/host/HostEventQueue.h"
#include "platform/vi/VI.h"

#include <bit>
#include <cstring>

namespace {

constexpr u32 FIFO_ALIGNMENT		= 32;
constexpr u32 XFB_BYTES_PER_PIXEL	= 2;		// YUV 4:2:2
constexpr s32 NUM_VIDEO_MODES		= 1;
constexpr s32 MAX_TEXTURE_SIZE		= 1024;
constexpr s64 WAIT_LIMIT_SECONDS	= 10;
constexpr u32 NON_INTERLACED_BIT	= 0x1;
constexpr u32 PIXEL_FORMAT_565		= GX_PF_RGB565_Z16;
constexpr s32 DEPTH_16				= 16;
constexpr s32 DEPTH_24				= 24;

// The standards table: index and function, first to last.
struct RwDlStandardRow {
	s32				index;
	RwStandardFunc	function;
};

const RwDlStandardRow standardRows[RWDL_STANDARD_ROWS] = {
	{ 1, _rwDlCameraBeginUpdate },		{ 2, _rwDlRGBToPixel },				{ 3, _rwDlPixelToRGB },
	{ 4, _rwDlRasterCreate },			{ 5, _rwDlRasterDestroy },			{ 6, _rwDlImageGetFromRaster },
	{ 7, _rwDlRasterSetFromImage },		{ 8, _rwDlTextureSetRaster },		{ 9, _rwDlImageFindRasterFormat },
	{ 10, _rwDlCameraEndUpdate },		{ 11, _rwDlSetRasterContext },		{ 12, _rwDlRasterSubRaster },
	{ 13, _rwDlRasterClearRect },		{ 14, _rwDlRasterClear },			{ 15, _rwDlRasterLock },
	{ 16, _rwDlRasterUnlock },			{ 17, _rwDlRasterRender },			{ 18, _rwDlRasterRenderScaled },
	{ 19, _rwDlRasterRenderFast },		{ 20, _rwDlRasterShowRaster },		{ 21, _rwDlCameraClear },
	{ 23, _rwDlRasterLockPalette },		{ 24, _rwDlRasterUnlockPalette },	{ 25, _rwDlNativeTextureGetSize },
	{ 26, _rwDlNativeTextureRead },		{ 27, _rwDlNativeTextureWrite },	{ 28, _rwDlRasterGetNumMipLevels },
};

void RenderModeError( const char* message ) {
	RwError error = { RWPLUGIN_CORE, _rwerror( 2, message ) };
	RwErrorSet( &error );
}

bool Open( void* inOut ) {
	const RwGameCubeDeviceConfig* const config =
		inOut != nullptr ? *static_cast<RwGameCubeDeviceConfig* const*>( inOut ) : nullptr;
	if ( config != nullptr ) {
		_rwDlRenderModeSelect( config->renderMode, config->pixelFormat );
		// A FIFO of no size would leave the GPU nothing to read from.
		_RwDlFifoSize = config->fifoSize == 0 ? RWDL_DEFAULT_FIFO_SIZE
											  : ( config->fifoSize + FIFO_ALIGNMENT - 1 ) & ~( FIFO_ALIGNMENT - 1 );
	} else {
		_rwDlRenderModeSelect( nullptr, _RwDlPixelFormat );
	}
	const u32 xfbBytes = _rwDlXfbWidth() * _RwDlRenderMode->xfbHeight * XFB_BYTES_PER_PIXEL;
	const u32 blockBytes = _RwDlFifoSize + 2 * xfbBytes + FIFO_ALIGNMENT - 1;
	void* const block = RwEngineInstance->memoryFunctions.rwmalloc( blockBytes );
	if ( block == nullptr ) {
		_rwDlSetError( _rwerror( RWDL_ERR_NO_MEMORY, blockBytes ) );
		return false;
	}
	_RwDl_FIFO_XFB = block;
	const uintptr_t aligned = ( reinterpret_cast<uintptr_t>( block ) + FIFO_ALIGNMENT - 1 ) & ~uintptr_t( FIFO_ALIGNMENT - 1 );
	_RwDlDefaultFifo = reinterpret_cast<void*>( aligned );
	DCInvalidateRange( _RwDlDefaultFifo, _RwDlFifoSize );
	_RwGCXFB1 = static_cast<u8*>( _RwDlDefaultFifo ) + _RwDlFifoSize;
	_RwGCXFB2 = static_cast<u8*>( _RwGCXFB1 ) + xfbBytes;
	_RwGCXFBDisp = _RwGCXFB1;
	_RwGCXFBCopy = _RwGCXFB2;
	return true;
}

bool Close() {
	GXFlush();
	if ( _RwDl_FIFO_XFB != nullptr ) {
		RwEngineInstance->memoryFunctions.rwfree( _RwDl_FIFO_XFB );
	}
	_RwDl_FIFO_XFB = nullptr;
	_RwDlDefaultFifo = nullptr;
	_RwGCXFB1 = nullptr;
	_RwGCXFB2 = nullptr;
	_RwGCXFBDisp = nullptr;
	_RwGCXFBCopy = nullptr;
	for ( RwDlFrameQueueEntry& entry : _RwGCFrameQueue ) {
		entry.xfb = nullptr;
		entry.writePtr = nullptr;
	}
	return true;
}

bool Start() {
	if ( !_RwDlGXInitialised ) {
		_RwDlDefaultFifoObj = GXInit( _RwDlDefaultFifo, _RwDlFifoSize );
		_RwDlGXInitialised = 1;
	} else {
		// The block may have moved with a close and open: both FIFO objects
		// are pointed at the current one.
		static GXFifoObj temporary;
		GXInitFifoBase( &temporary, _RwDlDefaultFifo, _RwDlFifoSize );
		GXSetCPUFifo( &temporary );
		GXSetGPFifo( &temporary );
		GXInitFifoBase( _RwDlDefaultFifoObj, _RwDlDefaultFifo, _RwDlFifoSize );
		GXSetCPUFifo( _RwDlDefaultFifoObj );
		GXSetGPFifo( _RwDlDefaultFifoObj );
	}
	RwDlWait wait;
	_rwDlWaitBegin( &wait, "start token synchronisation" );
	while ( ( GXReadDrawSync() & 0xFFFF ) != _RwDlTokenLastSeen ) {
		GXSetDrawSync( _RwDlTokenLastSeen );
		_rwDlWaitTurn( &wait );
	}
	_rwDlRenderModeInit( _RwDlRenderMode, _RwDlPixelFormat );
	VIWaitForRetrace();
	if ( _RwDlRenderMode->viTVmode & NON_INTERLACED_BIT ) {
		VIWaitForRetrace();
	}
	GXSetDispCopyGamma( GX_GM_1_0 );
	VISetPreRetraceCallback( _rwDlVIPreRetraceCallback );
	VISetPostRetraceCallback( _rwDlVIPostRetraceCallback );
	GXSetBreakPtCallback( _rwDlBreakPtCallback );
	OSInitThreadQueue( &_RwDlWaitingDoneRender );
	return true;
}

bool VideoModeInfo( void* out, const s32 number ) {
	if ( number >= NUM_VIDEO_MODES ) {
		return false;
	}
	s32 entry = -1;
	switch ( _RwGameCubeVideoMode ) {
		case RWDL_VIDEO_MODE_NTSC:		entry = 0; break;
		case RWDL_VIDEO_MODE_PAL:
		case RWDL_VIDEO_MODE_EURGB60:	entry = 1; break;
		case RWDL_VIDEO_MODE_MPAL:		entry = 2; break;
		case RWDL_VIDEO_MODE_CUSTOM:	entry = 3; break;
		default:						break;
	}
	if ( entry >= 0 ) {
		std::memcpy( out, &_RwDlVideoModes[entry], sizeof( RwVideoMode ) );
	}
	return true;
}

void FillStandards( RwStandardFunc* standards, const s32 slots ) {
	for ( s32 i = 0; i < slots; i++ ) {
		standards[i] = _rwDlNullStandard;
	}
	for ( s32 row = RWDL_STANDARD_ROWS - 1; row >= 0; row-- ) {
		const s32 index = standardRows[row].index;
		if ( index >= 0 && index < slots ) {
			standards[index] = standardRows[row].function;
		}
	}
}

}	// namespace

RwDevice rwDlDriverDevice = {
	1.0f,
	_rwDlSystem,
	0.0f,
	std::bit_cast<f32>( 0x3F7FFFFFu ),	// the largest float below 1.0
	_rwDlSetRenderState,
	_rwDlGetRenderState,
	_rwDlIm2DRenderLine,
	_rwDlIm2DRenderTriangle,
	_rwDlIm2DRenderPrimitive,
	_rwDlIm2DRenderIndexedPrimitive,
	nullptr,
	nullptr,
	nullptr,
	nullptr,
};

RwVideoMode _RwDlVideoModes[RWDL_VIDEO_MODE_ENTRIES] = {
	{ 640, 480, DEPTH_24, 1 },
	{ 640, 528, DEPTH_24, 1 },
	{ 640, 480, DEPTH_24, 1 },
	{ 0, 0, DEPTH_24, 1 },
};

GXRenderModeObj*	_RwDlRenderMode = &GXNtsc480IntDf;
GXRenderModeObj		_RwGameCubeRenderModeObj;
u32					_RwGameCubeVideoMode = RWDL_VIDEO_MODE_NTSC;
u32					_RwDlPixelFormat = GX_PF_RGB8_Z24;
u32					_RwDlCurPixelFormat = GX_PF_RGB8_Z24;
u32					_RwDlFSAA = 0;
volatile u32		_RwDlFSAATop = 1;
u32					_RwDlHalfHeight = 0;
u32					_RwDlFifoSize = RWDL_DEFAULT_FIFO_SIZE;
void*				_RwDl_FIFO_XFB = nullptr;
void*				_RwDlDefaultFifo = nullptr;
GXFifoObj*			_RwDlDefaultFifoObj = nullptr;
u32					_RwDlGXInitialised = 0;
void*				_RwGCXFB1 = nullptr;
void*				_RwGCXFB2 = nullptr;
void* volatile		_RwGCXFBDisp = nullptr;
void* volatile		_RwGCXFBCopy = nullptr;
u32					_RwDlCopyClear = 0;
RwDlGlobals			dgGGlobals = { nullptr, nullptr };

bool _rwDlNullStandard( void*, void*, s32 ) {
	return false;
}

u32 _rwDlXfbWidth() {
	return ( static_cast<u32>( _RwDlRenderMode->fbWidth ) + 15 ) & ~15u;
}

void _rwDlRenderModeSelect( const GXRenderModeObj* renderMode, u32 pixelFormat ) {
	if ( renderMode != nullptr ) {
		std::memcpy( &_RwGameCubeRenderModeObj, renderMode, sizeof( GXRenderModeObj ) );
		_RwDlRenderMode = &_RwGameCubeRenderModeObj;
		_RwGameCubeVideoMode = RWDL_VIDEO_MODE_CUSTOM;
		if ( renderMode->aa ) {
			pixelFormat = PIXEL_FORMAT_565;
		}
		_RwDlPixelFormat = pixelFormat;
		_RwDlCurPixelFormat = pixelFormat;
		RwVideoMode& entry = _RwDlVideoModes[3];
		entry.width = renderMode->fbWidth;
		entry.height = renderMode->efbHeight;
		if ( pixelFormat == PIXEL_FORMAT_565 ) {
			entry.depth = DEPTH_16;
		} else if ( pixelFormat == GX_PF_RGB8_Z24 || pixelFormat == GX_PF_RGBA6_Z24 ) {
			entry.depth = DEPTH_24;
		} else {
			RenderModeError( "Invalid pixel format" );
		}
		return;
	}
	switch ( VIGetTvFormat() ) {
		case VI_NTSC:
			_RwDlRenderMode = &GXNtsc480IntDf;
			_RwGameCubeVideoMode = RWDL_VIDEO_MODE_NTSC;
			break;
		case VI_PAL:
		case VI_EURGB60:
			_RwDlRenderMode = &GXPal528IntDf;
			_RwGameCubeVideoMode = RWDL_VIDEO_MODE_PAL;
			break;
		case VI_MPAL:
			_RwDlRenderMode = &GXMpal480IntDf;
			_RwGameCubeVideoMode = RWDL_VIDEO_MODE_MPAL;
			break;
		default:
			RenderModeError( "Invalid TV format" );
			break;
	}
}

void _rwDlRenderModeInit( const GXRenderModeObj* mode, const u32 pixelFormat ) {
	VIConfigure( mode );
	VISetBlack( 1 );
	VIFlush();
	if ( mode->field_rendering ) {
		GXSetViewportJitter( 0.0f, 0.0f, mode->fbWidth, mode->xfbHeight, 0.0f, 1.0f, VIGetNextField() ^ 1 );
	} else {
		GXSetViewport( 0.0f, 0.0f, mode->fbWidth, mode->xfbHeight, 0.0f, 1.0f );
	}
	GXSetScissor( 0, 0, mode->fbWidth, mode->efbHeight );
	GXSetScissorBoxOffset( 0, 0 );
	GXSetDispCopySrc( 0, 0, mode->fbWidth, mode->efbHeight );
	GXSetDispCopyDst( mode->fbWidth, mode->xfbHeight );
	GXSetCopyFilter( mode->aa, mode->sample_pattern, GX_TRUE, mode->vfilter );
	if ( mode->aa && mode->xfbHeight == mode->viHeight ) {
		GXSetDispCopyYScale( 1.0f );
		_RwDlFSAA = 1;
		_RwDlHalfHeight = static_cast<u32>( mode->xfbHeight ) >> 1;
		_RwDlFSAATop = 1;
	} else {
		GXSetDispCopyYScale( static_cast<f32>( mode->xfbHeight ) / static_cast<f32>( mode->efbHeight ) );
		_RwDlFSAA = 0;
	}
	GXSetFieldMode( mode->field_rendering, mode->xfbHeight < mode->viHeight );
	GXSetPixelFmt( pixelFormat, GX_ZC_LINEAR );
	_RwDlFirstFrame = 1;
}

bool _rwDlSystem( const s32 request, void* out, void* inOut, const s32 inInt ) {
	switch ( request ) {
		case RWDEVICE_OPEN:
			return Open( inOut );
		case RWDEVICE_CLOSE:
			return Close();
		case RWDEVICE_START:
			return Start();
		case RWDEVICE_STOP:
		case RWDEVICE_FOCUS:
		case RWDEVICE_INIT_PIPELINES:
			return true;
		case RWDEVICE_REGISTER:
			std::memcpy( out, &rwDlDriverDevice, sizeof( RwDevice ) );
			dgGGlobals.deviceInOut = inOut;
			return true;
		case RWDEVICE_NUM_VIDEO_MODES:
			*static_cast<s32*>( out ) = NUM_VIDEO_MODES;
			return true;
		case RWDEVICE_VIDEO_MODE_INFO:
			return VideoModeInfo( out, inInt );
		case RWDEVICE_USE_VIDEO_MODE:
			return inInt <= 0;
		case RWDEVICE_CURRENT_VIDEO_MODE:
			*static_cast<s32*>( out ) = 0;
			return true;
		case RWDEVICE_STANDARDS:
			FillStandards( static_cast<RwStandardFunc*>( out ), inInt );
			return true;
		case RWDEVICE_FINISH_START:
			_rwVectorSetMultFn( vectorASMMultPoint, vectorASMMultVector );
			_rwDlRenderStateOpen();
			return true;
		case RWDEVICE_BEGIN_STOP:
			_rwDlRenderStateClose();
			return true;
		case RWDEVICE_MAX_TEXTURE_SIZE:
			*static_cast<s32*>( out ) = MAX_TEXTURE_SIZE;
			return true;
		default:
			return false;
	}
}

// Each component sums x, y and z terms in the core's order, then the
// position, so results equal the core's own routines to the bit.
static RwV3d* MultArray( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* m, const bool withPos ) {
	for ( s32 i = 0; i < count; i++ ) {
		const f32 x = in[i].x;
		const f32 y = in[i].y;
		const f32 z = in[i].z;
		f32 rx = x * m->right.x + y * m->up.x + z * m->at.x;
		f32 ry = x * m->right.y + y * m->up.y + z * m->at.y;
		f32 rz = x * m->right.z + y * m->up.z + z * m->at.z;
		if ( withPos ) {
			rx = rx + m->pos.x;
			ry = ry + m->pos.y;
			rz = rz + m->pos.z;
		}
		out[i].x = rx;
		out[i].y = ry;
		out[i].z = rz;
	}
	return out;
}

RwV3d* vectorASMMultPoint( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	return MultArray( out, in, count, matrix, true );
}

RwV3d* vectorASMMultVector( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	return MultArray( out, in, count, matrix, false );
}

static u32 GpuReadPosition() {
	GXFifoObj* const fifo = GXGetCPUFifo();
	if ( fifo == nullptr ) {
		return 0;
	}
	void* read = nullptr;
	GXGetFifoPtrs( fifo, &read, nullptr );
	return static_cast<u32>( reinterpret_cast<uintptr_t>( read ) );
}

void _rwDlWaitBegin( RwDlWait* wait, const char* name ) {
	wait->name = name;
	wait->since = OSGetTime();
	wait->readPtr = GpuReadPosition();
	wait->token = GXReadDrawSync();
}

void _rwDlWaitTurn( RwDlWait* wait ) {
	HostIdle();
	const u32 readPtr = GpuReadPosition();
	const u16 token = GXReadDrawSync();
	if ( readPtr != wait->readPtr || token != wait->token ) {
		wait->readPtr = readPtr;
		wait->token = token;
		wait->since = OSGetTime();
		return;
	}
	if ( OSGetTime() - wait->since > OSSecondsToTicks( WAIT_LIMIT_SECONDS ) ) {
		OSPanic( __FILE__, __LINE__, "%s: no GPU progress for %d seconds", wait->name,
				 static_cast<s32>( WAIT_LIMIT_SECONDS ) );
	}
}
