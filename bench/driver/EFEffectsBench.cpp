// A frame of each screen effect through the console driver: 300 sprites,
// 500 billboards, an 8-point trail of 64 rows. The counter is the time
// per sprite, billboard or trail sample drawn.

#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/graphics/effects/EFBillboardMgr.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFSprite.h"
#include "framework/graphics/effects/EFSpriteGroup.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpWorldPlugin.h"

#include "BenchDriverUp.h"

#include <benchmark/benchmark.h>

namespace {

constexpr u32 CLEAR_EVERY = 64;

// The library up with its world plug-in (billboard materials), a camera
// at the origin looking along +z, updating, and a texture "BB" in the
// current dictionary.
struct EffectsScene {
	BenchDriverUp		up{ RpWorldPluginAttach };
	RwCamera*			camera = RwCameraCreate();
	RwFrame*			frame = RwFrameCreate();
	RwTexDictionary*	dictionary = RwTexDictionaryCreate();

	EffectsScene() {
		_rwObjectHasFrameSetFrame( &camera->object, frame );
		camera->frameBuffer = RwRasterCreate( 640, 448, 0, rwRASTERTYPECAMERA );
		camera->zBuffer = RwRasterCreate( 640, 448, 0, rwRASTERTYPEZBUFFER );
		RwCameraSetNearClipPlane( camera, 1.0f );
		RwCameraSetFarClipPlane( camera, 1000.0f );
		RwTexDictionarySetCurrent( dictionary );
		RwTexture* const texture = RwTextureCreate( RwRasterCreate( 8, 8, 0, rwRASTERTYPETEXTURE ) );
		RwTextureSetName( texture, "BB" );
		RwTexDictionaryAddTexture( dictionary, texture );
		RwCameraBeginUpdate( camera );
	}
	~EffectsScene() {
		RwCameraEndUpdate( camera );
		RwTexDictionaryDestroy( dictionary );
		RwRaster* const rasters[2] = { camera->frameBuffer, camera->zBuffer };
		camera->frameBuffer = nullptr;
		camera->zBuffer = nullptr;
		RwCameraDestroy( camera );
		RwFrameDestroy( frame );
		for ( RwRaster* raster : rasters ) {
			RwRasterDestroy( raster );
		}
	}
};

// Runs frame per iteration; reports the time per item.
template <typename Frame>
void Measure( benchmark::State& state, const u32 items, Frame frame ) {
	u32 since = 0;
	GXHostClearLog();
	for ( auto _ : state ) {
		frame();
		if ( ++since == CLEAR_EVERY ) {
			GXHostClearLog();
			since = 0;
		}
	}
	state.counters["per_item"] = benchmark::Counter( static_cast<f64>( items ),
														 benchmark::Counter::kIsIterationInvariantRate |
															 benchmark::Counter::kInvert );
}

void BM_Sprites300( benchmark::State& state ) {
	EffectsScene scene;
	EFSpriteGroup* const group = goSpriteMgr.AddSpriteGroup();
	group->SetTexture( "BB" );
	group->mui32Flags = EF_SPRITE_SORT;
	for ( u32 i = 0; i < 300; i++ ) {
		EFSprite* const sprite = group->GetSprite( group->AddSprite( 0, EF_SPRITE_NO_JOINT, 0.5f ) );
		RwFrame* const own = sprite->GetFrame()->GetRwFrame();
		own->modelling.pos = { 0.01f * static_cast<f32>( i ), 0.0f, 2.0f + 0.1f * static_cast<f32>( i % 97 ) };
		RwFrameUpdateObjects( own );
	}
	Measure( state, 300, [] { goSpriteMgr.RenderNormal(); } );
	goSpriteMgr.Terminate();
}
BENCHMARK( BM_Sprites300 );

void BM_Billboards500( benchmark::State& state ) {
	EffectsScene scene;
	EFBillboardMgr billboards;
	char name[] = "BB";
	DTVector3d* positions = nullptr;
	u32* colours = nullptr;
	f32* rotations = nullptr;
	f32* sizes = nullptr;
	billboards.AddBillboardGroup( 500, name, 0x200, &positions, &colours, &rotations, &sizes );
	for ( u32 i = 0; i < 500; i++ ) {
		positions[i] = DTVector3d( 0.02f * static_cast<f32>( i % 50 ), 0.0f, 4.0f + static_cast<f32>( i % 40 ) );
		colours[i] = 0x80FFFFFF;
		rotations[i] = 0.013f * static_cast<f32>( i );
		sizes[i] = 0.5f;
	}
	Measure( state, 500, [&billboards] { billboards.Render(); } );
	billboards.Terminate();
}
BENCHMARK( BM_Billboards500 );

void BM_Trail8x64( benchmark::State& state ) {
	EffectsScene scene;
	const u32 trail = goMotionTrailMgr.CreateSystem( 8, 64, EF_TRAIL_STORED_POSITIONS );
	for ( u32 i = 0; i < 8; i++ ) {
		const DTVector3d at( static_cast<f32>( i ), 0.0f, 10.0f );
		goMotionTrailMgr.SetPosition( trail, i, &at );
		goMotionTrailMgr.SetLifeSpan( trail, i, 2.0f );
		goMotionTrailMgr.SetRGB( trail, i, 1.0f, 0.5f, 0.25f );
	}
	goMotionTrailMgr.Start( trail );
	goMotionTrailMgr.SetFrequency( trail, 0.0f );
	for ( u32 i = 0; i < 64; i++ ) {
		goMotionTrailMgr.Update( 0.016f );
	}
	Measure( state, 8 * 64, [] {
		goMotionTrailMgr.Update( 0.016f );
		goMotionTrailMgr.Render();
	} );
	goMotionTrailMgr.Terminate();
}
BENCHMARK( BM_Trail8x64 );

} // namespace
