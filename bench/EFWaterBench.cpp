// Speed of one water simulation pass on the largest grid (108 x 100
// cells): the wave step with its running neighbour sums, then 32 listed
// characters (all over one cell: the benchmark program has no frames, so
// every object stands at the origin, in the middle of the grid). Beside
// it, the wave step alone and the nine-neighbour reference it replaces.
#include "framework/behaviour/EFDMInterface.h"
#include "framework/behaviour/EFDMWaterSimulation.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFWaterGrid.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "framework/physics/EFDynamicPhysic.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "tests/framework/behaviour/WaterReference.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr u32 WIDTH = 108;
constexpr u32 HEIGHT = 100;
constexpr f32 C = 0.08f;

// Heights of a rough surface, border 0.
std::vector<f32> Surface( const u32 seed ) {
	std::mt19937 random( seed );
	std::uniform_real_distribution<f32> height( -0.2f, 0.2f );
	std::vector<f32> cells( WIDTH * HEIGHT, 0.0f );
	for ( u32 row = 1; row + 1 < HEIGHT; row++ ) {
		for ( u32 column = 1; column + 1 < WIDTH; column++ ) {
			cells[row * WIDTH + column] = height( random );
		}
	}
	return cells;
}

}

static void BM_EFWaterPass( benchmark::State & state ) {
	gpoGameLogicMgr = new EFGameLogicMgr();
	gpoWorldMgr = new EFWorld();
	EFGameObject * const owner = new EFGameObject;
	owner->SetUID( 0x2a000001 );
	gpoWorldMgr->AddGameObject( owner );
	EFWaterGrid * const grid = new EFWaterGrid;
	grid->mpGameObjectOwner = owner;
	grid->moGrid.muiColumns = WIDTH;
	grid->moGrid.muiRows = HEIGHT;
	grid->moGrid.moLocalOrigin = DTVector3d( -54.0f, 0.0f, -50.0f );
	grid->moGrid.moLocalColumnStep = DTVector3d( 1.0f, 0.0f, 0.0f );
	grid->moGrid.moLocalRowStep = DTVector3d( 0.0f, 0.0f, 1.0f );
	owner->mppEFInstance = new EFInstance *[1]{ grid };
	owner->muiNbInstance = 1;
	owner->muiNb3dObj = 1;
	EFPhysic * const body = owner->CreatePhysic( 0 );
	std::vector<u32> ids;
	for ( u32 i = 0; i < EF_DM_WATER_MAX_CHARACTERS; i++ ) {
		EFGameObject * const character = new EFGameObject;
		character->SetUID( 0x2a000100 + i );
		gpoWorldMgr->AddGameObject( character );
		ids.push_back( character->GetUID() );
	}
	EFDMWaterSimulation * const water = new EFDMWaterSimulation( body, owner, EF_DM_WATER );
	body->LinkModule( water );
	DMWaterSimulationParams params = { 0.98f, 2.0f, 1.0f, 1.0f, 1.0f, 0.01f, 0, 0.2f, EF_DM_WATER_MAX_CHARACTERS,
									   ids.data(), { 1.0f, 1.0f, 1.0f }, 0x2 };
	water->SetParams( &params );
	EFDynamicPhysic record = {};
	water->PreColUpdate( record, 1.0f / 60.0f );
	for ( auto _ : state ) {
		water->PreColUpdate( record, 1.0f / 60.0f );
		benchmark::DoNotOptimize( water->mpfBufferB[50 * WIDTH + 54] );
	}
	state.SetItemsProcessed( state.iterations() * WIDTH * HEIGHT );
	EFPhysicMgr::moPhysicMgr.Terminate();
	gpoWorldMgr->Terminate();
	delete gpoWorldMgr;
	gpoWorldMgr = nullptr;
	gpoGameLogicMgr->Terminate();
	delete gpoGameLogicMgr;
	gpoGameLogicMgr = nullptr;
}
BENCHMARK( BM_EFWaterPass )->Unit( benchmark::kMicrosecond );

static void BM_EFWaterWaveStep( benchmark::State & state ) {
	std::vector<f32> a = Surface( 1 );
	std::vector<f32> b = Surface( 2 );
	for ( auto _ : state ) {
		EFDMWaterSimulation::WaveStep( a.data(), b.data(), WIDTH, HEIGHT, 0.98f, C );
		a.swap( b );
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed( state.iterations() * WIDTH * HEIGHT );
}
BENCHMARK( BM_EFWaterWaveStep )->Unit( benchmark::kMicrosecond );

static void BM_EFWaterWaveStepNaive( benchmark::State & state ) {
	std::vector<f32> a = Surface( 1 );
	std::vector<f32> b = Surface( 2 );
	for ( auto _ : state ) {
		NaiveWaveStep( a, b, WIDTH, HEIGHT, 0.98f, C );
		a.swap( b );
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed( state.iterations() * WIDTH * HEIGHT );
}
BENCHMARK( BM_EFWaterWaveStepNaive )->Unit( benchmark::kMicrosecond );
