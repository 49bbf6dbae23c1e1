/*
===============================================================================

	Memory functions of the 3D library.

	All library memory comes from four functions handed to RwEngineInit;
	the engine hands its own allocator. Without a record the host C
	library's allocate, free and reallocate serve, with FakeCalloc as the
	zero-allocate. The zero-allocate handed in must clear its memory: later
	modules rely on it.

	The memory module also owns the list of every free list and the master
	free list of free-list records (see RwFreeList.h).

===============================================================================
*/
#ifndef RW_MEMORY_H
#define RW_MEMORY_H

#include "datatypes/base/DTTypes.h"

struct RwMemoryFunctions {
	void*	( *rwmalloc )( u32 size );
	void	( *rwfree )( void* block );
	void*	( *rwrealloc )( void* block, u32 size );
	void*	( *rwcalloc )( u32 count, u32 size );
};

// count x size cleared bytes from the record's allocate function; null
// when the product does not fit in 32 bits.
void*	FakeCalloc( u32 count, u32 size );

// Installs the memory functions (the given four, or the host's when null)
// in the current engine instance and sets up the free-list bookkeeping.
// False for a record with a missing function.
bool	_rwMemoryOpen( const RwMemoryFunctions* memoryFunctions );
// Destroys every free list still alive, then the master list.
void	_rwMemoryClose();

#endif
