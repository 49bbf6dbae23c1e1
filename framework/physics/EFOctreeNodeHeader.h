/*
===============================================================================

	A node of a collision map's octree, as the loaded map holds it (native
	order, in place in the map's data): flags (0x1 leaf, 0x2/0x4/0x8 split
	along x/y/z), the centre and half size of its box. An inner node then
	holds eight child offsets counted from the root (0 for none; child bit
	0 is the +x half, bit 1 +y, bit 2 +z), a leaf (EFOctreeNodeEnd) a count
	and the offsets of its polygon records counted from the data base.

	Links stay 32-bit offsets; the map resolves them (GetChild, GetEntry).

===============================================================================
*/
#ifndef EF_OCTREE_NODE_HEADER_H
#define EF_OCTREE_NODE_HEADER_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/maths/DTVector3d.h"

constexpr u32 EF_OCTREE_LEAF		= 0x1;
constexpr u32 EF_OCTREE_SPLIT_X		= 0x2;
constexpr u32 EF_OCTREE_SPLIT_Y		= 0x4;
constexpr u32 EF_OCTREE_SPLIT_Z		= 0x8;
// Bytes of an inner node, and of a leaf before its list.
constexpr u32 EF_OCTREE_INNER_SIZE	= 60;
constexpr u32 EF_OCTREE_LEAF_SIZE	= 32;

struct EFOctreeNodeHeader {
	u32						ui32Flags;
	DTVector3d				oCentre;
	DTVector3d				oHalfSize;

	bool					IsLeaf() const { return ( ui32Flags & EF_OCTREE_LEAF ) != 0; }
	// The eight child offsets of an inner node.
	const u32 *				GetChildOffsets() const {
		return reinterpret_cast<const u32 *>( reinterpret_cast<const u8 *>( this ) + 28 );
	}
};

struct EFOctreeNodeEnd {
	EFOctreeNodeHeader		oHeader;
	u32						ui32Count;

	const u32 *				GetEntryOffsets() const {
		return reinterpret_cast<const u32 *>( reinterpret_cast<const u8 *>( this ) + EF_OCTREE_LEAF_SIZE );
	}
};

static_assert( sizeof( EFOctreeNodeHeader ) == 28, "a node header is 28 bytes" );
static_assert( sizeof( EFOctreeNodeEnd ) == EF_OCTREE_LEAF_SIZE, "a leaf header is 32 bytes" );

#endif
