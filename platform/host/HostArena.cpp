#include "platform/host/HostArena.h"

#include "platform/host/HostSettings.h"
#include "platform/os/OS.h"

#include <sanitizer/asan_interface.h>

#include <cstdio>
#include <cstdlib>

namespace {

u8*		arenaBase = nullptr;
u32		arenaSize = 0;

bool SizeIsUsable( const u32 size ) {
	if ( size > HOST_ARENA_MINIMUM ) {
		return true;
	}
	std::fprintf( stderr, "host: an arena of %u bytes is too small: it must be larger than %u bytes\n",
				  size, HOST_ARENA_MINIMUM );
	return false;
}

void Create( const u32 size ) {
	// std::aligned_alloc rather than new: the arena must never come from the
	// engine's own allocator, which lives inside it.
	arenaBase = static_cast<u8*>( std::aligned_alloc( 32, size ) );
	if ( arenaBase == nullptr ) {
		std::fprintf( stderr, "host: cannot reserve an arena of %u bytes\n", size );
		std::exit( EXIT_FAILURE );
	}
	arenaSize = size;
	OSSetArenaLo( arenaBase );
	OSSetArenaHi( arenaBase + arenaSize );
}

}

u8* HostArenaBase() {
	if ( arenaBase == nullptr ) {
		const u32 size = HostGetSettings().arenaSize & ~31u;
		if ( !SizeIsUsable( size ) ) {
			std::exit( EXIT_FAILURE );
		}
		Create( size );
	}
	return arenaBase;
}

u32 HostArenaSize() {
	HostArenaBase();
	return arenaSize;
}

bool HostArenaContains( const void* p ) {
	if ( arenaBase == nullptr ) {
		return false;
	}
	const u8* byte = static_cast<const u8*>( p );
	return byte >= arenaBase && byte < arenaBase + arenaSize;
}

bool HostArenaConfigure( const u32 size ) {
	const u32 rounded = size & ~31u;
	if ( !SizeIsUsable( rounded ) ) {
		return false;
	}
	std::free( arenaBase );
	arenaBase = nullptr;
	Create( rounded );
	return true;
}

void HostArenaClearMarks( void* p, const u32 bytes ) {
	if ( p != nullptr && HostArenaContains( p ) ) {
		ASAN_UNPOISON_MEMORY_REGION( p, bytes );
	}
}
