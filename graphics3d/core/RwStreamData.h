/*
===============================================================================

	Typed payload data and string chunks of the 3D library's streams.

	Payload numbers are little-endian 32-bit words (integers and IEEE
	single-precision floats) or 16-bit halfwords. Typed reads decode each
	word to the machine's order in the caller's buffer; a read that comes
	up short returns null (recording 0x8000001A unless an error is already
	recorded). Typed writes encode through a 256-byte staging buffer, so
	the caller's data never changes. All lengths are in bytes; a trailing
	part of a word is moved as it is.

	String chunks (0x02 bytes, 0x13 16-bit units of which the low byte is
	kept) are read into a bounded buffer: at most capacity - 1 bytes are
	stored, the rest of the payload is skipped so that the stream stays in
	step, and the result is always terminated. Given no buffer the reader
	allocates the payload's length plus one.

===============================================================================
*/
#ifndef RW_STREAM_DATA_H
#define RW_STREAM_DATA_H

#include "graphics3d/core/RwStream.h"

// Bytes of the staging buffer of typed writes.
constexpr u32 RWSTREAM_STAGING_BYTES = 256;

// Bytes of the name buffers the core reads string chunks into.
constexpr u32 RWSTRING_BUFFER_BYTES = 128;

RwStream*	RwStreamReadInt32( RwStream* stream, void* ints, u32 numBytes );
RwStream*	RwStreamReadReal( RwStream* stream, f32* reals, u32 numBytes );
RwStream*	RwStreamWriteInt32( RwStream* stream, const void* ints, u32 numBytes );
RwStream*	RwStreamWriteInt16( RwStream* stream, const void* ints, u32 numBytes );
RwStream*	RwStreamWriteReal( RwStream* stream, const f32* reals, u32 numBytes );

// In place: little-endian words or halfwords to the machine's order, and
// the machine's words to little-endian. Return the buffer.
void*		RwMemNative32( void* mem, u32 size );
void*		RwMemNative16( void* mem, u32 size );
void*		RwMemLittleEndian32( void* mem, u32 size );
// The library's real is the IEEE single: no change.
void*		RwMemRealToFloat32( void* mem, u32 size );
void*		RwMemFloat32ToReal( void* mem, u32 size );

// The next string chunk into a buffer of 128 bytes, or into a new
// allocation when buffer is null. Null on failure.
char*		_rwStringStreamFindAndRead( char* buffer, RwStream* stream );
// The same with the buffer's capacity in bytes (at least 1).
char*		_rwStringStreamFindAndReadBounded( char* buffer, u32 capacity, RwStream* stream );

#endif
