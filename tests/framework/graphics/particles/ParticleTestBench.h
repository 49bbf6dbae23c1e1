/*
===============================================================================

	Fixture of the particle tests: the world bench (library, world,
	graphics manager, logic manager) with a particle manager, a texture
	"dot" in the current dictionary, the frame's work memory over a test
	buffer, and a render camera (640 x 480 frame buffer) made current so
	that render states and 2D calls reach the test device's log.

===============================================================================
*/
#ifndef PARTICLE_TEST_BENCH_H
#define PARTICLE_TEST_BENCH_H

#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/world/WorldTestBench.h"
#include "framework/graphics/particles/PLMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/testdevice/TestDevice.h"
#include "platform/runtime/RuntimeRand.h"
#include "tools/lib/level/ToolParticleWriter.h"

#include <vector>

class ParticleTestBench : public WorldTestBench {
protected:
	void SetUp() override {
		WorldTestBench::SetUp();
		moSavedWork = _WorkMem;
		mWorkBuffer.assign( 64 * 1024, 0 );
		moWork = new DTWorkMemory( mWorkBuffer.data(), static_cast<u32>( mWorkBuffer.size() ) );
		_WorkMem = moWork;
		mpTexture = RwTextureCreate( RwRasterCreate( 4, 4, 0, rwRASTERTYPETEXTURE ) );
		RwTextureSetName( mpTexture, "dot" );
		RwTexDictionaryAddTexture( RwTexDictionaryGetCurrent(), mpTexture );
		moParticles = new PLMgr();
		mpRenderCamera = RwCameraCreate();
		mpRenderCamera->frameBuffer = RwRasterCreate( 640, 480, 0, rwRASTERTYPECAMERA );
		RuntimeSrand( 1 );
	}

	void TearDown() override {
		RwEngineInstance->currentCamera = nullptr;
		delete moParticles;
		RwRasterDestroy( mpRenderCamera->frameBuffer );
		mpRenderCamera->frameBuffer = nullptr;
		RwCameraDestroy( mpRenderCamera );
		_WorkMem = moSavedWork;
		delete moWork;
		WorldTestBench::TearDown();
	}

	// Makes the render camera current: identity view (camera space is
	// world space), near plane 1, view window 1 x 1, z scale 1, shift 0.
	void BeginDrawing() {
		mpRenderCamera->viewMatrix = {};
		mpRenderCamera->viewMatrix.right = { 1.0f, 0.0f, 0.0f };
		mpRenderCamera->viewMatrix.up = { 0.0f, 1.0f, 0.0f };
		mpRenderCamera->viewMatrix.at = { 0.0f, 0.0f, 1.0f };
		mpRenderCamera->nearPlane = 1.0f;
		mpRenderCamera->viewWindow = { 1.0f, 1.0f };
		mpRenderCamera->zScale = 1.0f;
		mpRenderCamera->zShift = 0.0f;
		RwEngineInstance->currentCamera = mpRenderCamera;
		TestDeviceClearCalls();
	}

	// A run-time type with the texture, and an emitter of it on a frame of
	// its own at (x, y, z).
	PLEmitter* MakeEmitter( const f32 x = 0.0f, const f32 y = 0.0f, const f32 z = 0.0f ) {
		PLType* const type = static_cast<PLType*>( moParticles->GetType( moParticles->ParticleTypeCreate() ) );
		type->SetTexture( "dot" );
		PLEmitter* const emitter =
			static_cast<PLEmitter*>( moParticles->GetEmitter( moParticles->ParticleEmitterCreate( type->GetUID(), nullptr ) ) );
		emitter->CreateFrame( nullptr );
		MoveTo( *emitter, x, y, z );
		emitter->mui32Flags = 0;
		emitter->Start( 0 );
		return emitter;
	}

	static std::vector<PLParticle*> Particles( const PLEmitter& emitter ) {
		std::vector<PLParticle*> out;
		for ( PLParticle* p = emitter.moParticles.GetFirst(); p != nullptr; p = p->mpoNext ) {
			out.push_back( p );
		}
		return out;
	}

	// Loads bytes into the manager as one level record would.
	s32 Feed( std::vector<u8> bytes ) {
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		return moParticles->Load( stream );
	}

	// Logged 2D primitive calls: their vertex counts.
	static std::vector<s32> DrawCalls() {
		std::vector<s32> counts;
		for ( const TestDeviceCall& call : TestDeviceCalls() ) {
			if ( call.kind == TestDeviceCall::IM2D_PRIMITIVE ) {
				counts.push_back( call.numVertices );
			}
		}
		return counts;
	}

	// Logged render-state sets of state, in order.
	static std::vector<u32> StateSets( const s32 state ) {
		std::vector<u32> values;
		for ( const TestDeviceCall& call : TestDeviceCalls() ) {
			if ( call.kind == TestDeviceCall::RENDER_STATE_SET && call.state == state ) {
				values.push_back( static_cast<u32>( reinterpret_cast<uintptr_t>( call.value ) ) );
			}
		}
		return values;
	}

	PLMgr*				moParticles = nullptr;
	RwTexture*			mpTexture = nullptr;
	RwCamera*			mpRenderCamera = nullptr;
	DTWorkMemory*		moWork = nullptr;
	DTWorkMemory*		moSavedWork = nullptr;
	std::vector<u8>		mWorkBuffer;
};

#endif
