/*
===============================================================================

	Host test device of the 3D library.

	Stands where the console driver will: it answers the core's requests
	the way the console driver does, with a device record of gamma 1.0,
	near Z 0.0, far Z just below 1.0, render-state and 2D entries that log
	their calls and no 3D entries. Tests switch it to refuse any request
	and read how often each request came.

	Requests: 0 open keeps the configuration pointer and allocates a work
	block with the memory functions kept by 4 register (1 close frees it);
	2 and 3 succeed; 5 reports one video mode; 6 describes mode 0 only
	(640 x 480, depth 24, flags 1); 7 accepts 0 and below; 8 and 9
	succeed; 10 reports mode 0; 11 fills every slot with a refusing
	standard, then its own; 12-16 refuse; 17 and 18 succeed; 19 reports
	1024; anything above refuses. Request 17 also installs the device's
	own point and vector transform routines in the vector module.

===============================================================================
*/
#ifndef TEST_DEVICE_H
#define TEST_DEVICE_H

#include "graphics3d/core/RwDevice.h"
#include "graphics3d/core/RwMemory.h"
#include "graphics3d/core/RwV3d.h"
#include "platform/gx/GXHost.h"

#include <vector>

// One logged call of a render-state or 2D entry.
struct TestDeviceCall {
	enum Kind {
		RENDER_STATE_SET,
		RENDER_STATE_GET,
		IM2D_LINE,
		IM2D_TRIANGLE,
		IM2D_PRIMITIVE,
		IM2D_INDEXED_PRIMITIVE,
	};
	Kind				kind;
	s32					state;			// render state, or primitive type
	void*				value;			// render-state value, or vertices
	s32					numVertices;
	RwImVertexIndex*	indices;
	s32					numIndices;
};

// Highest request number the device counts separately; higher ones share
// the last counter.
constexpr s32 TEST_DEVICE_COUNTED_REQUESTS = 32;

// Bytes the device allocates at open with the engine's memory functions.
constexpr u32 TEST_DEVICE_WORK_BLOCK_BYTES = 256;

// Forgets switches, counts, the call log and what open and register kept.
// Frees nothing: call it with the device closed.
void								TestDeviceReset();
void								TestDeviceRefuseRequest( s32 request, bool refuse );
// Withdraws every refusal, keeping everything else.
void								TestDeviceAcceptAllRequests();
u32									TestDeviceRequestCount( s32 request );
const GXHostVector<TestDeviceCall>&	TestDeviceCalls();
void								TestDeviceClearCalls();
// The configuration given to the last open; null before one.
void*								TestDeviceConfiguration();
// The memory functions given to the last register.
const RwMemoryFunctions*			TestDeviceMemoryFunctions();
// The block allocated by open; null while closed.
void*								TestDeviceWorkBlock();
u32									TestDeviceRegisterPluginCount();
// The value the render-state get entry reports.
void								TestDeviceSetRenderStateValue( void* value );

// The transform routines request 17 installs.
RwV3d*								TestDeviceTransformPoints( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );
RwV3d*								TestDeviceTransformVectors( RwV3d* out, const RwV3d* in, s32 count, const RwMatrix* matrix );

#endif
