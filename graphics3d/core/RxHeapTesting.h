/*
===============================================================================

	Test-only allocation from the pipeline heap.

	Nothing in this system allocates from the scratch heap; tests need used
	blocks to exercise freeing, merging and resets. The allocation is best
	fit over the free table and splits the chosen block when the rest can
	hold a header and 8 bytes; it marks the heap dirty.

===============================================================================
*/
#ifndef RX_HEAP_TESTING_H
#define RX_HEAP_TESTING_H

#include "graphics3d/core/RxHeap.h"

// Block of at least size bytes (rounded up to 8), or null when none fits.
void*	_rxHeapAllocBestFitForTests( RxHeap* heap, u32 size );

#endif
