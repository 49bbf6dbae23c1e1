#include "datatypes/memory/MMMemory.h"
#include "datatypes/memory/MMHost.h"

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/DTMemPool.h"
#include "platform/host/HostArena.h"
#include "platform/os/OS.h"

#include <cstdlib>
#include <cstring>
#include <new>

const MMPoolSize _MemPoolSize[MM_POOL_COUNT] = {
	{ 32, 1500 },
	{ 32, 1400 },
	{ 64, 1500 },
	{ 64, 1200 },
	{ 96, 1800 },
};

namespace {

// Constant-initialised, so allocations from static initialisers of other
// files find them ready.
DTMemHeap	heapStorage[MM_HEAP_COUNT];

// Set by MMTerminate: static destructors that run afterwards must not
// touch the destroyed pools.
bool		terminated = false;
bool		terminateRegistered = false;

// Start of the mapped virtual-memory window; null while none is mapped.
u8*			windowBase = nullptr;

// A block the manager handed out, found from the caller's pointer.
struct MMOwner {
	mmheader*	header;
	DTMemHeap*	heap;
	DTMemPool*	pool;
	u32			index;
};

void* Tagged( mmheader* h, const u32 kind, const u32 index ) {
	h->mui32Tag = MMMakeTag( kind, index );
	return h->Payload();
}

// Trusts the tag in front of p only when it names a heap or pool whose
// range holds the header at a block boundary.
bool FindOwner( void* p, MMOwner& owner ) {
	if ( p == nullptr || !HostArenaContains( p ) ) {
		return false;
	}
	if ( static_cast<u8*>( p ) - HostArenaBase() < static_cast<std::ptrdiff_t>( MM_HEADER_BYTES ) ) {
		return false;
	}
	mmheader* h = mmheader::FromPayload( p );
	const u32 tag = h->mui32Tag;
	if ( ( tag & MM_TAG_LOW_MASK ) != 0 ) {
		return false;
	}
	const u32 index = MMTagIndex( tag );
	owner = { h, nullptr, nullptr, index };
	switch ( MMTagKind( tag ) ) {
	case MM_TAG_KIND_HEAP:
		if ( index < MM_HEAP_COUNT && _MemHeap[index]->Contains( h ) ) {
			owner.heap = _MemHeap[index];
			return true;
		}
		return false;
	case MM_TAG_KIND_POOL:
		if ( index < MM_POOL_COUNT && _MemPool[index] != nullptr && _MemPool[index]->Contains( h ) ) {
			owner.pool = _MemPool[index];
			return true;
		}
		return false;
	default:
		return false;
	}
}

// Steps 2 to 4 of the general allocator: pools, then both heaps.
void* AllocFromPoolsAndHeaps( const u32 n ) {
	if ( ( ui32MemFlag & MM_FLAG_POOLS_OFF ) == 0 && !terminated && n <= MM_POOL_LARGEST_REQUEST ) {
		for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
			DTMemPool* pool = _MemPool[i];
			if ( pool == nullptr || pool->GetElementSize() < n ) {
				continue;
			}
			mmheader* h = pool->GetElement();
			if ( h != nullptr ) {
				return Tagged( h, MM_TAG_KIND_POOL, i );
			}
		}
	}
	u32 index = ui32CurrentHeap;
	for ( u32 attempt = 0; attempt < MM_HEAP_COUNT; attempt++ ) {
		DTMemHeap* heap = _MemHeap[index];
		if ( !heap->SkipsRequest( n ) ) {
			mmheader* h = heap->Alloc( n );
			if ( h != nullptr ) {
				return Tagged( h, MM_TAG_KIND_HEAP, index );
			}
		}
		index = ( index + 1 ) % MM_HEAP_COUNT;
	}
	return nullptr;
}

bool IsMultipleOf32( const void* p ) {
	return ( reinterpret_cast<uintptr_t>( p ) & 31u ) == 0;
}

template<typename T>
T* CreateInHeap0() {
	void* memory = MMFirstMalloc( sizeof( T ) );
	return memory != nullptr ? new ( memory ) T() : nullptr;
}

template<typename T>
void DestroyInHeap0( T*& object ) {
	if ( object != nullptr ) {
		object->~T();
		MMFree( object );
		object = nullptr;
	}
}

u32 Smaller( const u64 a, const u64 b ) {
	return static_cast<u32>( a < b ? a : b );
}

}

DTMemHeap*		_MemHeap[MM_HEAP_COUNT] = { &heapStorage[0], &heapStorage[1] };
DTMemPool*		_MemPool[MM_POOL_COUNT] = {};
DTWorkMemory*	_WorkMem = nullptr;
DTWorkMemory*	_ScratchPad = nullptr;
u32				ui32CurrentHeap = MM_GLOBAL_HEAP;
u32				ui32SavedHeap = MM_GLOBAL_HEAP;
u32				ui32MemFlag = 0;
MMAllocHandler	_CurrentNewHandler = MMInitializorAlloc;
MMFreeHandler	_CurrentDeleteHandler = MMFree;
bool			gbVMAlloc = false;
u8*				_GCVMSCurrentPtr = nullptr;
u32				_GCVMSARAMSize = 0;

void MMInitialise() {
	ui32MemFlag = MM_FLAG_POOLS_OFF;
	ui32SavedHeap = MM_GLOBAL_HEAP;
	ui32CurrentHeap = MM_GLOBAL_HEAP;
	terminated = false;
	if ( !terminateRegistered ) {
		std::atexit( MMTerminate );
		terminateRegistered = true;
	}

	u8* lo = static_cast<u8*>( OSGetArenaLo() );
	u8* hi = static_cast<u8*>( OSGetArenaHi() );
	// Heap 1's size and the load buffers below its tail keep the 32-byte
	// alignment only when both bounds are multiples of 32.
	if ( !IsMultipleOf32( lo ) || !IsMultipleOf32( hi ) ) {
		OSPanic( __FILE__, __LINE__, "memory: arena bounds %p and %p are not multiples of 32",
				 static_cast<void*>( lo ), static_cast<void*>( hi ) );
	}
	if ( hi < lo || static_cast<u64>( hi - lo ) <= MM_NON_LEVEL_BYTES + 2 * MM_HEADER_BYTES ) {
		OSPanic( __FILE__, __LINE__, "memory: an arena of %llu bytes leaves the level heap no room",
				 static_cast<unsigned long long>( hi - lo ) );
	}
	u8* heap0 = reinterpret_cast<u8*>( reinterpret_cast<uintptr_t>( lo ) & ~static_cast<uintptr_t>( 31 ) );
	u8* heap1 = reinterpret_cast<u8*>( reinterpret_cast<uintptr_t>( lo + MM_GLOBAL_HEAP_BYTES ) &
									  ~static_cast<uintptr_t>( 31 ) );
	_MemHeap[MM_GLOBAL_HEAP]->Initialise( heap0, MM_GLOBAL_HEAP_BYTES );
	_MemHeap[MM_LEVEL_HEAP]->Initialise( heap1, static_cast<u32>( hi - lo - MM_NON_LEVEL_BYTES ) );
	OSSetArenaLo( hi - MM_OS_RESERVED_BYTES );

	for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
		_MemPool[i] = CreateInHeap0<DTMemPool>();
	}
	_WorkMem = CreateInHeap0<DTWorkMemory>();
	_ScratchPad = CreateInHeap0<DTWorkMemory>();
	if ( _WorkMem != nullptr ) {
		_WorkMem->SetSize( MM_WORK_MEMORY_BYTES );
	}
	if ( _ScratchPad != nullptr ) {
		_ScratchPad->SetSize( MM_SCRATCH_PAD_BYTES );
	}
	for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
		if ( _MemPool[i] != nullptr ) {
			_MemPool[i]->Initialise( _MemPoolSize[i].ui32Count, _MemPoolSize[i].ui32ElementSize );
		}
	}

	ui32MemFlag |= MM_FLAG_INITIALISED;
}

void MMTerminate() {
	if ( terminated ) {
		return;
	}
	for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
		DestroyInHeap0( _MemPool[i] );
	}
	DestroyInHeap0( _WorkMem );
	DestroyInHeap0( _ScratchPad );
	terminated = true;
}

void* MMInitializorAlloc( const u32 size ) {
	// Reached again from inside set-up: serve it the way set-up allocates.
	if ( _CurrentNewHandler == MMFirstMalloc ) {
		return MMFirstMalloc( size );
	}
	if ( ( ui32MemFlag & MM_FLAG_INITIALISED ) == 0 ) {
		_CurrentNewHandler = MMFirstMalloc;
		MMInitialise();
	}
	_CurrentNewHandler = MMMalloc;
	return MMMalloc( size );
}

void* MMFirstMalloc( const u32 size ) {
	mmheader* h = _MemHeap[MM_GLOBAL_HEAP]->Alloc( size );
	if ( h == nullptr ) {
		return nullptr;
	}
	// Tagged with the heap it came from, whichever heap is current.
	return Tagged( h, MM_TAG_KIND_HEAP, MM_GLOBAL_HEAP );
}

void* MMMalloc( const u32 size ) {
	if ( gbVMAlloc ) {
		return MMVMalloc( size );
	}
	if ( ( ui32MemFlag & MM_FLAG_INITIALISED ) == 0 ) {
		return MMInitializorAlloc( size );
	}
	return AllocFromPoolsAndHeaps( size );
}

void* MMLoadMalloc( const u32 size ) {
	if ( ( ui32MemFlag & MM_FLAG_INITIALISED ) != 0 && ui32CurrentHeap < MM_HEAP_COUNT ) {
		mmheader* h = _MemHeap[ui32CurrentHeap]->LoadAlloc( size );
		if ( h != nullptr ) {
			return Tagged( h, MM_TAG_KIND_HEAP, ui32CurrentHeap );
		}
	}
	return MMMalloc( size );
}

void* MMCalloc( const u32 count, const u32 size ) {
	const u64 bytes = static_cast<u64>( count ) * size;
	if ( bytes > 0xFFFFFFFFu ) {
		return nullptr;
	}
	void* p = MMMalloc( static_cast<u32>( bytes ) );
	if ( p != nullptr ) {
		std::memset( p, 0, static_cast<std::size_t>( bytes ) );
	}
	return p;
}

void* MMRealloc( void* p, const u32 size ) {
	if ( p == nullptr ) {
		return MMMalloc( size );
	}
	// Window blocks carry no header: copy what lies between p and the bump
	// pointer, at most the new size.
	u8* byte = static_cast<u8*>( p );
	if ( windowBase != nullptr && byte >= windowBase && byte < windowBase + _GCVMSARAMSize ) {
		const u64 taken = _GCVMSCurrentPtr > byte ? static_cast<u64>( _GCVMSCurrentPtr - byte ) : 0;
		void* moved = MMMalloc( size );
		if ( moved != nullptr ) {
			std::memcpy( moved, p, Smaller( size, taken ) );
		}
		return moved;
	}

	MMOwner owner;
	if ( !FindOwner( p, owner ) || owner.header->mui32Magic != MM_MAGIC_IN_USE ) {
		return nullptr;
	}
	if ( owner.pool != nullptr ) {
		void* moved = MMMalloc( size );
		if ( moved == nullptr ) {
			return nullptr;
		}
		std::memcpy( moved, p, Smaller( size, owner.pool->GetElementSize() ) );
		owner.pool->FreeElement( owner.header );
		return moved;
	}

	const u32 oldPayload = owner.header->mui32Size - MM_HEADER_BYTES;
	mmheader* h = owner.heap->ReAlloc( owner.header, size );
	if ( h != nullptr ) {
		return Tagged( h, MM_TAG_KIND_HEAP, owner.index );
	}
	void* moved = MMMalloc( size );
	if ( moved == nullptr ) {
		return nullptr;
	}
	std::memcpy( moved, p, Smaller( size, oldPayload ) );
	MMFree( p );
	return moved;
}

void MMFree( void* p ) {
	if ( terminated ) {
		return;
	}
	MMOwner owner;
	if ( !FindOwner( p, owner ) ) {
		return;
	}
	if ( owner.pool != nullptr ) {
		owner.pool->FreeElement( owner.header );
	} else {
		owner.heap->Free( owner.header );
	}
}

void MMSetAllocFlag( const u32 flag ) {
	if ( ( flag & MM_ALLOC_POOLS_OFF ) != 0 ) {
		ui32MemFlag |= MM_FLAG_POOLS_OFF;
	} else if ( ( flag & MM_ALLOC_POOLS_ON ) != 0 ) {
		ui32MemFlag &= ~MM_FLAG_POOLS_OFF;
	}
}

u32 MMChangeHeap( const u32 h ) {
	const u32 previous = ui32CurrentHeap;
	if ( h >= MM_HEAP_COUNT ) {
		return previous;
	}
	ui32SavedHeap = ui32CurrentHeap;
	ui32CurrentHeap = h;
	_MemHeap[h]->ResetHeapPointeur();
	return previous;
}

void MMSwapToGlobalHeap() {
	ui32SavedHeap = ui32CurrentHeap;
	ui32CurrentHeap = MM_GLOBAL_HEAP;
}

void MMSetWorkingHeap() {
	ui32SavedHeap = ui32CurrentHeap;
	ui32CurrentHeap = MM_GLOBAL_HEAP;
}

void MMReplaceHeap() {
	ui32CurrentHeap = ui32SavedHeap;
}

u32 MMGetActualHeap() {
	return ui32CurrentHeap;
}

void MMResetHeap( const u32 h ) {
	if ( h >= MM_HEAP_COUNT ) {
		return;
	}
	_MemHeap[h]->Reset();
	if ( h == MM_LEVEL_HEAP ) {
		_GCVMSCurrentPtr = windowBase;
	}
}

void* MMVMalloc( const u32 size ) {
	const u64 used = windowBase != nullptr ? static_cast<u64>( _GCVMSCurrentPtr - windowBase ) : 0;
	// Saturates: the pointer may stand past the limit after the last block.
	const u64 remaining = used < _GCVMSARAMSize ? _GCVMSARAMSize - used : 0;
	if ( windowBase == nullptr || remaining == 0 || size > remaining ) {
		if ( ( ui32MemFlag & MM_FLAG_INITIALISED ) == 0 ) {
			return MMInitializorAlloc( size );
		}
		return AllocFromPoolsAndHeaps( size );
	}
	u8* p = _GCVMSCurrentPtr;
	const u64 next = ( used + size + MM_HEADER_BYTES ) & ~static_cast<u64>( 31 );
	_GCVMSCurrentPtr = windowBase + next;
	return p;
}

void MMVFree( void* p ) {
	if ( HostArenaContains( p ) ) {
		MMFree( p );
	}
}

void MMSetVMWindow( void* base, const u32 mappedBytes ) {
	windowBase = static_cast<u8*>( base );
	_GCVMSCurrentPtr = windowBase;
	_GCVMSARAMSize = base != nullptr ? mappedBytes : 0;
}

bool MMHostReinitialise( const u32 arenaBytes ) {
	if ( !HostArenaConfigure( arenaBytes ) ) {
		return false;
	}
	for ( u32 i = 0; i < MM_POOL_COUNT; i++ ) {
		_MemPool[i] = nullptr;
	}
	_WorkMem = nullptr;
	_ScratchPad = nullptr;
	for ( u32 i = 0; i < MM_HEAP_COUNT; i++ ) {
		heapStorage[i] = DTMemHeap();
	}
	ui32CurrentHeap = MM_GLOBAL_HEAP;
	ui32SavedHeap = MM_GLOBAL_HEAP;
	ui32MemFlag = 0;
	_CurrentNewHandler = MMInitializorAlloc;
	_CurrentDeleteHandler = MMFree;
	gbVMAlloc = false;
	MMSetVMWindow( nullptr, 0 );
	terminated = false;
	return true;
}
