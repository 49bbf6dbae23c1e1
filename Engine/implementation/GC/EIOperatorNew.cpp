// Global operator new and delete of the engine executable: every C++
// allocation goes to the engine allocator through its hooks, so that it
// comes from the engine's heaps and pools like everything else.
//
// Compilers assume that plain operator new never returns null, so a null
// from the hook ends the program with "out of memory" through the panic
// hook. The std::nothrow forms return null instead; code that must survive
// a failed allocation uses them or a noexcept class operator new. Forms
// with an alignment above the default are left to the C++ runtime: the
// engine never asks for them, and the runtime pairs them with its own
// delete.

#include "datatypes/memory/MMMemory.h"
#include "platform/host/HostArena.h"
#include "platform/os/OS.h"

#include <new>

namespace {

void* Allocate( const std::size_t size ) noexcept {
	if ( size > 0xFFFFFFFFu ) {
		return nullptr;
	}
	return _CurrentNewHandler( static_cast<u32>( size ) );
}

void* AllocateOrPanic( const std::size_t size ) {
	void* p = Allocate( size );
	if ( p == nullptr ) {
		OSPanic( __FILE__, __LINE__, "out of memory" );
	}
	return p;
}

void Release( void* p ) noexcept {
	if ( p != nullptr ) {
		_CurrentDeleteHandler( p );
	}
}

// An array's hidden element count sits in its block's first bytes: its
// size padded to the elements' alignment, at most 16 bytes here. A memory
// checker's mark on it is cleared before the block goes back.
constexpr u32 ARRAY_COOKIE_BYTES = 16;

void ReleaseArray( void* p ) noexcept {
	HostArenaClearMarks( p, ARRAY_COOKIE_BYTES );
	Release( p );
}

}

void* operator new( const std::size_t size ) {
	return AllocateOrPanic( size );
}

void* operator new[]( const std::size_t size ) {
	return AllocateOrPanic( size );
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
	ReleaseArray( p );
}

void operator delete( void* p, std::size_t ) noexcept {
	Release( p );
}

void operator delete[]( void* p, std::size_t ) noexcept {
	ReleaseArray( p );
}

void operator delete( void* p, const std::nothrow_t& ) noexcept {
	Release( p );
}

void operator delete[]( void* p, const std::nothrow_t& ) noexcept {
	ReleaseArray( p );
}
