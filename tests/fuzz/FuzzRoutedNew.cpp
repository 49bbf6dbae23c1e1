/*
	Global operator new and delete of the programs that load whole levels:
	while gbFuzzRouteNew is set every C++ allocation comes from the engine's
	heaps, as in the engine executable, so that the level heap's reset
	takes back what a level made. A block is given back to whichever
	allocator it came from, told apart by the arena's bounds.

	The sanitizer marks the cookie of an array with a destructor as
	unusable and only clears the mark when its own allocator takes the
	block back; a block going back to the engine's heaps is cleared here,
	or the heap's own fill of freed blocks would trip over it. An array the
	level leaves for the level heap's reset to take back (an object no one
	took, as the loader allows) is never deleted: its mark is cleared over
	the whole level heap before each load resets it.
*/
#include "FuzzTarget.h"

#include "datatypes/memory/DTMemHeap.h"
#include "datatypes/memory/MMHeader.h"
#include "datatypes/memory/MMMemory.h"
#include "platform/host/HostArena.h"

#include <cstdlib>
#include <new>

bool gbFuzzRouteNew = false;

namespace {

void* Allocate( const std::size_t size ) noexcept {
	if ( gbFuzzRouteNew ) {
		return size <= 0xFFFFFFFFu ? _CurrentNewHandler( static_cast<u32>( size ) ) : nullptr;
	}
	return std::malloc( size != 0 ? size : 1 );
}

void* AllocateOrThrow( const std::size_t size ) {
	void* const p = Allocate( size );
	if ( p == nullptr ) {
		throw std::bad_alloc();
	}
	return p;
}

void Release( void* p ) noexcept {
	if ( p == nullptr ) {
		return;
	}
	if ( HostArenaContains( p ) ) {
		const mmheader* const header = mmheader::FromPayload( p );
		HostArenaClearMarks( p, header->mui32Size > MM_HEADER_BYTES ? header->mui32Size - MM_HEADER_BYTES : 0 );
		_CurrentDeleteHandler( p );
	} else {
		std::free( p );
	}
}

} // namespace

void FuzzClearLevelHeapMarks() {
	const DTMemHeap* const heap = _MemHeap[MM_LEVEL_HEAP];
	if ( heap != nullptr && heap->GetFirstBlock() != nullptr ) {
		HostArenaClearMarks( heap->GetFirstBlock(), heap->GetSize() );
	}
}

void* operator new( const std::size_t size ) {
	return AllocateOrThrow( size );
}

void* operator new[]( const std::size_t size ) {
	return AllocateOrThrow( size );
}

void* operator new( const std::size_t size, const std::nothrow_t& ) noexcept {
	return Allocate( size );
}

void* operator new[]( const std::size_t size, const std::nothrow_t& ) noexcept {
	return Allocate( size );
}

void operator delete( void* p ) noexcept {
	Release( p );
}

void operator delete[]( void* p ) noexcept {
	Release( p );
}

void operator delete( void* p, std::size_t ) noexcept {
	Release( p );
}

void operator delete[]( void* p, std::size_t ) noexcept {
	Release( p );
}

void operator delete( void* p, const std::nothrow_t& ) noexcept {
	Release( p );
}

void operator delete[]( void* p, const std::nothrow_t& ) noexcept {
	Release( p );
}
