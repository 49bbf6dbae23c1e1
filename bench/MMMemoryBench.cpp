// Memory manager under the allocation pattern of a level load followed by
// frames of small, short-lived requests.

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMHeader.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/memory/MMHost.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr u32 BENCH_ARENA_BYTES = 0x1800000;

void StartManager() {
	MMHostReinitialise( BENCH_ARENA_BYTES );
	MMFree( MMMalloc( 1 ) );
	MMSetAllocFlag( MM_ALLOC_POOLS_ON );
}

// Mostly small requests, some medium, a few large load-time ones.
u32 RequestSize( std::mt19937& random ) {
	const u32 pick = random() % 100;
	if ( pick < 70 ) {
		return 1 + random() % 96;
	}
	if ( pick < 97 ) {
		return 97 + random() % 2000;
	}
	return 10000 + random() % 60000;
}

void BM_MMLevelLoadMix( benchmark::State& state ) {
	StartManager();
	std::mt19937 random( 7 );
	std::vector<void*> level;
	std::vector<void*> frame;
	level.reserve( 4096 );
	frame.reserve( 4096 );
	u64 smallRequests = 0;
	u64 poolHits = 0;

	for ( auto _ : state ) {
		// Level load: pools off, level heap emptied, objects and load buffers.
		MMSetAllocFlag( MM_ALLOC_POOLS_OFF );
		MMChangeHeap( MM_LEVEL_HEAP );
		MMResetHeap( MM_LEVEL_HEAP );
		level.clear();
		for ( u32 i = 0; i < 2000; i++ ) {
			void* p = MMMalloc( RequestSize( random ) );
			if ( p != nullptr ) {
				level.push_back( p );
			}
			if ( i % 3 == 0 && !level.empty() ) {
				const u32 victim = random() % level.size();
				MMFree( level[victim] );
				level[victim] = level.back();
				level.pop_back();
			}
		}
		void* loadBuffer = MMLoadMalloc( 200000 );
		MMFree( loadBuffer );
		MMSetAllocFlag( MM_ALLOC_POOLS_ON );
		MMSetWorkingHeap();

		// Frames: short-lived requests on the global heap and the pools.
		for ( u32 f = 0; f < 10; f++ ) {
			frame.clear();
			for ( u32 i = 0; i < 200; i++ ) {
				const u32 size = RequestSize( random );
				void* p = MMMalloc( size );
				if ( size <= MM_POOL_LARGEST_REQUEST ) {
					smallRequests++;
					poolHits += p != nullptr && MMTagKind( mmheader::FromPayload( p )->mui32Tag ) == MM_TAG_KIND_POOL;
				}
				frame.push_back( p );
			}
			for ( void* p : frame ) {
				MMFree( p );
			}
		}
	}

	u64 passed = 0;
	u64 searches = 0;
	for ( u32 h = 0; h < MM_HEAP_COUNT; h++ ) {
		passed += _MemHeap[h]->GetBlocksPassed();
		searches += _MemHeap[h]->GetServedAtRover() + _MemHeap[h]->GetServedAfterSearch();
	}
	state.counters["pool_hit_rate"] = smallRequests != 0 ? static_cast<f64>( poolHits ) / smallRequests : 0.0;
	state.counters["blocks_passed_per_search"] = searches != 0 ? static_cast<f64>( passed ) / searches : 0.0;
}
BENCHMARK( BM_MMLevelLoadMix );

void BM_MMMallocFreePair( benchmark::State& state ) {
	StartManager();
	const u32 size = static_cast<u32>( state.range( 0 ) );
	for ( auto _ : state ) {
		void* p = MMMalloc( size );
		benchmark::DoNotOptimize( p );
		MMFree( p );
	}
}
BENCHMARK( BM_MMMallocFreePair )->Arg( 16 )->Arg( 96 )->Arg( 1000 )->Arg( 100000 );

}
