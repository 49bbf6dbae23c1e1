/*
===============================================================================

	Block heap of the memory manager.

	One heap over a contiguous, 32-aligned range. Its blocks form a circular
	doubly linked list in address order that always holds two 32-byte
	sentinels: the head at the start and the tail at start + size - 32. Free
	space is not listed: it is the gap recorded in the block in front of it.

	Alloc is a next-fit search from a rover that moves to each new or freed
	block and goes home every 201st allocation. When a search goes a full
	lap without room, the heap is marked full until one of its blocks is
	freed. The mark remembers the smallest block that failed: without a
	free no gap grows, so the manager skips the heap for requests at least
	that large and still searches it for smaller ones. LoadAlloc places
	load buffers directly below the tail, outside the search.

	Alloc, LoadAlloc and ReAlloc return the header; the caller writes the
	tag. The statistics are kept for inspection only.

===============================================================================
*/
#ifndef DT_MEM_HEAP_H
#define DT_MEM_HEAP_H

#include "datatypes/memory/MMHeader.h"

// Bit of the status flags: the last search found no room.
constexpr u32 MM_HEAP_FULL          = 0x01;
// Allocations between two returns of the rover to the heap start, minus one.
constexpr u32 MM_HEAP_ROVER_PERIOD  = 200;

class DTMemHeap {
public:
	constexpr		DTMemHeap() = default;

	// Sets the heap up over [base, base + size). False when the range is
	// not 32-aligned or too small for the two sentinels.
	bool			Initialise( void* base, u32 size );
	// Forgets every block: Initialise over the same range.
	void			Reset();
	// Sends the rover home and restarts the countdown.
	void			ResetHeapPointeur();

	// A block for n payload bytes, or null.
	mmheader*		Alloc( u32 n );
	// A block directly below the tail when the gap there is large enough.
	mmheader*		LoadAlloc( u32 n );
	// Resizes h, in place whenever its gap allows; otherwise moves it.
	// Null, with h untouched, when there is no room.
	mmheader*		ReAlloc( mmheader* h, u32 n );
	// 1 when h was freed, 0 when it was not a live block.
	s32				Free( mmheader* h );

	// True when h is the address of a block header of this heap's range.
	bool			Contains( const mmheader* h ) const;
	mmheader*		GetFirstBlock() const { return mpoFirst; }
	mmheader*		GetRover() const { return mpoRover; }
	bool			IsFull() const { return ( mui32Flags & MM_HEAP_FULL ) != 0; }
	// True when a search for n bytes would fail for certain: the heap is
	// marked full and a block at least as large already failed.
	bool			SkipsRequest( u32 n ) const;

	// Statistics.
	u32				GetPeakBytes() const { return mui32PeakBytes; }
	u32				GetBytesInUse() const { return mui32BytesInUse; }
	u32				GetLiveBlocks() const { return mui32LiveBlocks; }
	u32				GetSize() const { return mui32Size; }
	u32				GetFlags() const { return mui32Flags; }
	u32				GetBytesWhileNotCurrent() const { return mui32BytesWhileNotCurrent; }
	u32				GetServedAtRover() const { return mui32ServedAtRover; }
	u32				GetServedAfterSearch() const { return mui32ServedAfterSearch; }
	u32				GetBlocksPassed() const { return mui32BlocksPassed; }
	u32				GetCountdown() const { return mui32Countdown; }

	// Bytes a block takes for a request of n: header included, rounded up
	// to 32.
	static u64		BlockSize( u32 n );

private:
	u32				mui32PeakBytes = 0;
	u32				mui32BytesInUse = 0;
	u32				mui32LiveBlocks = 0;
	u32				mui32Size = 0;
	u32				mui32Flags = 0;
	u32				mui32BytesWhileNotCurrent = 0;	// allocated here while the other heap was current
	u32				mui32ServedAtRover = 0;
	u32				mui32ServedAfterSearch = 0;
	u32				mui32BlocksPassed = 0;
	u32				mui32Countdown = 0;
	mmheader*		mpoFirst = nullptr;
	mmheader*		mpoRover = nullptr;
	// Block size of the smallest request that failed since the mark was
	// set; meaningful only while the heap is marked full.
	u64				mui64SmallestFailed = 0;

	mmheader*		Tail() const { return mpoFirst->Previous(); }
	void			CountBytes( s64 delta );
	bool			IsOtherThanCurrent() const;
};

#endif
