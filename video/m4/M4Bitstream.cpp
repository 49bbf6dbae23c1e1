#include "video/m4/M4Bitstream.h"

u32 M4BitstreamTailWord( const u8* tail, const u8* end ) {
	u32 word = 0;
	for ( u32 i = 0; i < 4; i++ ) {
		word <<= 8;
		if ( tail < end ) {
			word |= *tail;
			tail++;
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

void M4BitstreamSeek( M4Bitstream* bs, const u32 position ) {
	const u32 word = position / 32;
	const u64 offset = static_cast<u64>( word ) * 4;
	bs->mTail = offset < bs->mSize ? bs->mStart + offset : bs->mStart + bs->mSize;
	bs->mWordsLoaded = word;
	bs->mCurrent = M4BitstreamLoadWord( bs );
	bs->mNext = M4BitstreamLoadWord( bs );
	bs->mBitPosition = position % 32;
}
