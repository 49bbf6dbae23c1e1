/*
===============================================================================

	Device interface of the 3D library.

	The core talks to the device driver through a fourteen-entry device
	record (copied from the driver at open), one request entry point and a
	table of 29 standard functions indexed by standard id. The driver is
	chosen at link time: the core defines none of the functions declared at
	the end of this header. A program links either the host test device of
	the unit tests or the console driver.

	The core references those functions weakly, so every program links even
	without a device; a missing device makes RwEngineInit and RwEngineOpen
	fail instead of crashing.

===============================================================================
*/
#ifndef RW_DEVICE_H
#define RW_DEVICE_H

#include "datatypes/base/DTTypes.h"

struct RwCamera;
struct RwIm2DVertex;

typedef s32	RwRenderState;
typedef s32	RwPrimitiveType;
typedef u16	RwImVertexIndex;

// request (request number, out, inOut, inInt) -> accepted.
typedef bool	( *RwSystemFunc )( s32 request, void* out, void* inOut, s32 inInt );
// A standard (out, inOut, inInt) -> succeeded.
typedef bool	( *RwStandardFunc )( void* out, void* inOut, s32 inInt );

typedef bool	( *RwRenderStateSetFunction )( RwRenderState state, void* value );
typedef bool	( *RwRenderStateGetFunction )( RwRenderState state, void* value );
typedef bool	( *RwIm2DRenderLineFunction )( RwIm2DVertex* vertices, s32 numVertices, s32 vert1, s32 vert2 );
typedef bool	( *RwIm2DRenderTriangleFunction )( RwIm2DVertex* vertices, s32 numVertices, s32 vert1, s32 vert2, s32 vert3 );
typedef bool	( *RwIm2DRenderPrimitiveFunction )( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices );
typedef bool	( *RwIm2DRenderIndexedPrimitiveFunction )( RwPrimitiveType primType, RwIm2DVertex* vertices, s32 numVertices,
														   RwImVertexIndex* indices, s32 numIndices );
typedef bool	( *RwIm3DRenderLineFunction )( s32 vert1, s32 vert2 );
typedef bool	( *RwIm3DRenderTriangleFunction )( s32 vert1, s32 vert2, s32 vert3 );
typedef bool	( *RwIm3DRenderPrimitiveFunction )( RwPrimitiveType primType );
typedef bool	( *RwIm3DRenderIndexedPrimitiveFunction )( RwPrimitiveType primType, RwImVertexIndex* indices, s32 numIndices );

// The device record, in the driver's order.
struct RwDevice {
	f32										gammaCorrection;
	RwSystemFunc							fpSystem;
	f32										zBufferNear;	// screen Z of 2D immediate mode
	f32										zBufferFar;
	RwRenderStateSetFunction				fpRenderStateSet;
	RwRenderStateGetFunction				fpRenderStateGet;
	RwIm2DRenderLineFunction				fpIm2DRenderLine;
	RwIm2DRenderTriangleFunction			fpIm2DRenderTriangle;
	RwIm2DRenderPrimitiveFunction			fpIm2DRenderPrimitive;
	RwIm2DRenderIndexedPrimitiveFunction	fpIm2DRenderIndexedPrimitive;
	RwIm3DRenderLineFunction				fpIm3DRenderLine;
	RwIm3DRenderTriangleFunction			fpIm3DRenderTriangle;
	RwIm3DRenderPrimitiveFunction			fpIm3DRenderPrimitive;
	RwIm3DRenderIndexedPrimitiveFunction	fpIm3DRenderIndexedPrimitive;
};

// Slots of the standards table.
constexpr s32 RWSTANDARD_COUNT = 29;

// Standard ids the core knows by number.
constexpr s32 RWSTANDARD_TEXTURE_SET_RASTER = 8;

// Requests the core sends to the device.
enum RwDeviceRequest : s32 {
	RWDEVICE_OPEN				= 0,	// inOut = device configuration
	RWDEVICE_CLOSE				= 1,
	RWDEVICE_START				= 2,
	RWDEVICE_STOP				= 3,
	RWDEVICE_REGISTER			= 4,	// out = device record, inOut = memory functions
	RWDEVICE_NUM_VIDEO_MODES		= 5,	// out = s32
	RWDEVICE_VIDEO_MODE_INFO		= 6,	// out = RwVideoMode, inInt = index
	RWDEVICE_USE_VIDEO_MODE			= 7,
	RWDEVICE_FOCUS				= 8,
	RWDEVICE_INIT_PIPELINES		= 9,
	RWDEVICE_CURRENT_VIDEO_MODE			= 10,	// out = s32
	RWDEVICE_STANDARDS			= 11,	// out = standards, inInt = slots
	RWDEVICE_TEXTURE_MEMORY_SIZE		= 12,
	RWDEVICE_NUM_SUBSYSTEMS	= 13,	// out = s32
	RWDEVICE_SUBSYSTEM_INFO	= 14,	// out = RwSubSystemInfo, inInt = index
	RWDEVICE_CURRENT_SUBSYSTEM = 15,	// out = s32
	RWDEVICE_SELECT_SUBSYSTEM		= 16,	// inInt = index
	RWDEVICE_FINISH_START		= 17,
	RWDEVICE_BEGIN_STOP		= 18,
	RWDEVICE_MAX_TEXTURE_SIZE	= 19,	// out = s32
};

// Bytes of engine-instance space the driver's render-pipeline and
// immediate-3D modules reserve. Their global records must fit.
// The pipeline module keeps five pointers, eight bytes each on the host.
constexpr s32 RWPIPELINE_GLOBALS_SIZE	= 104;
// Immediate 3D: fourteen pipeline words and the stage record, host sizes.
constexpr s32 RWIM3D_GLOBALS_SIZE			= 176;

// Supplied by the device: the device record, and the registration of the
// driver's raster and texture extensions (called last by RwEngineInit).
RwDevice*	_rwDeviceGetHandle();
bool		_rwDeviceRegisterPlugin();

// Supplied beside the device: the render-pipeline and immediate-3D engine
// modules, the attach step between them, and the per-camera set-up run
// after a successful camera begin update.
void*		_rwRenderPipelineOpen( void* instance, s32 offset, s32 size );
void*		_rwRenderPipelineClose( void* instance, s32 offset, s32 size );
void*		_rwIm3DOpen( void* instance, s32 offset, s32 size );
void*		_rwIm3DClose( void* instance, s32 offset, s32 size );
bool		_rwPipeAttach();
void		_rwPipeInitForCamera( const RwCamera* camera );

#endif
