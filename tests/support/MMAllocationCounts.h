/*
	Allocations the engine's heaps have served so far and the free
	elements of its pools: equal before and after a stretch of work when
	that work allocated nothing from the engine's allocator.
*/
#ifndef MM_ALLOCATION_COUNTS_H
#define MM_ALLOCATION_COUNTS_H

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/DTMemPool.h"
#include "datatypes/memory/MMMemory.h"

#include <vector>

inline std::vector<u64> MMAllocationCounts() {
	std::vector<u64> counts;
	for ( DTMemHeap* heap : _MemHeap ) {
		if ( heap != nullptr ) {
			counts.push_back( heap->GetServedAtRover() + heap->GetServedAfterSearch() );
		}
	}
	for ( DTMemPool* pool : _MemPool ) {
		if ( pool != nullptr ) {
			counts.push_back( pool->CountFree() );
		}
	}
	return counts;
}

#endif
