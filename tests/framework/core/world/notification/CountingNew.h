/*
===============================================================================

	Counting allocator of the notification and audio tests.

	This test program replaces the global operator new and delete with
	malloc and free that count their calls, so a test can check that a
	path allocates nothing and that the blocks it handed over were freed.
	Watched blocks are remembered until freed; WatchedFreed tells how many
	of them have been freed since they were watched.

===============================================================================
*/
#ifndef COUNTING_NEW_H
#define COUNTING_NEW_H

#include "datatypes/base/DTTypes.h"

// Calls of operator new (every form) since the program started.
u64		CountingNewCalls();
// Blocks given back to operator delete (every form, null excluded).
u64		CountingDeleteCalls();

// A block of size bytes from ::operator new, watched until freed.
void*	NewWatchedBlock( u32 size );
// Watched blocks freed, and watched blocks not yet freed.
u32		WatchedFreed();
u32		WatchedLive();
// Forgets every watched block and the freed count.
void	WatchReset();

#endif
