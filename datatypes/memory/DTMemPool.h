/*
===============================================================================

	Fixed-size element pool of the memory manager.

	count + 1 elements of (element size + 32) bytes, each behind its own
	header, threaded in address order onto a free list at set-up. Taking
	and giving back an element is constant time; a pool never grows. Only
	a live element (magic 0xDEADBEEF) goes back on the list, so a double
	free cannot hand one element out twice.

===============================================================================
*/
#ifndef DT_MEM_POOL_H
#define DT_MEM_POOL_H

#include "datatypes/memory/MMHeader.h"

class DTMemPool {
public:
					DTMemPool();
	// Frees the buffer when Initialise took it from heap 0.
	virtual			~DTMemPool();

					DTMemPool( const DTMemPool& ) = delete;
	DTMemPool&		operator=( const DTMemPool& ) = delete;

	// Takes a buffer for count + 1 elements of size bytes from heap 0 and
	// threads them all onto the free list. False when heap 0 has no room.
	virtual bool	Initialise( const u32& count, u32 size );
	// The same over a caller's 32-aligned buffer of bufferBytes, which the
	// pool never frees. The element size must be a multiple of 32.
	bool			InitialiseOver( void* buffer, u32 bufferBytes, u32 count, u32 size );

	// A free element's header, or null when the pool is empty.
	mmheader*		GetElement();
	// Puts a live element back at the front of the free list; ignores null
	// and elements that are not in use.
	void			FreeElement( mmheader* h );

	// True when h is the header of one of this pool's elements.
	bool			Contains( const mmheader* h ) const;
	u32				GetElementSize() const { return mui32ElementSize; }
	u32				GetBufferSize() const { return mui32BufferSize; }
	// Elements on the free list (inspection only).
	u32				CountFree() const;

private:
	u8*				mpoBuffer;
	mmheader*		mpoFreeList;
	u32				mui32ElementSize;	// without header
	u32				mui32BufferSize;	// bytes
	bool			mbOwner;			// the buffer came from heap 0

	void			ReleaseBuffer();
};

#endif
