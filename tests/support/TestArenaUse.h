/*
	Bytes in use in the engine's heaps, less the free elements of its
	pools: grows with every block a load takes, whichever of them serves
	it, and comes back when the load gives everything back.
*/
#ifndef TEST_ARENA_USE_H
#define TEST_ARENA_USE_H

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/DTMemPool.h"
#include "datatypes/memory/MMMemory.h"

inline s64 TestArenaUse() {
	s64 bytes = 0;
	for ( const DTMemHeap* heap : _MemHeap ) {
		if ( heap != nullptr ) {
			bytes += heap->GetBytesInUse();
		}
	}
	for ( const DTMemPool* pool : _MemPool ) {
		if ( pool != nullptr ) {
			bytes -= static_cast<s64>( pool->CountFree() ) * pool->GetElementSize();
		}
	}
	return bytes;
}

#endif
