#include "video/m4/M4Bitstream.h"

// The big-endian word at the reader's tail, zero bytes past the frame's end.
static u32 M4BitstreamLoadWord( M4Bitstream* bs ) {
	const u8* const	end = bs->mStart + bs->mSize;
	u32				word = 0;
	bs->mWordsLoaded++;
	for ( u32 i = 0; i < 4; i++ ) {
		word <<= 8;
		if ( bs->mTail < end ) {
			word |= *bs->mTail;
			bs->mTail++;
		}
	}
	return word;
}

void M4BitstreamInit( M4Bitstream* bs, const u8* data, u32 size ) {
	bs->mStart = data;
	bs->mSize = data != nullptr ? size : 0;
	bs->mTail = data;
	bs->mBitPosition = 0;
	bs->mWordsLoaded = 0;
	bs->mCurrent = M4BitstreamLoadWord( bs );
	bs->mNext = M4BitstreamLoadWord( bs );
}

u32 M4BitstreamShow( const M4Bitstream* bs, u32 n ) {
	if ( n == 0 ) {
		return 0;
	}
	// Both words side by side; shifts stay below 64 for every n and position.
	const u64 both = ( static_cast<u64>( bs->mCurrent ) << 32 ) | bs->mNext;
	return static_cast<u32>( ( both << bs->mBitPosition ) >> ( 64 - n ) );
}

void M4BitstreamSkip( M4Bitstream* bs, u32 n ) {
	u32 position = bs->mBitPosition + n;
	while ( position >= 32 ) {
		bs->mCurrent = bs->mNext;
		bs->mNext = M4BitstreamLoadWord( bs );
		position -= 32;
	}
	bs->mBitPosition = position;
}

u32 M4BitstreamGet( M4Bitstream* bs, u32 n ) {
	const u32 value = M4BitstreamShow( bs, n );
	M4BitstreamSkip( bs, n );
	return value;
}

u32 M4BitstreamPosition( const M4Bitstream* bs ) {
	// mCurrent and mNext are the last two words loaded.
	return ( bs->mWordsLoaded - 2 ) * 32 + bs->mBitPosition;
}

void M4BitstreamAlign( M4Bitstream* bs ) {
	const u32 remainder = M4BitstreamPosition( bs ) & 7;
	if ( remainder != 0 ) {
		M4BitstreamSkip( bs, 8 - remainder );
	}
}
