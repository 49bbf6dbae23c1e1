/*
===============================================================================

	Bit writer.

	Appends bits most-significant first and assembles them into 32-bit
	words that are stored big-endian, so the output reads the same way the
	console's bit reader consumes it: one word at a time, top bit first.
	Finish pads the last word with zero bits and returns whole bytes.

===============================================================================
*/
#ifndef TOOL_BIT_WRITER_H
#define TOOL_BIT_WRITER_H

#include "datatypes/base/DTTypes.h"

#include <vector>

class ToolBitReader;

class ToolBitWriter {
public:
						ToolBitWriter();

	// Appends the low count bits of value (count <= 32), top bit first.
	void				Write( u32 value, u32 count );
	// Appends count bits copied from the reader's position, consuming them.
	void				Copy( ToolBitReader& reader, u64 count );
	// Appends zero bits up to the next byte boundary.
	void				PadToByte();

	u64					BitCount() const { return bitCount; }
	// The written bits as bytes, the last one zero-filled; the writer is
	// left empty.
	std::vector<u8>		Finish();

private:
	void				FlushWord();

	std::vector<u8>		bytes;
	u32					word;
	u32					bitsInWord;
	u64					bitCount;
};

#endif
