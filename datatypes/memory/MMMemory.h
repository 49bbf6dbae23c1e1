/*
===============================================================================

	Engine memory manager.

	Every allocation of the engine goes through these functions. The first
	allocation takes the whole free memory arena and carves it into two
	block heaps: heap 0, the global heap that lives for the whole run, and
	heap 1, the level heap that the level loader resets before every level.
	Requests of up to 96 bytes come from five fixed-size pools while pools
	are switched on; while gbVMAlloc is set, requests are bump-allocated
	from the virtual-memory window instead. The work memory and the scratch
	pad are two bump-allocated areas handed to per-frame updates.

	Every heap and pool payload is 32-byte aligned and preceded by a 32-byte
	mmheader. Sizes are 32-bit. Failures return null; frees of anything the
	manager did not hand out are ignored.

===============================================================================
*/
#ifndef MM_MEMORY_H
#define MM_MEMORY_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/memory/DTWorkMemory.h"

class DTMemHeap;
class DTMemPool;

// Heaps and pools.
constexpr u32 MM_HEAP_COUNT          = 2;
constexpr u32 MM_GLOBAL_HEAP         = 0;
constexpr u32 MM_LEVEL_HEAP          = 1;
constexpr u32 MM_POOL_COUNT          = 5;
constexpr u32 MM_POOL_LARGEST_REQUEST = 0x60;

// Arena split: heap 0 takes the first 0x980000 bytes, the OS keeps the top
// 0x35A000 bytes, heap 1 takes what lies between.
constexpr u32 MM_GLOBAL_HEAP_BYTES   = 0x980000;
constexpr u32 MM_OS_RESERVED_BYTES   = 0x35A000;
constexpr u32 MM_NON_LEVEL_BYTES     = 0xCDA000;

// Sizes of the two bump-allocated areas.
constexpr u32 MM_WORK_MEMORY_BYTES   = 0x80000;
constexpr u32 MM_SCRATCH_PAD_BYTES   = 4096;

// Bits of ui32MemFlag.
constexpr u32 MM_FLAG_POOLS_OFF      = 0x01;
constexpr u32 MM_FLAG_INITIALISED    = 0x10;

// Arguments of MMSetAllocFlag (the first wins when both are set).
constexpr u32 MM_ALLOC_POOLS_OFF     = 0x01;
constexpr u32 MM_ALLOC_POOLS_ON      = 0x02;

// One row of the pool table: element size without header, element count.
struct MMPoolSize {
	u32		ui32ElementSize;
	u32		ui32Count;
};

// The pool table, in search order.
extern const MMPoolSize	_MemPoolSize[MM_POOL_COUNT];

typedef void*	( *MMAllocHandler )( u32 size );
typedef void	( *MMFreeHandler )( void* p );

// Heap 0 and heap 1.
extern DTMemHeap*		_MemHeap[MM_HEAP_COUNT];
// The five pools, null before set-up and after MMTerminate.
extern DTMemPool*		_MemPool[MM_POOL_COUNT];
// Per-frame work memory (0x80000 bytes) and scratch pad (4096 bytes); null
// before set-up and after MMTerminate.
extern DTWorkMemory*	_WorkMem;
extern DTWorkMemory*	_ScratchPad;

// Index of the heap that serves allocations first, and the one saved by
// MMChangeHeap, MMSwapToGlobalHeap and MMSetWorkingHeap.
extern u32				ui32CurrentHeap;
extern u32				ui32SavedHeap;
// Bit 0: pools off; bit 4: initialised.
extern u32				ui32MemFlag;

// The allocation hook behind the routed operator new, and the free hook
// behind the routed operator delete.
extern MMAllocHandler	_CurrentNewHandler;
extern MMFreeHandler	_CurrentDeleteHandler;

// While set, MMMalloc bump-allocates from the virtual-memory window.
extern bool				gbVMAlloc;
// Next free address of the window; starts at, and is rewound to, its base.
extern u8*				_GCVMSCurrentPtr;
// Mapped size of the window in bytes; 0 while no window is mapped.
extern u32				_GCVMSARAMSize;

// Sets up the heaps, pools and work areas over the OS arena. Runs once,
// from the first allocation.
void	MMInitialise();
// Destroys the pools and both work areas. Afterwards frees are ignored and
// allocations skip the pools.
void	MMTerminate();

// First allocation of the process: sets everything up, then allocates with
// MMMalloc.
void*	MMInitializorAlloc( u32 size );
// Allocation straight from heap 0, used during set-up and for the buffers
// of pools and work areas. Null when heap 0 has no room.
void*	MMFirstMalloc( u32 size );

// General allocator: window, pools, current heap, other heap.
void*	MMMalloc( u32 size );
// Allocation from the top end of the current heap, for load buffers; falls
// back to MMMalloc.
void*	MMLoadMalloc( u32 size );
// Cleared count x size bytes; null when the product overflows.
void*	MMCalloc( u32 count, u32 size );
// Resizes a block, keeping its contents up to the smaller size. Null, with
// p untouched, when no room is found or p is not a live block.
void*	MMRealloc( void* p, u32 size );
// Frees a heap block or pool element; ignores anything else.
void	MMFree( void* p );

// Switches pools off (bit 0) or on (bit 1).
void	MMSetAllocFlag( u32 flag );
// Saves the current heap index, makes heap h current and sends its rover
// home. Returns the previous index.
u32		MMChangeHeap( u32 h );
// Save the current heap index and make heap 0 current.
void	MMSwapToGlobalHeap();
void	MMSetWorkingHeap();
// Makes the saved heap index current again.
void	MMReplaceHeap();
u32		MMGetActualHeap();
// Forgets every block of heap h; for heap 1 also rewinds the window.
void	MMResetHeap( u32 h );

// Bump allocation from the window; falls back to the pools and heaps when
// the window is unmapped or full. Window blocks are never freed one by one.
void*	MMVMalloc( u32 size );
void	MMVFree( void* p );

// Hands the manager the window the start-up code mapped (base and mapped
// size), or none (null, 0). Rewinds the window pointer to the base.
void	MMSetVMWindow( void* base, u32 mappedBytes );

#endif
