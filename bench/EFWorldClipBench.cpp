// Speed of the world's clipping pass over 200, 1000 and 2000 game objects
// seen by two cameras, in its steady state: after the first pass no clip
// state changes, so the pass allocates nothing per object. Half the
// objects run the distance test over five bands.
//
// The benchmark program runs without the 3D library's device, so objects
// and cameras have no frames: every object sits at the origin, in view.
// The pass does all its per-object work all the same.
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/logic/EFGameLogicMgr.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_EFWorldClipGameObjects( benchmark::State & state ) {
	const u32 count = static_cast<u32>( state.range( 0 ) );
	EFAppContext context{};
	EFGraphicsMgr * const graphics = new EFGraphicsMgr( context );
	gpoGameLogicMgr = new EFGameLogicMgr();
	gpoWorldMgr = new EFWorld();
	graphics->CreateCamera( nullptr );
	graphics->CreateCamera( nullptr );
	EFClippingParams bands = {};
	bands.fThreshold = 0.5f;
	for ( u32 band = 0; band < EF_CLIP_DISTANCE_COUNT; band++ ) {
		bands.oDists[band] = { 10.0f * static_cast<f32>( band + 1 ), EF_CLIPOP_DEFAULT_OUT, 0 };
	}
	for ( u32 i = 0; i < count; i++ ) {
		EFGameObject * const object = new EFGameObject;
		object->SetUID( 0x2a000001 + i );
		if ( ( i & 1 ) != 0 ) {
			object->SetClippingParams( &bands, 0 );
		}
		gpoWorldMgr->AddGameObject( object );
	}
	gpoWorldMgr->PrepareRender();
	for ( auto _ : state ) {
		gpoWorldMgr->ClipGameObjects();
	}
	benchmark::DoNotOptimize( gpoWorldMgr->GetListHead( EF_WORLD_LOGIC_LIST ) );
	state.SetItemsProcessed( state.iterations() * count );
	gpoWorldMgr->Terminate();
	graphics->DestroyCamera( 0 );
	graphics->DestroyCamera( 1 );
	delete gpoWorldMgr;
	gpoWorldMgr = nullptr;
	delete gpoGameLogicMgr;
	gpoGameLogicMgr = nullptr;
	delete graphics;
}
BENCHMARK( BM_EFWorldClipGameObjects )->Arg( 200 )->Arg( 1000 )->Arg( 2000 );
