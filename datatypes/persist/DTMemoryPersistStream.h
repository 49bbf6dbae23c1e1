/*
===============================================================================

	Binary persist stream over a buffer in memory.

	Reads the big-endian encoding of DTBinaryPersistStream from a buffer of
	a known size. Every read is bounded: a read that asks for more than the
	buffer still holds copies what is left, leaves the position at the end
	and gives DT_PERSIST_READ_PAST_END; a negative count copies nothing and
	gives the same code with the position unchanged.

	The stream frees the buffer with delete[] when it owns it. A null
	buffer or a negative size reads as an empty buffer.

===============================================================================
*/
#ifndef DT_MEMORY_PERSIST_STREAM_H
#define DT_MEMORY_PERSIST_STREAM_H

#include "datatypes/persist/DTBinaryPersistStream.h"

class DTMemoryPersistStream : public DTBinaryPersistStream {
public:
	// Type binary memory, position 0, not owner.
							DTMemoryPersistStream( char * buffer, const s32 size );
	virtual					~DTMemoryPersistStream();

							DTMemoryPersistStream( const DTMemoryPersistStream & ) = delete;
	DTMemoryPersistStream &	operator=( const DTMemoryPersistStream & ) = delete;

	s32						LoadBinaryData( char * buffer, const s32 size ) override;
	u32						GetBytesLeft() const override;

	// Moves the position n bytes on; past the end it stops at the end and
	// gives DT_PERSIST_READ_PAST_END, a negative n changes nothing and
	// gives the same code.
	s32						Forward( const s32 n );

	// The stream frees the buffer with delete[] when destroyed.
	void					SetOwnBuffer( const bool own ) { mbOwnBuffer = own ? 1 : 0; }

	char *					GetBuffer() const { return mpMemPtr; }
	s32						GetBufferSize() const { return miBufferSize; }
	s32						GetPosition() const { return miFilePointer; }

private:
	s32						miBufferSize;
	s32						miFilePointer;
	u8						mbOwnBuffer;

	// The bytes a read can reach: 0 for a null buffer or a negative size.
	s32						GetReadableSize() const;
};

#endif
