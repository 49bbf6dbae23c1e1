/*
===============================================================================

	Block header of the memory manager.

	Exactly 32 bytes in front of every heap block and every pool element;
	the caller's pointer is the header's address + 32, so payloads keep the
	32-byte alignment of the headers. The links are stored as 32-bit
	offsets from the host arena's base, which keeps the header at 32 bytes
	on a 64-bit host; every header therefore lies inside the arena.

	The tag names the owner of a live block: kind in the top 3 bits (1 heap
	block, 3 pool element), the heap or pool index in the next 3 bits, the
	low 26 bits zero.

===============================================================================
*/
#ifndef MM_HEADER_H
#define MM_HEADER_H

#include "datatypes/base/DTTypes.h"
#include "platform/host/HostArena.h"

constexpr u32 MM_HEADER_BYTES   = 32;
constexpr u32 MM_MAGIC_IN_USE   = 0xDEADBEEF;
constexpr u32 MM_MAGIC_FREE     = 0xDEADDEAD;

constexpr u32 MM_TAG_KIND_SHIFT = 29;
constexpr u32 MM_TAG_INDEX_SHIFT = 26;
constexpr u32 MM_TAG_INDEX_MASK = 0x7;
constexpr u32 MM_TAG_LOW_MASK   = 0x03FFFFFF;
constexpr u32 MM_TAG_KIND_HEAP  = 1;
constexpr u32 MM_TAG_KIND_POOL  = 3;

// Link value of "no block" (a header offset is always a multiple of 32).
constexpr u32 MM_NO_LINK        = 0xFFFFFFFF;

struct mmheader {
	u32		mui32Magic;		// MM_MAGIC_IN_USE or MM_MAGIC_FREE
	u32		mui32Next;		// offset of the next block from the arena base
	u32		mui32Previous;	// offset of the previous block
	u32		mui32Size;		// heap block: bytes with header; pool element: bytes without
	s32		mi32FreeBytes;	// free gap between this block's end and the next block
	u32		mui32Tag;		// owner, see above
	u32		mui32Spare[2];

	mmheader*	Next() const { return FromLink( mui32Next ); }
	mmheader*	Previous() const { return FromLink( mui32Previous ); }
	void		SetNext( const mmheader* h ) { mui32Next = ToLink( h ); }
	void		SetPrevious( const mmheader* h ) { mui32Previous = ToLink( h ); }

	// The caller's pointer and back.
	void*		Payload() { return reinterpret_cast<u8*>( this ) + MM_HEADER_BYTES; }
	static mmheader* FromPayload( void* p ) {
		return reinterpret_cast<mmheader*>( static_cast<u8*>( p ) - MM_HEADER_BYTES );
	}

	static u32 ToLink( const mmheader* h ) {
		if ( h == nullptr ) {
			return MM_NO_LINK;
		}
		return static_cast<u32>( reinterpret_cast<const u8*>( h ) - HostArenaBase() );
	}
	static mmheader* FromLink( const u32 link ) {
		if ( link == MM_NO_LINK ) {
			return nullptr;
		}
		return reinterpret_cast<mmheader*>( HostArenaBase() + link );
	}
};

static_assert( sizeof( mmheader ) == MM_HEADER_BYTES, "the block header must stay 32 bytes" );

// Tag of a block owned by heap or pool `index`.
constexpr u32 MMMakeTag( const u32 kind, const u32 index ) {
	return ( kind << MM_TAG_KIND_SHIFT ) | ( ( index & MM_TAG_INDEX_MASK ) << MM_TAG_INDEX_SHIFT );
}

constexpr u32 MMTagKind( const u32 tag ) { return tag >> MM_TAG_KIND_SHIFT; }
constexpr u32 MMTagIndex( const u32 tag ) { return ( tag >> MM_TAG_INDEX_SHIFT ) & MM_TAG_INDEX_MASK; }

#endif
