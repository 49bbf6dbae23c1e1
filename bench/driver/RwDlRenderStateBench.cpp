// What the render-state cache saves: a state set again against one that
// changes every call, and a bound texture set again against two textures
// taking turns. The counter is GX records per call.

#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include "BenchDriverUp.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr u32 CLEAR_EVERY = 4096;

// Runs call per iteration and reports GX records per call.
template <typename Call>
void Measure( benchmark::State& state, Call call ) {
	u64 records = 0;
	u32 since = 0;
	GXHostClearLog();
	for ( auto _ : state ) {
		call();
		if ( ++since == CLEAR_EVERY ) {
			records += GXHostCurrentFrame().records.size();
			GXHostClearLog();
			since = 0;
		}
	}
	records += GXHostCurrentFrame().records.size();
	state.counters["gx_records_per_call"] =
		benchmark::Counter( static_cast<f64>( records ) / static_cast<f64>( state.iterations() ) );
}

void* Value( const s64 v ) {
	return reinterpret_cast<void*>( static_cast<intptr_t>( v ) );
}

void BM_RenderStateRepeated( benchmark::State& state ) {
	BenchDriverUp up;
	Measure( state, [] { _rwDlSetRenderState( RWDL_STATE_CULL_MODE, Value( 2 ) ); } );
}

void BM_RenderStateChanging( benchmark::State& state ) {
	BenchDriverUp up;
	s64 mode = 1;
	Measure( state, [&] {
		mode = mode == 1 ? 3 : 1;
		_rwDlSetRenderState( RWDL_STATE_CULL_MODE, Value( mode ) );
	} );
}

void BM_TextureSet( benchmark::State& state ) {
	BenchDriverUp up;
	RwRaster* const rasters[2] = { RwRasterCreate( 64, 64, 0, rwRASTERTYPETEXTURE | 0x500 ),
								   RwRasterCreate( 64, 64, 0, rwRASTERTYPETEXTURE | 0x500 ) };
	RwTexture* const textures[2] = { RwTextureCreate( rasters[0] ), RwTextureCreate( rasters[1] ) };
	const bool alternate = state.range( 0 ) != 0;
	u32 turn = 0;
	Measure( state, [&] {
		turn = alternate ? turn ^ 1 : 0;
		_rwDlTextureSet( textures[turn], 0 );
	} );
	for ( u32 i = 0; i < 2; i++ ) {
		RwTextureDestroy( textures[i] );
		RwRasterDestroy( rasters[i] );
	}
}

}	// namespace

BENCHMARK( BM_RenderStateRepeated );
BENCHMARK( BM_RenderStateChanging );
BENCHMARK( BM_TextureSet )->ArgName( "alternating" )->Arg( 0 )->Arg( 1 );
