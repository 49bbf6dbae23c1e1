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
// Bits consumed since the frame's first bit.
u32		M4BitstreamPosition( const M4Bitstream* bs );
// Consumes bits up to the next byte boundary counted from the frame's start.
void	M4BitstreamAlign( M4Bitstream* bs );
// Puts the reader at bit position (counted from the frame's first bit) as
// if that many bits had been consumed, forward or back.
void	M4BitstreamSeek( M4Bitstream* bs, u32 position );
// The big-endian word at tail, zero bytes past end (tail <= end).
u32		M4BitstreamTailWord( const u8* tail, const u8* end );

// The word at *tail as above, advancing *tail by the bytes it read; whole
// words inside the frame take one load.
inline u32 M4BitstreamReadWord( const u8** tail, const u8* end ) {
	const u8* const at = *tail;
	if ( end - at >= 4 ) {
		u32 word;
		__builtin_memcpy( &word, at, sizeof( word ) );
		*tail = at + 4;
		return __builtin_bswap32( word );
	}
	*tail = end;
	return M4BitstreamTailWord( at, end );
}

// The next word of the frame into the reader: the big-endian word at its
// tail, zero bytes past the frame's end.
inline u32 M4BitstreamLoadWord( M4Bitstream* bs ) {
	bs->mWordsLoaded++;
	return M4BitstreamReadWord( &bs->mTail, bs->mStart + bs->mSize );
}

// The next n bits (0 <= n <= 32) without consuming them.
inline u32 M4BitstreamShow( const M4Bitstream* bs, const u32 n ) {
	if ( n == 0 ) {
		return 0;
	}
	// Both words side by side; shifts stay below 64 for every n and position.
	const u64 both = ( static_cast<u64>( bs->mCurrent ) << 32 ) | bs->mNext;
	return static_cast<u32>( ( both << bs->mBitPosition ) >> ( 64 - n ) );
}

// Consumes n bits.
inline void M4BitstreamSkip( M4Bitstream* bs, const u32 n ) {
	u32 position = bs->mBitPosition + n;
	while ( position >= 32 ) {
		bs->mCurrent = bs->mNext;
		bs->mNext = M4BitstreamLoadWord( bs );
		position -= 32;
	}
	bs->mBitPosition = position;
}

// Shows then consumes n bits (0 <= n <= 32).
inline u32 M4BitstreamGet( M4Bitstream* bs, const u32 n ) {
	const u32 value = M4BitstreamShow( bs, n );
	M4BitstreamSkip( bs, n );
	return value;
}

#endif
