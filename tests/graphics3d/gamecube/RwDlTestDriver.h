/*
===============================================================================

	Shared set-up of the console driver tests.

	Every test starts from a fresh host (virtual clock at 0, no events, the
	video interface and GPU reset, NTSC), the driver's globals at their
	start-up values and the library down; it brings the library up over
	the driver with counting host allocations and takes it down again. A
	panic (a wait that never ends) throws, so a forgotten stall fails.

===============================================================================
*/
#ifndef RW_DL_TEST_DRIVER_H
#define RW_DL_TEST_DRIVER_H

#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRaster.h"
#include "platform/gx/GXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/os/OSHost.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

// Host allocations that can be told to fail: failIn = n lets n more
// allocations succeed and fails the next one.
struct RwDlTestMemory {
	static inline s32	failIn = -1;
	static inline u32	live = 0;

	static void* Malloc( const u32 size ) {
		if ( failIn >= 0 && failIn-- == 0 ) {
			return nullptr;
		}
		live++;
		return std::malloc( size != 0 ? size : 1 );
	}
	static void Free( void* block ) {
		if ( block != nullptr ) {
			live--;
		}
		std::free( block );
	}
	static void* Realloc( void* block, const u32 size ) { return std::realloc( block, size ); }
	static void* Calloc( const u32 count, const u32 size ) {
		live++;
		return std::calloc( count != 0 ? count : 1, size != 0 ? size : 1 );
	}
};

inline const RwMemoryFunctions rwDlTestMemory = { RwDlTestMemory::Malloc, RwDlTestMemory::Free, RwDlTestMemory::Realloc,
												  RwDlTestMemory::Calloc };

struct RwDlTestPanic : std::runtime_error {
	using std::runtime_error::runtime_error;
};

inline void RwDlTestThrowingPanic( const char*, s32, const char* message ) {
	throw RwDlTestPanic( message );
}

// One retrace period at 60 Hz.
constexpr s64 RWDL_TEST_RETRACE = HOST_TIMER_CLOCK / 60;

inline RwError RwDlTestReadError() {
	RwError error = { 0, 0 };
	RwErrorGet( &error );
	return error;
}

// The driver's globals as at start-up.
inline void RwDlTestResetDriver() {
	_RwDlRenderMode = &GXNtsc480IntDf;
	_RwDlVideoModes[3] = { 0, 0, 24, 1 };
	_RwGameCubeVideoMode = RWDL_VIDEO_MODE_NTSC;
	_RwDlPixelFormat = GX_PF_RGB8_Z24;
	_RwDlCurPixelFormat = GX_PF_RGB8_Z24;
	_RwDlFSAA = 0;
	_RwDlFSAATop = 1;
	_RwDlHalfHeight = 0;
	_RwDlFifoSize = RWDL_DEFAULT_FIFO_SIZE;
	_RwDl_FIFO_XFB = nullptr;
	_RwDlDefaultFifo = nullptr;
	_RwDlDefaultFifoObj = nullptr;
	_RwDlGXInitialised = 0;
	_RwGCXFB1 = nullptr;
	_RwGCXFB2 = nullptr;
	_RwGCXFBDisp = nullptr;
	_RwGCXFBCopy = nullptr;
	for ( RwDlFrameQueueEntry& entry : _RwGCFrameQueue ) {
		entry.xfb = nullptr;
		entry.writePtr = nullptr;
	}
	_RwDlFrameNew = 0;
	_RwDlFrameCurrent = 0;
	_RwDlFrameTokenNew = 0;
	_RwDlFrameTokenCurrent = 0;
	for ( u32 i = 0; i < RWDL_FRAME_QUEUE; i++ ) {
		_RwDlFrameSwap[i] = 0;
	}
	_RwDlTokenCurrent = 1;
	_RwDlTokenLastSeen = 0;
	_RwDlBreakPointEnabled = 0;
	_RwDlFrameReadyOnToken = 0;
	_RwDlFrameWait = 0;
	_RwDlFrameGo = 0;
	_RwDlFirstFrame = 1;
	_RwDlFSAAToggle = 0;
	_RwDlCopyClear = 0;
	dgGGlobals = { nullptr, nullptr };
	_RwDlRasterTarget = nullptr;
}

inline s32 RwDlTestEngineState() {
	return RwEngineInstance != nullptr ? RwEngineInstance->engineState : staticGlobals.engineState;
}

inline void RwDlTestShutDown() {
	if ( RwEngineInstance != nullptr && RwEngineInstance != &staticGlobals ) {
		if ( RwEngineInstance->engineState == RWENGINE_STATE_STARTED ) {
			RwEngineStop();
		}
		RwEngineClose();
	}
	if ( RwDlTestEngineState() != RWENGINE_STATE_IDLE ) {
		RwEngineTerm();
	}
	RwDlTestReadError();
}

class RwDlTestCase : public ::testing::Test {
protected:
	RwGameCubeDeviceConfig	config = { nullptr, GX_PF_RGB8_Z24, 0 };
	RwGameCubeDeviceConfig*	displayId = &config;
	OSHostPanicHook			previousPanic = nullptr;

	void SetUp() override {
		RwDlTestShutDown();
		HostResetEvents();
		HostClockUseVirtual( 0 );
		VIHostReset();
		VIHostSetTvFormat( VI_NTSC );
		GXHostReset();
		OSHostResetThreads();
		RwDlTestResetDriver();
		RwDlTestMemory::failIn = -1;
		config = { nullptr, GX_PF_RGB8_Z24, 0 };
		displayId = &config;
		previousPanic = OSHostSetPanicHook( RwDlTestThrowingPanic );
	}

	void TearDown() override {
		GXHostResume();
		RwDlTestShutDown();
		OSHostSetPanicHook( previousPanic );
		VIHostReset();
		HostResetEvents();
	}

	bool Init() {
		return RwEngineInit( &rwDlTestMemory, 0, 0 );
	}

	bool Open() {
		return RwEngineOpen( &displayId );
	}

	// Init, open and start with the video interface running.
	bool BringUp() {
		VIInit();
		return Init() && Open() && RwEngineStart();
	}
};

// The quads drawn in the current frame of the GPU log.
inline std::vector<const GXHostDraw*> RwDlTestQuads() {
	std::vector<const GXHostDraw*> quads;
	for ( const GXHostDraw& draw : GXHostCurrentFrame().draws ) {
		if ( draw.primitive == GX_QUADS ) {
			quads.push_back( &draw );
		}
	}
	return quads;
}

// A camera on a frame drawing into a camera raster (or a window of it).
struct RwDlTestCamera {
	RwCamera*	camera = nullptr;
	RwFrame*	frame = nullptr;
	RwRaster*	raster = nullptr;
	RwRaster*	window = nullptr;

	bool Create( const s32 width, const s32 height ) {
		camera = RwCameraCreate();
		frame = RwFrameCreate();
		raster = RwRasterCreate( width, height, 0, rwRASTERTYPECAMERA );
		if ( camera == nullptr || frame == nullptr || raster == nullptr ) {
			return false;
		}
		_rwObjectHasFrameSetFrame( &camera->object, frame );
		camera->frameBuffer = raster;
		return true;
	}

	// Draws into the rectangle of the raster from now on.
	void UseWindow( const RwRect& rect ) {
		if ( window == nullptr ) {
			window = RwRasterCreate( 0, 0, 0, rwRASTERDONTALLOCATE | rwRASTERTYPECAMERA );
		}
		RwRasterSubRaster( window, raster, &rect );
		camera->frameBuffer = window;
	}

	// One frame: begin, end, show.
	void Frame() {
		RwCameraBeginUpdate( camera );
		RwCameraEndUpdate( camera );
		RwRasterShowRaster( raster, nullptr, 0 );
	}

	void Destroy() {
		if ( camera != nullptr ) {
			camera->frameBuffer = nullptr;
			_rwObjectHasFrameSetFrame( &camera->object, nullptr );
			RwCameraDestroy( camera );
		}
		if ( window != nullptr ) {
			RwRasterDestroy( window );
		}
		if ( raster != nullptr ) {
			RwRasterDestroy( raster );
		}
		if ( frame != nullptr ) {
			RwFrameDestroy( frame );
		}
		*this = RwDlTestCamera();
	}
};

#endif
