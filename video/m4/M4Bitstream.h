/*
===============================================================================

	Bit reader of the video decoder.

	Reads a compressed frame most-significant bit first as a sequence of
	big-endian 32-bit words. The words are assembled from bytes, so the
	frame needs no alignment, and every byte load is bounded by the frame's
	size: bits past the end read as zeros and no byte beyond the frame is
	ever touched. Show accepts any count from 0 to 32.

===============================================================================
*/
#ifndef M4_BITSTREAM_H
#define M4_BITSTREAM_H

#include "datatypes/base/DTTypes.h"

struct M4Bitstream {
	u32			mCurrent;		// word holding the next bit
	u32			mNext;			// the word after it
	u32			mBitPosition;	// next bit in mCurrent, 0 (top) to 31
	const u8*	mTail;			// first byte not yet loaded into a word
	u32			mSize;			// frame size in bytes
	const u8*	mStart;			// first byte of the frame
	u32			mWordsLoaded;	// words loaded so far, those past the end included
};

// Points the reader at a frame of size bytes.
void	M4BitstreamInit( M4Bitstream* bs, const u8* data, u32 size );
// The next n bits (0 <= n <= 32) without consuming them.
u32		M4BitstreamShow( const M4Bitstream* bs, u32 n );
// Consumes n bits.
void	M4BitstreamSkip( M4Bitstream* bs, u32 n );
// Shows then consumes n bits (0 <= n <= 32).
u32		M4BitstreamGet( M4Bitstream* bs, u32 n );
// Bits consumed since the frame's first bit.
u32		M4BitstreamPosition( const M4Bitstream* bs );
// Consumes bits up to the next byte boundary counted from the frame's start.
void	M4BitstreamAlign( M4Bitstream* bs );

#endif
