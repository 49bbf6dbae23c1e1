/*
===============================================================================

	Loading of the named byte blocks that follow the members of some
	stored objects.

	A block is stored as a data-block property: an i32 byte count, then the
	bytes (in the text form the block's name comes first as a word of up to
	20 characters, then the count and the bytes as letter pairs). The count
	must not exceed the buffer the block is loaded into.

	A new block is allocated only once its size has passed the checks: it
	must fit the 24-bit size of a data-block property and the bytes the
	stream still holds. A size that fails them gives
	DT_PERSIST_READ_PAST_END and allocates nothing.

===============================================================================
*/
#ifndef DT_DATA_BLOCK_H
#define DT_DATA_BLOCK_H

#include "datatypes/base/DTTypes.h"

class DTBasePersistStream;

// Characters of a block's name in the text form.
constexpr s32 DT_DATA_BLOCK_NAME_MAX	= 20;

class DTDataBlock {
public:
	// Whether a block of size bytes can be in the stream.
	static bool				Fits( const DTBasePersistStream & stream, const u64 size );

	// Checks size, allocates a zeroed block of that many bytes into block
	// (null for 0 bytes) and loads it. block is left null when the checks
	// fail; an allocated block stays with the caller even when the load
	// fails.
	static s32				LoadNew( DTBasePersistStream & stream, const char * name, const u64 size, u8 *& block );

	// Loads the block into buffer, which holds size bytes.
	static s32				LoadInto( DTBasePersistStream & stream, const char * name, u8 * buffer, const u32 size );
};

#endif
