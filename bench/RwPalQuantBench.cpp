// The palette quantiser as the texture reader drives it: adding a
// 256 x 256 32-bit image (alone, or with its whole mip chain sharing one
// palette), resolving 256 entries and matching every pixel.

#include "datatypes/memory/MMMemory.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwPalQuant.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

const RwMemoryFunctions engineMemory = { MMMalloc, MMFree, MMRealloc, MMCalloc };
const s32 SIDE = 256;

// A 32-bit image whose pixels live in a vector.
struct BenchImage {
	std::vector<RwRGBA>	pixels;
	RwImage				image;
};

void OpenMemory() {
	RwEngineInstance = &staticGlobals;
	staticGlobals.freeListAllocHook = MallocWrapper;
	staticGlobals.freeListFreeHook = FreeWrapper;
	_rwFreeListEnable( false );
	_rwMemoryOpen( &engineMemory );
}

// A photograph-like image: smooth gradients with a little noise.
void MakeLevel( BenchImage& out, const s32 side, const BenchImage* above ) {
	out.pixels.resize( static_cast<size_t>( side * side ) );
	u32 noise = 12345;
	for ( s32 y = 0; y < side; y++ ) {
		for ( s32 x = 0; x < side; x++ ) {
			RwRGBA& p = out.pixels[static_cast<size_t>( y * side + x )];
			if ( above == nullptr ) {
				noise = noise * 1103515245u + 12345u;
				p = { static_cast<u8>( x + ( ( noise >> 16 ) & 7 ) ), static_cast<u8>( y ), static_cast<u8>( ( x + y ) / 2 ),
					  static_cast<u8>( 255 - ( ( noise >> 20 ) & 15 ) ) };
				continue;
			}
			// The average of the four pixels above.
			const s32 wide = side * 2;
			u32 sum[4] = {};
			for ( s32 i = 0; i < 4; i++ ) {
				const RwRGBA& q = above->pixels[static_cast<size_t>( ( y * 2 + i / 2 ) * wide + x * 2 + i % 2 )];
				sum[0] += q.red;
				sum[1] += q.green;
				sum[2] += q.blue;
				sum[3] += q.alpha;
			}
			p = { static_cast<u8>( sum[0] / 4 ), static_cast<u8>( sum[1] / 4 ), static_cast<u8>( sum[2] / 4 ), static_cast<u8>( sum[3] / 4 ) };
		}
	}
	out.image = { 0, side, side, 32, side * 4, reinterpret_cast<u8*>( out.pixels.data() ), nullptr };
}

// Level 0 alone (range 0) or the whole chain down to 1 x 1 (range 1).
std::vector<BenchImage> MakeChain( const bool chain ) {
	std::vector<BenchImage> levels( chain ? 9 : 1 );
	for ( size_t i = 0; i < levels.size(); i++ ) {
		MakeLevel( levels[i], SIDE >> i, i == 0 ? nullptr : &levels[i - 1] );
	}
	return levels;
}

void AddAll( RwPalQuant* pq, const std::vector<BenchImage>& levels ) {
	for ( const BenchImage& level : levels ) {
		_rwPalQuantAddImage( pq, &level.image, 1.0f );
	}
}

void Report( benchmark::State& state, RwPalQuant* pq, const std::vector<BenchImage>& levels ) {
	s64 pixels = 0;
	for ( const BenchImage& level : levels ) {
		pixels += static_cast<s64>( level.pixels.size() );
	}
	state.SetItemsProcessed( state.iterations() * pixels );
	state.counters["nodes"] = _rwPalQuantCountNodes( pq );
	state.counters["leaves"] = _rwPalQuantCountLeaves( pq );
}

// Builds one tree outside the timed loop for the node counts, then closes the
// memory module the benchmark opened.
void ReportAndClose( benchmark::State& state, const std::vector<BenchImage>& levels ) {
	RwPalQuant pq;
	_rwPalQuantInit( &pq );
	AddAll( &pq, levels );
	Report( state, &pq, levels );
	_rwPalQuantTerm( &pq );
	_rwMemoryClose();
}

void BM_PalQuantAdd( benchmark::State& state ) {
	OpenMemory();
	const std::vector<BenchImage> levels = MakeChain( state.range( 0 ) != 0 );
	RwPalQuant pq;
	for ( auto _ : state ) {
		_rwPalQuantInit( &pq );
		AddAll( &pq, levels );
		state.PauseTiming();
		_rwPalQuantTerm( &pq );
		state.ResumeTiming();
	}
	ReportAndClose( state, levels );
}

void BM_PalQuantResolve( benchmark::State& state ) {
	OpenMemory();
	const std::vector<BenchImage> levels = MakeChain( state.range( 0 ) != 0 );
	RwRGBA palette[RWPALQUANT_MAX_COLOURS];
	RwPalQuant pq;
	for ( auto _ : state ) {
		state.PauseTiming();
		_rwPalQuantInit( &pq );
		AddAll( &pq, levels );
		state.ResumeTiming();
		benchmark::DoNotOptimize( _rwPalQuantResolvePalette( palette, RWPALQUANT_MAX_COLOURS, &pq ) );
		state.PauseTiming();
		_rwPalQuantTerm( &pq );
		state.ResumeTiming();
	}
	ReportAndClose( state, levels );
}

void BM_PalQuantMatch( benchmark::State& state ) {
	OpenMemory();
	const std::vector<BenchImage> levels = MakeChain( state.range( 0 ) != 0 );
	RwRGBA palette[RWPALQUANT_MAX_COLOURS];
	RwPalQuant pq;
	_rwPalQuantInit( &pq );
	AddAll( &pq, levels );
	_rwPalQuantResolvePalette( palette, RWPALQUANT_MAX_COLOURS, &pq );
	std::vector<u8> indices( static_cast<size_t>( SIDE * SIDE ) );
	for ( auto _ : state ) {
		for ( const BenchImage& level : levels ) {
			_rwPalQuantMatchImage( indices.data(), level.image.width, 8, 0, &pq, &level.image );
		}
		benchmark::DoNotOptimize( indices.data() );
	}
	Report( state, &pq, levels );
	_rwPalQuantTerm( &pq );
	_rwMemoryClose();
}

}	// namespace

BENCHMARK( BM_PalQuantAdd )->Arg( 0 )->Arg( 1 )->Unit( benchmark::kMillisecond );
BENCHMARK( BM_PalQuantResolve )->Arg( 0 )->Arg( 1 )->Unit( benchmark::kMillisecond );
BENCHMARK( BM_PalQuantMatch )->Arg( 0 )->Arg( 1 )->Unit( benchmark::kMillisecond );
