/*
===============================================================================

	Fixed-size struct chunks of the world objects' streams.

	A world object's chunk opens with a struct chunk (0x01) whose version
	must lie in the accepted window. Readers take at most the bytes they
	define: a shorter payload leaves the rest of their buffer zero, a
	longer one is skipped past, so the chunks that follow are never read
	from the middle of a struct.

===============================================================================
*/
#ifndef RP_STRUCT_CHUNK_H
#define RP_STRUCT_CHUNK_H

#include "datatypes/base/DTTypes.h"

struct RwStream;

// Finds the struct chunk and reads up to capacity bytes of it into buffer
// (cleared first). versionOut may be null. False on a missing chunk, a
// version outside the window (0x80000004) or a short read.
bool	_rpStructChunkRead( RwStream* stream, u8* buffer, u32 capacity, u32* versionOut );

#endif
