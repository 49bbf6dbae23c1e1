/*
===============================================================================

	Fixture for the screen-effect tests on the console driver: a graphics
	manager opens the library, a world holds game objects, and camera 0
	(the manager's) looks from the origin along +z with a view window of
	(1, 1) into a 512 x 256 raster of its own, near plane 1, far 100.

	With that camera a world point (x, y, z) is at camera-space
	(0.5 (z - x), 0.5 (z - y), z), so its pixel is
	(256 (1 - x / z), 128 (1 - y / z)).

===============================================================================
*/
#ifndef SCREEN_EFFECTS_TEST_BENCH_H
#define SCREEN_EFFECTS_TEST_BENCH_H

#include "framework/graphics/scene_driver/SceneDriverTestBench.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"

#include <vector>

constexpr s32 EFFECTS_WIDTH		= 512;
constexpr s32 EFFECTS_HEIGHT	= 256;

class ScreenEffectsTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		manager = Make( "" );
		gpoGameLogicMgr = new EFGameLogicMgr();
		EFLogicStack::Create();
		gpoWorldMgr = new EFWorld();
		view = manager->GetCamera( manager->CreateCamera( nullptr ) );
		RwCamera* const rw = view->mpoRwCamera;
		const RwV2d window = { 1.0f, 1.0f };
		RwCameraSetViewWindow( rw, &window );
		RwCameraSetNearClipPlane( rw, 1.0f );
		RwCameraSetFarClipPlane( rw, 100.0f );
		view->SetRasters( RwRasterCreate( EFFECTS_WIDTH, EFFECTS_HEIGHT, 0, rwRASTERTYPECAMERA ),
						  RwRasterCreate( EFFECTS_WIDTH, EFFECTS_HEIGHT, 0, rwRASTERTYPEZBUFFER ) );
		view->Begin();
		GXHostClearLog();
	}

	void TearDown() override {
		if ( RwEngineInstance != nullptr && RwEngineInstance->currentCamera != nullptr ) {
			view->End();
		}
		gpoWorldMgr->Terminate();
		delete gpoWorldMgr;
		gpoWorldMgr = nullptr;
		EFLogicStack::Destroy();
		gpoGameLogicMgr->Terminate();
		delete gpoGameLogicMgr;
		gpoGameLogicMgr = nullptr;
		SceneDriverTest::TearDown();
	}

	// Every object gone, into a new world.
	static void ResetWorld() {
		gpoWorldMgr->Terminate();
		delete gpoWorldMgr;
		gpoWorldMgr = new EFWorld();
	}

	// A game object of id at (x, y, z), in the world.
	static EFGameObject* MakeObject( const u32 id, const f32 x, const f32 y, const f32 z ) {
		EFGameObject* const object = new EFGameObject;
		object->SetUID( id );
		object->CreateFrame( nullptr );
		RwFrame* const frame = object->GetFrame()->GetRwFrame();
		frame->modelling.pos = { x, y, z };
		RwFrameUpdateObjects( frame );
		gpoWorldMgr->AddGameObject( object );
		return object;
	}

	// A texture of that name in the current dictionary.
	static RwTexture* AddTexture( const char* name ) {
		RwTexture* const texture = RwTextureCreate( RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE ) );
		RwTextureSetName( texture, name );
		RwTexDictionaryAddTexture( RwTexDictionaryGetCurrent(), texture );
		return texture;
	}

	// Vertices of every draw so far, one list per draw.
	static std::vector<std::vector<GXHostVertex>> DrawnVertices() {
		std::vector<std::vector<GXHostVertex>> draws;
		for ( const GXHostDraw* draw : Draws() ) {
			draws.emplace_back( draw->vertices.begin(), draw->vertices.end() );
		}
		return draws;
	}

	EFGraphicsMgr*	manager = nullptr;
	EFCamera*		view = nullptr;
};

#endif
