// The resource arena: heap allocation and free at 80 to 100 % fill, entry
// allocation that has to evict, and the per-frame purge.

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwResHeap.h"
#include "graphics3d/core/RwResources.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr u32 ARENA_BYTES = 0x200000;
constexpr u32 ENTRY_BYTES = 2048;

void* HostMalloc( const u32 size ) { return std::malloc( size ); }
void HostFree( void* block ) { std::free( block ); }

// Heap allocate and free with the arena filled to range(0) percent by
// blocks of mixed sizes.
void BM_ArenaHeapAllocFreeAtFill( benchmark::State& state ) {
	void* const memory = std::aligned_alloc( 32, ARENA_BYTES );
	_rwResHeapInit( memory, ARENA_BYTES );
	RwResHeap* const heap = static_cast<RwResHeap*>( memory );
	const u32 target = static_cast<u32>( static_cast<u64>( ARENA_BYTES ) * static_cast<u64>( state.range( 0 ) ) / 100 );
	std::vector<void*> live;
	u32 filled = 0;
	for ( u32 i = 0; filled < target; i++ ) {
		const u32 size = 64 + ( i * 97 ) % 1024;
		void* const block = _rwResHeapAlloc( heap, size );
		if ( block == nullptr ) {
			break;
		}
		live.push_back( block );
		filled += size + 32;
	}
	// Free every third block so that the search has holes to walk.
	for ( size_t i = 0; i < live.size(); i += 3 ) {
		_rwResHeapFree( live[i] );
		live[i] = nullptr;
	}
	for ( auto _ : state ) {
		void* const block = _rwResHeapAlloc( heap, 200 );
		benchmark::DoNotOptimize( block );
		_rwResHeapFree( block );
	}
	std::free( memory );
}

// A resource module over a record of its own, without a device.
struct BenchArena {
	std::vector<u8>	instance;

	BenchArena() : instance( sizeof( RwGlobals ) + sizeof( RwResourcesGlobals ) ) {
		RwGlobals* const globals = reinterpret_cast<RwGlobals*>( instance.data() );
		globals->memoryFunctions.rwmalloc = HostMalloc;
		globals->memoryFunctions.rwfree = HostFree;
		globals->arenaSize = ARENA_BYTES;
		RwEngineInstance = globals;
		_rwResourcesOpen( globals, sizeof( RwGlobals ), sizeof( RwResourcesGlobals ) );
	}
	~BenchArena() {
		_rwResourcesClose( instance.data(), sizeof( RwGlobals ), sizeof( RwResourcesGlobals ) );
		RwEngineInstance = &staticGlobals;
	}
};

// Every allocation in a full arena evicts the oldest entry.
void BM_ResourcesAllocateWithEviction( benchmark::State& state ) {
	// Owners outlive the arena, whose close clears their references.
	std::vector<RwResEntry*> owners( ARENA_BYTES / ENTRY_BYTES + 16, nullptr );
	BenchArena arena;
	size_t next = 0;
	for ( auto _ : state ) {
		RwResEntry* const entry = RwResourcesAllocateResEntry( nullptr, &owners[next], ENTRY_BYTES, nullptr );
		benchmark::DoNotOptimize( entry );
		next = ( next + 1 ) % owners.size();
		if ( next % 64 == 0 ) {
			_rwResourcesPurge();
		}
	}
}

// The purge of a frame that used range(0) entries.
void BM_ResourcesPurge( benchmark::State& state ) {
	const s64 perFrame = state.range( 0 );
	std::vector<RwResEntry*> owners( static_cast<size_t>( perFrame ), nullptr );
	BenchArena arena;
	for ( RwResEntry*& owner : owners ) {
		RwResourcesAllocateResEntry( nullptr, &owner, 256, nullptr );
	}
	for ( auto _ : state ) {
		for ( RwResEntry* owner : owners ) {
			RwResourcesUseResEntry( owner );
		}
		_rwResourcesPurge();
	}
	state.SetItemsProcessed( state.iterations() * perFrame );
}

}	// namespace

BENCHMARK( BM_ArenaHeapAllocFreeAtFill )->Arg( 80 )->Arg( 90 )->Arg( 100 );
BENCHMARK( BM_ResourcesAllocateWithEviction );
BENCHMARK( BM_ResourcesPurge )->Arg( 64 )->Arg( 1024 );
