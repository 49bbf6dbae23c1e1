// The console's default atomic pipeline over one atomic of 5,000 lit,
// pre-lit, textured vertices (a 50 x 100 grid, 9,702 triangles): an
// execution that instances it anew (its meshes changed, so the old
// instance goes and vertex arrays and display lists are written again),
// and one that reuses the instance and only calls its display lists.
// Items are vertices; gx_draws counts the draws the host GPU library
// recorded per execution. The host library decodes every display-list
// draw into a record, so both figures include that recording.
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "platform/gx/GXHost.h"

#include "BenchDriverUp.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr s32 COLUMNS = 50;
constexpr s32 ROWS = 100;
constexpr s32 VERTICES = COLUMNS * ROWS;
constexpr s32 TRIANGLES = 2 * ( COLUMNS - 1 ) * ( ROWS - 1 );
constexpr u32 ARENA_BYTES = 4u << 20;

struct GridAtomic {
	GridAtomic() {
		geometry = RpGeometryCreate( VERTICES, TRIANGLES,
									 rpGEOMETRYPOSITIONS | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT | rpGEOMETRYNORMALS | rpGEOMETRYLIGHT );
		for ( s32 i = 0; i < VERTICES; i++ ) {
			const f32 x = static_cast<f32>( i % COLUMNS );
			const f32 z = static_cast<f32>( i / COLUMNS );
			geometry->morphTarget[0].verts[i] = { x, 0.25f * std::sin( 0.3f * x ) * std::cos( 0.2f * z ), z };
			geometry->morphTarget[0].normals[i] = { 0.0f, 1.0f, 0.0f };
			geometry->preLitLum[i] = { static_cast<u8>( i ), 128, 64, 255 };
			geometry->texCoords[0][i] = { x / COLUMNS, z / ROWS };
		}
		s32 t = 0;
		for ( s32 row = 0; row + 1 < ROWS; row++ ) {
			for ( s32 column = 0; column + 1 < COLUMNS; column++ ) {
				const u16 a = static_cast<u16>( row * COLUMNS + column );
				const u16 b = static_cast<u16>( a + 1 );
				const u16 c = static_cast<u16>( a + COLUMNS );
				const u16 d = static_cast<u16>( c + 1 );
				geometry->triangles[t++] = { { a, c, b }, 0 };
				geometry->triangles[t++] = { { b, c, d }, 0 };
			}
		}
		material = RpMaterialCreate();
		_rpMaterialListAppendMaterial( &geometry->matList, material );
		RpGeometryUnlock( geometry );
		atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
	}
	~GridAtomic() {
		Drain();
		RpAtomicDestroy( atomic );
		RpGeometryDestroy( geometry );
		RpMaterialDestroy( material );
	}

	bool Execute() { return RxPipelineExecute( _rxPipelineGetDefaultAtomicPipeline(), atomic, true ) != nullptr; }

	// Waits until the GPU has passed everything issued so far.
	static void Drain() {
		const u16 token = _RwDlTokenCurrent;
		_rwDlTokenIssue();
		_rwDlTokenWait( token );
	}

	RpGeometry*	geometry = nullptr;
	RpMaterial*	material = nullptr;
	RpAtomic*	atomic = nullptr;
};

// Executes the pipeline once per iteration; between executions, out of
// the timing, prepare runs, the GPU catches up and the host log is
// emptied (each record holds the decoded vertices of its draw).
template <typename Prepare>
void Measure( benchmark::State& state, GridAtomic& grid, Prepare prepare ) {
	u64 draws = 0;
	for ( auto _ : state ) {
		state.PauseTiming();
		prepare();
		GridAtomic::Drain();
		GXHostClearLog();
		state.ResumeTiming();
		if ( !grid.Execute() ) {
			state.SkipWithError( "the pipeline failed" );
			break;
		}
		draws += GXHostCurrentFrame().draws.size();
	}
	state.SetItemsProcessed( static_cast<int64_t>( state.iterations() ) * VERTICES );
	state.counters["gx_draws"] = static_cast<f64>( draws ) / static_cast<f64>( state.iterations() );
}

void BM_AtomicPipelineInstance( benchmark::State& state ) {
	BenchDriverUp up( RpWorldPluginAttach, ARENA_BYTES );
	GridAtomic grid;
	// New meshes each time: the instance is stale and goes.
	Measure( state, grid, [&grid] { grid.geometry->mesh->serialNum++; } );
	if ( grid.geometry->repEntry == nullptr ) {
		state.SkipWithError( "the atomic was not instanced" );
	}
}

void BM_AtomicPipelineReuse( benchmark::State& state ) {
	BenchDriverUp up( RpWorldPluginAttach, ARENA_BYTES );
	GridAtomic grid;
	grid.Execute();
	RwResEntry* const entry = grid.geometry->repEntry;
	Measure( state, grid, [] {} );
	if ( entry == nullptr || grid.geometry->repEntry != entry ) {
		state.SkipWithError( "the instance was not reused" );
	}
}

}	// namespace

BENCHMARK( BM_AtomicPipelineInstance );
BENCHMARK( BM_AtomicPipelineReuse );
