#include "graphics3d/testdevice/TestDevice.h"

#include "graphics3d/testdevice/TestDeviceRasters.h"
#include "graphics3d/testdevice/TestDeviceTextures.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwMatrix.h"

#include <bit>

namespace {

struct TestDeviceState {
	bool						refused[TEST_DEVICE_COUNTED_REQUESTS] = {};
	u32							counts[TEST_DEVICE_COUNTED_REQUESTS] = {};
	// Kept in malloc'd memory, away from heaps operator new may be routed to.
	GXHostVector<TestDeviceCall>	calls;
	void*						configuration = nullptr;
	const RwMemoryFunctions*	memory = nullptr;
	void*						workBlock = nullptr;
	u32							registerPluginCount = 0;
	void*						renderStateValue = nullptr;
};

TestDeviceState state;

constexpr s32 NUM_VIDEO_MODES = 1;
constexpr s32 MAX_TEXTURE_SIZE = 1024;
constexpr RwVideoMode NTSC_MODE = { 640, 480, 24, 1 };

s32 CounterOf( const s32 request ) {
	if ( request < 0 ) {
		return TEST_DEVICE_COUNTED_REQUESTS - 1;
	}
	return request < TEST_DEVICE_COUNTED_REQUESTS ? request : TEST_DEVICE_COUNTED_REQUESTS - 1;
}

void Log( const TestDeviceCall::Kind kind, const s32 stateOrType, void* value, const s32 numVertices,
		  RwImVertexIndex* indices = nullptr, const s32 numIndices = 0 ) {
	state.calls.push_back( { kind, stateOrType, value, numVertices, indices, numIndices } );
}

bool TestSetRenderState( const RwRenderState renderState, void* value ) {
	Log( TestDeviceCall::RENDER_STATE_SET, renderState, value, 0 );
	return true;
}

bool TestGetRenderState( const RwRenderState renderState, void* value ) {
	Log( TestDeviceCall::RENDER_STATE_GET, renderState, value, 0 );
	if ( value != nullptr ) {
		*static_cast<void**>( value ) = state.renderStateValue;
	}
	return true;
}

bool TestIm2DLine( RwIm2DVertex* vertices, const s32 numVertices, s32, s32 ) {
	Log( TestDeviceCall::IM2D_LINE, 0, vertices, numVertices );
	return true;
}

bool TestIm2DTriangle( RwIm2DVertex* vertices, const s32 numVertices, s32, s32, s32 ) {
	Log( TestDeviceCall::IM2D_TRIANGLE, 0, vertices, numVertices );
	return true;
}

bool TestIm2DPrimitive( const RwPrimitiveType primType, RwIm2DVertex* vertices, const s32 numVertices ) {
	Log( TestDeviceCall::IM2D_PRIMITIVE, primType, vertices, numVertices );
	return true;
}

bool TestIm2DIndexedPrimitive( const RwPrimitiveType primType, RwIm2DVertex* vertices, const s32 numVertices,
							   RwImVertexIndex* indices, const s32 numIndices ) {
	Log( TestDeviceCall::IM2D_INDEXED_PRIMITIVE, primType, vertices, numVertices, indices, numIndices );
	return true;
}

bool TestRefusingStandard( void*, void*, s32 ) {
	return false;
}

bool TestDeviceSystem( s32 request, void* out, void* inOut, s32 inInt );

RwDevice testDevice = {
	1.0f,
	TestDeviceSystem,
	0.0f,
	std::bit_cast<f32>( 0x3F7FFFFFu ),
	TestSetRenderState,
	TestGetRenderState,
	TestIm2DLine,
	TestIm2DTriangle,
	TestIm2DPrimitive,
	TestIm2DIndexedPrimitive,
	nullptr,
	nullptr,
	nullptr,
	nullptr,
};

// The device's own standards are the raster, image and camera ones
// (TestDeviceRasters.h); texture standards join with the texture module.

bool OpenDevice( void* configuration ) {
	state.configuration = configuration;
	if ( state.memory != nullptr && state.workBlock == nullptr ) {
		state.workBlock = state.memory->rwmalloc( TEST_DEVICE_WORK_BLOCK_BYTES );
	}
	return true;
}

bool CloseDevice() {
	if ( state.memory != nullptr && state.workBlock != nullptr ) {
		state.memory->rwfree( state.workBlock );
	}
	state.workBlock = nullptr;
	return true;
}

void FillStandards( RwStandardFunc* standards, const s32 slots ) {
	for ( s32 i = 0; i < slots; i++ ) {
		standards[i] = TestRefusingStandard;
	}
	for ( s32 i = 0; i < slots; i++ ) {
		const RwStandardFunc own = TestDeviceRasterStandard( i );
		if ( own != nullptr ) {
			standards[i] = own;
		}
	}
}

bool TestDeviceSystem( const s32 request, void* out, void* inOut, const s32 inInt ) {
	state.counts[CounterOf( request )]++;
	if ( request >= 0 && request < TEST_DEVICE_COUNTED_REQUESTS && state.refused[request] ) {
		return false;
	}
	switch ( request ) {
		case RWDEVICE_OPEN:
			return OpenDevice( inOut );
		case RWDEVICE_CLOSE:
			return CloseDevice();
		case RWDEVICE_START:
		case RWDEVICE_STOP:
		case RWDEVICE_FOCUS:
		case RWDEVICE_INIT_PIPELINES:
		case RWDEVICE_BEGIN_STOP:
			return true;
		case RWDEVICE_FINISH_START:
			_rwVectorSetMultFn( TestDeviceTransformPoints, TestDeviceTransformVectors );
			return true;
		case RWDEVICE_REGISTER:
			*static_cast<RwDevice*>( out ) = testDevice;
			state.memory = static_cast<const RwMemoryFunctions*>( inOut );
			return true;
		case RWDEVICE_NUM_VIDEO_MODES:
			*static_cast<s32*>( out ) = NUM_VIDEO_MODES;
			return true;
		case RWDEVICE_VIDEO_MODE_INFO:
			if ( inInt >= 1 ) {
				return false;
			}
			*static_cast<RwVideoMode*>( out ) = NTSC_MODE;
			return true;
		case RWDEVICE_USE_VIDEO_MODE:
			return inInt <= 0;
		case RWDEVICE_CURRENT_VIDEO_MODE:
			*static_cast<s32*>( out ) = 0;
			return true;
		case RWDEVICE_STANDARDS:
			FillStandards( static_cast<RwStandardFunc*>( out ), inInt );
			return true;
		case RWDEVICE_MAX_TEXTURE_SIZE:
			*static_cast<s32*>( out ) = MAX_TEXTURE_SIZE;
			return true;
		default:
			return false;
	}
}

}	// namespace

// Two components at a time, as the console's paired-single unit works,
// then the third; every component is summed in the same order as the
// core's own routines, so the results are the same to the bit.
static void TransformPair( f32* outXY, const RwV3d& v, const RwMatrix* m, const bool withPos ) {
	const f32 right[2] = { m->right.x, m->right.y };
	const f32 up[2] = { m->up.x, m->up.y };
	const f32 at[2] = { m->at.x, m->at.y };
	const f32 pos[2] = { m->pos.x, m->pos.y };
	for ( u32 lane = 0; lane < 2; lane++ ) {
		const f32 sum = v.x * right[lane] + v.y * up[lane] + v.z * at[lane];
		outXY[lane] = withPos ? sum + pos[lane] : sum;
	}
}

static RwV3d* Transform( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* m, const bool withPos ) {
	for ( s32 i = 0; i < count; i++ ) {
		const RwV3d v = in[i];
		f32 xy[2];
		TransformPair( xy, v, m, withPos );
		const f32 z = v.x * m->right.z + v.y * m->up.z + v.z * m->at.z;
		out[i].x = xy[0];
		out[i].y = xy[1];
		out[i].z = withPos ? z + m->pos.z : z;
	}
	return out;
}

RwV3d* TestDeviceTransformPoints( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	return Transform( out, in, count, matrix, true );
}

RwV3d* TestDeviceTransformVectors( RwV3d* out, const RwV3d* in, const s32 count, const RwMatrix* matrix ) {
	return Transform( out, in, count, matrix, false );
}

RwDevice* _rwDeviceGetHandle() {
	return &testDevice;
}

bool _rwDeviceRegisterPlugin() {
	state.registerPluginCount++;
	const bool rasters = TestDeviceRasterPluginAttach();
	const bool textures = TestDeviceTexturePluginAttach();
	return rasters && textures;
}

void TestDeviceReset() {
	state = TestDeviceState();
	TestDeviceRastersReset();
}

void TestDeviceRefuseRequest( const s32 request, const bool refuse ) {
	if ( request >= 0 && request < TEST_DEVICE_COUNTED_REQUESTS ) {
		state.refused[request] = refuse;
	}
}

void TestDeviceAcceptAllRequests() {
	for ( bool& refused : state.refused ) {
		refused = false;
	}
}

u32 TestDeviceRequestCount( const s32 request ) {
	return state.counts[CounterOf( request )];
}

const GXHostVector<TestDeviceCall>& TestDeviceCalls() {
	return state.calls;
}

void TestDeviceClearCalls() {
	state.calls.clear();
}

void* TestDeviceConfiguration() {
	return state.configuration;
}

const RwMemoryFunctions* TestDeviceMemoryFunctions() {
	return state.memory;
}

void* TestDeviceWorkBlock() {
	return state.workBlock;
}

u32 TestDeviceRegisterPluginCount() {
	return state.registerPluginCount;
}

void TestDeviceSetRenderStateValue( void* value ) {
	state.renderStateValue = value;
}
