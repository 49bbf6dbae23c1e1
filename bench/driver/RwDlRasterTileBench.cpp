// Tiling and untiling of a 512 x 512 level at every depth the driver
// lays out.

#include "graphics3d/gamecube/RwDlRaster.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr s32 SIDE = 512;

u32 StrideFor( const s32 depth ) {
	return static_cast<u32>( SIDE * depth / 8 );
}

void BM_Tile( benchmark::State& state ) {
	const s32 depth = static_cast<s32>( state.range( 0 ) );
	const u32 stride = StrideFor( depth );
	std::vector<u8> linear( stride * SIDE, 0x5A );
	std::vector<u8> tiled( stride * SIDE );
	for ( auto _ : state ) {
		DlRasterTile( tiled.data(), linear.data(), SIDE, SIDE, depth, static_cast<s32>( stride ) );
		benchmark::DoNotOptimize( tiled.data() );
	}
	state.SetBytesProcessed( static_cast<s64>( state.iterations() ) * stride * SIDE );
}

void BM_Untile( benchmark::State& state ) {
	const s32 depth = static_cast<s32>( state.range( 0 ) );
	const u32 stride = StrideFor( depth );
	std::vector<u8> tiled( stride * SIDE, 0xA5 );
	std::vector<u8> linear( stride * SIDE );
	for ( auto _ : state ) {
		DlRasterUntile( linear.data(), tiled.data(), SIDE, SIDE, depth, static_cast<s32>( stride ) );
		benchmark::DoNotOptimize( linear.data() );
	}
	state.SetBytesProcessed( static_cast<s64>( state.iterations() ) * stride * SIDE );
}

}	// namespace

BENCHMARK( BM_Tile )->Arg( 4 )->Arg( 8 )->Arg( 16 )->Arg( 32 );
BENCHMARK( BM_Untile )->Arg( 4 )->Arg( 8 )->Arg( 16 )->Arg( 32 );
