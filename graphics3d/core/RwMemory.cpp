#include "graphics3d/core/RwMemory.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFreeList.h"

#include <cstdlib>
#include <cstring>

static void* HostMalloc( const u32 size ) { return std::malloc( size ); }
static void HostFree( void* block ) { std::free( block ); }
static void* HostRealloc( void* block, const u32 size ) { return std::realloc( block, size ); }

void* FakeCalloc( const u32 count, const u32 size ) {
	const u64 total = static_cast<u64>( count ) * size;
	if ( total > 0xFFFFFFFFu ) {
		return nullptr;
	}
	void* const block = RwEngineInstance->memoryFunctions.rwmalloc( static_cast<u32>( total ) );
	if ( block != nullptr ) {
		std::memset( block, 0, static_cast<size_t>( total ) );
	}
	return block;
}

bool _rwMemoryOpen( const RwMemoryFunctions* memoryFunctions ) {
	RwMemoryFunctions* const installed = &RwEngineInstance->memoryFunctions;
	if ( memoryFunctions != nullptr ) {
		if ( memoryFunctions->rwmalloc == nullptr || memoryFunctions->rwfree == nullptr ||
			 memoryFunctions->rwrealloc == nullptr || memoryFunctions->rwcalloc == nullptr ) {
			return false;
		}
		*installed = *memoryFunctions;
	} else {
		installed->rwmalloc = HostMalloc;
		installed->rwfree = HostFree;
		installed->rwrealloc = HostRealloc;
		installed->rwcalloc = FakeCalloc;
	}
	return _rwFreeListsOpen();
}

void _rwMemoryClose() {
	_rwFreeListsClose();
}
