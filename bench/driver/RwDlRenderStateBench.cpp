// What the render-state cache saves: a state set again against one that
// changes every call, and a bound texture set again against two textures
// taking turns. The counter is GX records per call.

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlDriver.h"
#include "graphics3d/gamecube/RwDlRenderState.h"
#include "platform/gx/GXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr u32 CLEAR_EVERY = 4096;

void* Malloc( const u32 size ) { return std::malloc( size ); }
void Free( void* block ) { std::free( block ); }
void* Realloc( void* block, const u32 size ) { return std::realloc( block, size ); }
void* Calloc( const u32 count, const u32 size ) { return std::calloc( count, size ); }

const RwMemoryFunctions memory = { Malloc, Free, Realloc, Calloc };

// The library up over the driver for the length of one benchmark.
struct DriverUp {
	RwGameCubeDeviceConfig	config = { nullptr, 0, 0 };
	RwGameCubeDeviceConfig*	displayId = &config;

	DriverUp() {
		HostResetEvents();
		HostClockUseVirtual( 0 );
		GXHostReset();
		VIInit();
		RwEngineInit( &memory, 0, 0 );
		RwEngineOpen( &displayId );
		RwEngineStart();
	}
	~DriverUp() {
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
		VIHostReset();
		HostResetEvents();
	}
};

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
	DriverUp up;
	Measure( state, [] { _rwDlSetRenderState( RWDL_STATE_CULL_MODE, Value( 2 ) ); } );
}

void BM_RenderStateChanging( benchmark::State& state ) {
	DriverUp up;
	s64 mode = 1;
	Measure( state, [&] {
		mode = mode == 1 ? 3 : 1;
		_rwDlSetRenderState( RWDL_STATE_CULL_MODE, Value( mode ) );
	} );
}

void BM_TextureSet( benchmark::State& state ) {
	DriverUp up;
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
