/*
===============================================================================

	A game buffer: one block of logic state named by a 32-bit id, kept by
	the game memory manager.

	The handle holds a single block of EF_GAME_BUFFER_HEADER_BYTES + size
	bytes whose header is kept in its stored, big-endian form, so that a
	saved game copies header and data byte for byte:

		 0	u32	buffer id
		 4	u32	data size in bytes
		 8	u32	reference count
		12	u8	persistent flag (1 persistent, 0 not)
		13	3	zero
		16	u32	0 (the console stores the data address here; nothing
				reads it)
		20		the data, zeroed at creation

===============================================================================
*/
#ifndef EF_GAME_BUFFER_H
#define EF_GAME_BUFFER_H

#include "datatypes/base/DTTypes.h"

constexpr u32 EF_GAME_BUFFER_HEADER_BYTES	= 20;

class EFGameBuffer {
public:
							EFGameBuffer();
	// Frees the block.
							~EFGameBuffer();

							EFGameBuffer( const EFGameBuffer & ) = delete;
	EFGameBuffer &			operator=( const EFGameBuffer & ) = delete;

	// Allocates and writes the block with count 0; false, with nothing
	// allocated, when the block's size does not fit 32 bits or there is
	// no memory. Only for a handle without a block.
	bool					Create( u32 id, u32 size, bool persistent );

	u32						GetID() const;
	u32						GetSize() const;
	u32						GetCount() const;
	void					SetCount( u32 count );
	bool					IsPersistent() const;

	// The data, size bytes.
	u8 *					GetData() const;
	// Header and data, as saved.
	const u8 *				GetBlock() const { return mpBlock; }
	u32						GetBlockSize() const { return mpBlock != nullptr ? EF_GAME_BUFFER_HEADER_BYTES + GetSize() : 0; }

private:
	u8 *					mpBlock;
};

#endif
