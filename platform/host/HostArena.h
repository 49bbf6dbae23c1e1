/*
===============================================================================

	Host arena: the block of memory that stands for the console's free
	memory arena.

	It is created on first use, so static initialisers can allocate before
	main runs. Its base and end are multiples of 32; its size comes from the
	ENGINE_ARENA_SIZE host setting or HostArenaConfigure. The memory manager
	keeps links as 32-bit offsets from the base, and "is this one of my
	blocks" is a range test against it.

===============================================================================
*/
#ifndef HOST_ARENA_H
#define HOST_ARENA_H

#include "platform/types/PlatformTypes.h"

// The memory manager keeps 0xCDA000 bytes for the global heap and the OS,
// and needs a little room in the level heap beyond that.
constexpr u32 HOST_ARENA_MINIMUM = 0xCDA000 + 64;

// Base of the arena, creating it on first use.
u8* HostArenaBase();

// Size of the arena in bytes.
u32 HostArenaSize();

// True when p lies inside the arena.
bool HostArenaContains( const void* p );

// Makes bytes of the arena usable again for a memory checker. Under
// AddressSanitizer clang marks the hidden element count in front of an
// array with a destructor as untouchable while the array lives, and only
// the checker's own allocator clears the mark; an arena block goes back to
// the engine's heaps instead, whose fill of freed blocks would trip over it.
// Does nothing in a build without the checker.
void HostArenaClearMarks( void* p, u32 bytes );

// Replaces the arena by a fresh one of the given size (rounded down to 32)
// and resets the OS arena bounds to cover it. Refuses, with a message on
// stderr, a size that leaves the level heap no room. Every pointer into the
// old arena becomes invalid.
bool HostArenaConfigure( u32 size );

#endif
