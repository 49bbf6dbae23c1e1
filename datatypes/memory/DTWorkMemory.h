/*
===============================================================================

	Bump-allocated work area.

	A buffer handed out front to back with no per-block bookkeeping: Get
	takes bytes (unaligned), Release gives the most recent ones back, Reset
	empties the area. Per-frame updates use the work memory and the scratch
	pad this way. An area either owns its buffer (taken from heap 0 by
	SetSize and freed with the area) or works over a caller's buffer.

===============================================================================
*/
#ifndef DT_WORK_MEMORY_H
#define DT_WORK_MEMORY_H

#include "datatypes/base/DTTypes.h"

class DTWorkMemory {
public:
	// Empty area that owns the buffer SetSize will take.
					DTWorkMemory();
	// Area over a caller's buffer, which it never frees.
					DTWorkMemory( void* buffer, u32 size );
	virtual			~DTWorkMemory();

					DTWorkMemory( const DTWorkMemory& ) = delete;
	DTWorkMemory&	operator=( const DTWorkMemory& ) = delete;

	// Replaces the buffer by a fresh one of n bytes from heap 0 and empties
	// the area. False, with an empty area, when heap 0 has no room.
	virtual bool	SetSize( u32 n );

	// n bytes from the current offset, or null when fewer are left.
	void*			Get( u32 n );
	// The whole buffer; the area is full afterwards.
	void*			GetAll();
	// Gives back the last n bytes. Giving back more than was taken empties
	// the area and returns false.
	bool			Release( u32 n );
	u32				GetFree() const;
	void			Reset();

	void*			GetBuffer() const { return mpBufferAddress; }
	u32				GetSize() const { return mui32Size; }

private:
	u8*				mpBufferAddress;
	u32				mui32Size;
	u32				mui32Offset;	// bytes handed out
	u8				mbOwner;		// the buffer is freed with the area
};

#endif
