// Per-frame work of the water and ground-fog grids at the column cap: a
// 108 x 100 grid (100 cells across plus the borders, 98 rows plus the
// two beyond). Water: shading of the inner vertices from the heights and
// the strip submission; fog: the haze of every slot. The library runs
// over the host test device, which only logs what it is given.
#include "framework/graphics/EFGroundFogGrid.h"
#include "framework/graphics/EFWaterGrid.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "tests/graphics3d/testdevice/TestDevice.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

u32 deviceConfig = 0;
constexpr u32 COLUMNS = 108;
constexpr u32 ROWS = 100;

// A valid 108 x 100 layout with unit steps, its vertices built, and a
// rippled height buffer of the same size.
void Lay( EFGridLayout& grid, std::vector<f32>& heights, const bool haze ) {
	grid.muiColumns = COLUMNS;
	grid.muiRows = ROWS;
	grid.moWorldColumnStep = DTVector3d( 1.0f, 0.0f, 0.0f );
	grid.moWorldRowStep = DTVector3d( 0.0f, 0.0f, 1.0f );
	grid.muiFlags |= EF_GRID_LAYOUT_VALID;
	grid.Build( { 255, 255, 255, 250 }, haze );
	heights.resize( COLUMNS * ROWS );
	for ( u32 i = 0; i < heights.size(); i++ ) {
		heights[i] = 0.05f * std::sin( 0.3f * static_cast<f32>( i % COLUMNS ) + 0.2f * static_cast<f32>( i / COLUMNS ) );
	}
	grid.muiHeightCount = COLUMNS * ROWS;
	grid.mpfHeights = heights.data();
}

bool Start( RwCamera*& camera, RwFrame*& frame ) {
	if ( !RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) || !RwEngineOpen( &deviceConfig ) || !RwEngineStart() ) {
		return false;
	}
	camera = RwCameraCreate();
	frame = RwFrameCreate();
	_rwObjectHasFrameSetFrame( &camera->object, frame );
	frame->modelling.pos = { 54.0f, 3.0f, -10.0f };
	RwFrameUpdateObjects( frame );
	RwEngineInstance->currentCamera = camera;
	return true;
}

void Stop( RwCamera* camera ) {
	RwEngineInstance->currentCamera = nullptr;
	RwFrame* const frame = static_cast<RwFrame*>( camera->object.object.parent );
	_rwObjectHasFrameSetFrame( &camera->object, nullptr );
	RwFrameDestroy( frame );
	RwCameraDestroy( camera );
	RwEngineStop();
	RwEngineClose();
	RwEngineTerm();
}

void BM_WaterGridShadeAndStrips( benchmark::State& state ) {
	RwCamera* camera = nullptr;
	RwFrame* frame = nullptr;
	if ( !Start( camera, frame ) ) {
		state.SkipWithError( "the library does not start" );
		return;
	}
	{
		EFWaterGrid grid;
		std::vector<f32> heights;
		Lay( grid.moGrid, heights, false );
		for ( auto _ : state ) {
			grid.ComputeNormal();
			grid.moGrid.DrawStrips( EF_GRID_TRIANGLE_STRIPS );
			TestDeviceClearCalls();
		}
		state.SetItemsProcessed( state.iterations() * COLUMNS * ROWS );
	}
	Stop( camera );
}
BENCHMARK( BM_WaterGridShadeAndStrips )->Unit( benchmark::kMicrosecond );

void BM_FogGridHaze( benchmark::State& state ) {
	RwCamera* camera = nullptr;
	RwFrame* frame = nullptr;
	if ( !Start( camera, frame ) ) {
		state.SkipWithError( "the library does not start" );
		return;
	}
	{
		EFGroundFogGrid grid;
		grid.mafFog[0] = 20.0f;
		grid.mafFog[1] = 60.0f;
		grid.mafFog[2] = 0.3f;
		grid.mafFog[3] = 2.0f;
		std::vector<f32> heights;
		Lay( grid.moGrid, heights, true );
		for ( auto _ : state ) {
			grid.ComputeFogPlaneHaze();
			benchmark::DoNotOptimize( grid.moGrid.mpoVertices[COLUMNS].color );
		}
		state.SetItemsProcessed( state.iterations() * 2 * COLUMNS * ROWS );
	}
	Stop( camera );
}
BENCHMARK( BM_FogGridHaze )->Unit( benchmark::kMicrosecond );

}
