/*
===============================================================================

	View of a loaded animation data block and the offsets it stores.

	The block is big-endian: byte 12 holds the number of tracks, which
	follow one after the other from byte 16. A track is an 8-byte head
	(bytes 4 and 5: its entry count n) and n entries of 8 bytes whose
	second word is an offset from the start of the block; it occupies
	8 + 8n bytes.

	A stored 32-bit word cannot hold a host pointer, so the offsets are
	never rewritten: ResolvePointers checks every track, entry and offset
	against the block size and marks the view resolved, and EntryTarget
	turns an offset into an address on demand. A block that fails the
	check is left as it was and the view stays unresolved. Resolving twice
	is harmless.

	The view does not own the block.

===============================================================================
*/
#ifndef DT_ANIM_HDR_H
#define DT_ANIM_HDR_H

#include "datatypes/base/DTTypes.h"

// Layout of the block.
constexpr u32 DT_ANIM_HDR_TRACK_COUNT_OFFSET	= 12;
constexpr u32 DT_ANIM_HDR_FIRST_TRACK			= 16;
constexpr u32 DT_ANIM_HDR_TRACK_HEAD_BYTES		= 8;
constexpr u32 DT_ANIM_HDR_ENTRY_COUNT_OFFSET	= 4;
constexpr u32 DT_ANIM_HDR_ENTRY_BYTES			= 8;
constexpr u32 DT_ANIM_HDR_ENTRY_OFFSET_WORD		= 4;

class DTAnimHdr {
public:
	explicit				DTAnimHdr( const u8 * block );

	// Checks the block against its size in bytes; true (and resolved) when
	// every track lies in the block and every stored offset points inside
	// it. False changes nothing.
	bool					ResolvePointers( const u32 blockSize );
	bool					IsResolved() const { return mbResolved; }

	// Read from the block; 0 until resolved.
	u32						GetTrackCount() const;
	// The track's head, or null for an index past the tracks or while
	// unresolved.
	const u8 *				GetTrack( const u32 track ) const;
	// Entries of a track; 0 for a track that does not exist.
	u32						GetEntryCount( const u32 track ) const;
	// The entry's 8 bytes, or null when it does not exist.
	const u8 *				GetEntry( const u32 track, const u32 entry ) const;
	// Block start plus the entry's stored offset, or null when it does not
	// exist.
	const u8 *				EntryTarget( const u32 track, const u32 entry ) const;

	const u8 *				GetBlock() const { return mpBlock; }
	u32						GetBlockSize() const { return muiBlockSize; }

private:
	const u8 *				mpBlock;
	u32						muiBlockSize;
	bool					mbResolved;
};

#endif
