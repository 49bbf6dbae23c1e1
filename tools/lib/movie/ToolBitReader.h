/*
===============================================================================

	Bit reader over a byte buffer.

	Reads most-significant bit first, as every MPEG-4 syntax element is
	stored. Reading past the end never touches memory beyond the buffer: it
	yields zero bits and raises the overrun flag, which callers test once
	after a whole header so that a truncated unit is refused instead of
	parsed from garbage.

===============================================================================
*/
#ifndef TOOL_BIT_READER_H
#define TOOL_BIT_READER_H

#include "datatypes/base/DTTypes.h"

class ToolBitReader {
public:
					ToolBitReader( const u8* data, u64 sizeInBytes );

	// The next count bits (count <= 32) as an unsigned value, consumed.
	u32				Read( u32 count );
	// The next count bits (count <= 32) without consuming them.
	u32				Peek( u32 count ) const;
	void			Skip( u64 count );
	// Skips to the next byte boundary (nothing when already on one).
	void			AlignToByte();

	u64				Position() const { return bitPosition; }
	u64				SizeInBits() const { return sizeInBytes * 8u; }
	u64				BitsLeft() const;
	bool			IsByteAligned() const { return ( bitPosition & 7u ) == 0; }
	// True once any read went past the end of the buffer.
	bool			Overran() const { return overran; }

private:
	u32				BitAt( u64 position ) const;

	const u8*		data;
	u64				sizeInBytes;
	u64				bitPosition;
	bool			overran;
};

#endif
