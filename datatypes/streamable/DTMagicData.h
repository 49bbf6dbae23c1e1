/*
===============================================================================

	An opaque byte block whose meaning belongs to the game logic.

	The block's size is a member ("MAGIC_SIZE") that the owner usually loads
	first, often through a member of its own over GetSizeField. Loading the
	block itself reads no UID and no member: an i32 byte count n, then n
	bytes, into a block of the size loaded before. A count larger than that
	size gives DT_PERSIST_READ_PAST_END and writes nothing.

	A load replaces the earlier block, which is freed. A size too large for
	a data block (24 bits) gives DT_PERSIST_READ_PAST_END and allocates
	nothing.

===============================================================================
*/
#ifndef DT_MAGIC_DATA_H
#define DT_MAGIC_DATA_H

#include "datatypes/streamable/DTStreamable.h"

class DTMagicData : public DTStreamable {
public:
							DTMagicData();
							DTMagicData( const DTMagicData & other );
	// Frees the block.
	virtual					~DTMagicData();

	// Copies the size and a fresh copy of the block.
	DTMagicData &			operator=( const DTMagicData & other );

	// Allocates a block of the current size and loads it ("MAGIC_BLOCK").
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// Loads count raw bytes, with no count word before them, into a new
	// block of the current size; the little-endian emitter sets store
	// their blocks so. A count larger than the size gives
	// DT_PERSIST_READ_PAST_END and reads nothing.
	s32						LoadBytes( DTBasePersistStream & stream, const u32 count );
	// Writes nothing; 0.
	s32						SaveToStream( DTBasePersistStream & stream ) override;

	const u8 *				GetBlock() const { return mpMagicDataBlock; }
	u32						GetSize() const { return muiMagicDataBlockSize; }
	void					SetSize( const u32 size ) { muiMagicDataBlockSize = size; }
	// The size field, for owners that register it as a member of their own.
	u32 *					GetSizeField() { return &muiMagicDataBlockSize; }

private:
	u8 *					mpMagicDataBlock;
	u32						muiMagicDataBlockSize;

	void					FreeBlock();
	// Frees the block and allocates a zeroed one of the current size.
	s32						AllocateBlock();
};

#endif
