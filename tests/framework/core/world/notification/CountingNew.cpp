#include "CountingNew.h"

#include <cstdlib>
#include <new>

namespace {

constexpr u32 WATCH_CAPACITY = 4096;

u64		newCalls = 0;
u64		deleteCalls = 0;
void*	watched[WATCH_CAPACITY];
u32		watchedCount = 0;
u32		watchedFreed = 0;

void* CountedAllocate( const std::size_t size ) {
	newCalls++;
	return std::malloc( size != 0 ? size : 1 );
}

void CountedFree( void* p ) noexcept {
	if ( p == nullptr ) {
		return;
	}
	deleteCalls++;
	for ( u32 i = 0; i < watchedCount; i++ ) {
		if ( watched[i] == p ) {
			watched[i] = watched[--watchedCount];
			watchedFreed++;
			break;
		}
	}
	std::free( p );
}

void* CountedAllocateOrThrow( const std::size_t size ) {
	void* const p = CountedAllocate( size );
	if ( p == nullptr ) {
		throw std::bad_alloc();
	}
	return p;
}

}

u64 CountingNewCalls() {
	return newCalls;
}

u64 CountingDeleteCalls() {
	return deleteCalls;
}

void* NewWatchedBlock( const u32 size ) {
	void* const p = ::operator new( size );
	if ( watchedCount < WATCH_CAPACITY ) {
		watched[watchedCount++] = p;
	}
	return p;
}

u32 WatchedFreed() {
	return watchedFreed;
}

u32 WatchedLive() {
	return watchedCount;
}

void WatchReset() {
	watchedCount = 0;
	watchedFreed = 0;
}

void* operator new( const std::size_t size ) {
	return CountedAllocateOrThrow( size );
}

void* operator new[]( const std::size_t size ) {
	return CountedAllocateOrThrow( size );
}

void* operator new( const std::size_t size, const std::nothrow_t& ) noexcept {
	return CountedAllocate( size );
}

void* operator new[]( const std::size_t size, const std::nothrow_t& ) noexcept {
	return CountedAllocate( size );
}

void operator delete( void* p ) noexcept {
	CountedFree( p );
}

void operator delete[]( void* p ) noexcept {
	CountedFree( p );
}

void operator delete( void* p, std::size_t ) noexcept {
	CountedFree( p );
}

void operator delete[]( void* p, std::size_t ) noexcept {
	CountedFree( p );
}

void operator delete( void* p, const std::nothrow_t& ) noexcept {
	CountedFree( p );
}

void operator delete[]( void* p, const std::nothrow_t& ) noexcept {
	CountedFree( p );
}
