// Free-list entries against plain allocations of the engine allocator,
// the two ways the 3D library can hand out its objects.

#include "datatypes/memory/MMMemory.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFreeList.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

const RwMemoryFunctions engineMemory = { MMMalloc, MMFree, MMRealloc, MMCalloc };

// Opens the library's memory module alone, with free lists on or off.
void OpenMemory( const bool enabled ) {
	RwEngineInstance = &staticGlobals;
	staticGlobals.freeListAllocHook = enabled ? _rwFreeListAllocReal : MallocWrapper;
	staticGlobals.freeListFreeHook = enabled ? _rwFreeListFreeReal : FreeWrapper;
	_rwFreeListEnable( enabled );
	_rwMemoryOpen( &engineMemory );
}

void AllocateAndFree( benchmark::State& state, const bool enabled ) {
	OpenMemory( enabled );
	const s32 live = static_cast<s32>( state.range( 0 ) );
	RwFreeList* const freeList = RwFreeListCreate( 64, 128, 4 );
	std::vector<void*> entries( static_cast<size_t>( live ) );
	for ( auto _ : state ) {
		for ( void*& entry : entries ) {
			entry = staticGlobals.freeListAllocHook( freeList );
		}
		for ( void* entry : entries ) {
			staticGlobals.freeListFreeHook( freeList, entry );
		}
	}
	state.SetItemsProcessed( state.iterations() * live );
	RwFreeListDestroy( freeList );
	_rwMemoryClose();
}

void BM_FreeListEnabled( benchmark::State& state ) {
	AllocateAndFree( state, true );
}

void BM_FreeListDisabledPlainAllocation( benchmark::State& state ) {
	AllocateAndFree( state, false );
}

}	// namespace

BENCHMARK( BM_FreeListEnabled )->Arg( 16 )->Arg( 128 )->Arg( 1024 );
BENCHMARK( BM_FreeListDisabledPlainAllocation )->Arg( 16 )->Arg( 128 )->Arg( 1024 );
