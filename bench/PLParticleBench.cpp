// Speed of the particle manager's frame: 600 live particles (the whole
// pool) over 50 emitters of one plain type, Update then Render through a
// 640 x 480 camera, in microseconds per frame. The library runs over the
// host test device, whose 2D entry only logs the batches.
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "framework/graphics/particles/PLMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "tests/graphics3d/testdevice/TestDevice.h"

#include <benchmark/benchmark.h>

namespace {

// Handed to the device's open; the device keeps it unread.
u32 deviceConfig = 0;
constexpr u32 EMITTERS = 50;

void BM_ParticleFrame( benchmark::State& state ) {
	if ( !RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) || !RwEngineOpen( &deviceConfig ) || !RwEngineStart() ) {
		state.SkipWithError( "the library does not start" );
		return;
	}
	RwTexDictionary* const dictionary = RwTexDictionaryCreate();
	RwTexDictionarySetCurrent( dictionary );
	RwTexture* const texture = RwTextureCreate( RwRasterCreate( 4, 4, 0, rwRASTERTYPETEXTURE ) );
	RwTextureSetName( texture, "dot" );
	RwTexDictionaryAddTexture( dictionary, texture );
	RwCamera* const camera = RwCameraCreate();
	camera->frameBuffer = RwRasterCreate( 640, 480, 0, rwRASTERTYPECAMERA );
	camera->viewMatrix = {};
	camera->viewMatrix.right = { 1.0f, 0.0f, 0.0f };
	camera->viewMatrix.up = { 0.0f, 1.0f, 0.0f };
	camera->viewMatrix.at = { 0.0f, 0.0f, 1.0f };
	camera->nearPlane = 0.1f;
	camera->viewWindow = { 1.0f, 1.0f };
	RwEngineInstance->currentCamera = camera;
	{
		PLMgr manager;
		const s32 typeId = manager.ParticleTypeCreate();
		PLType* const type = static_cast<PLType*>( manager.GetType( typeId ) );
		type->SetTexture( "dot" );
		type->SetInt( PL_INT_FLAGS, 0 );
		type->SetInt( PL_INT_PER_LAUNCH, PL_POOL_SIZE / EMITTERS );
		type->SetReal( PL_REAL_LIFESPAN, 1.0e6f );
		type->SetReal( PL_REAL_SPEED, 0.01f );
		for ( u32 i = 0; i < EMITTERS; i++ ) {
			PLEmitter* const emitter =
				static_cast<PLEmitter*>( manager.GetEmitter( manager.ParticleEmitterCreate( typeId, nullptr ) ) );
			emitter->CreateFrame( nullptr );
			RwFrame* const frame = emitter->GetFrame()->GetRwFrame();
			frame->modelling.pos = { 0.01f * static_cast<f32>( i ), 0.0f, 2.0f };
			RwFrameUpdateObjects( frame );
			emitter->mui32Flags = 0;
			emitter->Start( 0 );
		}
		manager.Update( 1.0f / 60.0f );
		for ( auto _ : state ) {
			manager.Update( 1.0f / 60.0f );
			manager.Render();
			TestDeviceClearCalls();
		}
		state.counters["live"] = static_cast<double>( manager.GetStatistic( 0 ) );
	}
	RwEngineInstance->currentCamera = nullptr;
	RwRasterDestroy( camera->frameBuffer );
	camera->frameBuffer = nullptr;
	RwCameraDestroy( camera );
	RwTexDictionaryDestroy( dictionary );
	RwEngineStop();
	RwEngineClose();
	RwEngineTerm();
}

}

BENCHMARK( BM_ParticleFrame )->Unit( benchmark::kMicrosecond );
