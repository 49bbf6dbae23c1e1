/*
===============================================================================

	Memory hooks of the video decoder library.

	Every byte the decoder uses comes through three process-wide callbacks
	installed when a decoder is created: an allocator, its free, and an
	allocator of small fast memory that has no free. The hooks stay
	installed after the decoder is destroyed and are replaced by the next
	creation, so only one decoder with one set of hooks exists at a time.

===============================================================================
*/
#ifndef M4_MEMORY_H
#define M4_MEMORY_H

#include "datatypes/base/DTTypes.h"

typedef void*	( *M4AllocCallback )( u32 size );
typedef void	( *M4FreeCallback )( void* block );

extern M4AllocCallback	_M4allocCB;
extern M4FreeCallback	_M4freeCB;
extern M4AllocCallback	_M4LCallocCB;

// Stores the three hooks; any of them may be null.
void		M4initMemory( M4AllocCallback alloc, M4FreeCallback free, M4AllocCallback fastAlloc );

// A block from the allocation hook, or null when there is no hook or it
// failed.
void*		M4Malloc( u32 size );
// Gives a block of M4Malloc back; null does nothing.
void		M4Free( void* block );
// A block of fast memory, or null when there is no fast hook or it is
// exhausted. Fast memory is never freed.
void*		M4FastMalloc( u32 size );

#endif
