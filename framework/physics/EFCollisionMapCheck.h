/*
===============================================================================

	The load-time check of a collision map's stored image, shared by the
	engine (before it decodes a map in place) and the tools (colmapcheck,
	makedisc), so that what the tools accept is exactly what a level loads.

	It reads the big-endian image only, never writes it, and stops at the
	first problem, which it names in one line: the size (at least 16, a
	multiple of 4, equal to the stored size), the region order (attribute
	records a multiple of 32, nodes, then polygon records to the end),
	every node inside the node region with its full size, no node reached
	twice or sharing a word with another (nodes are decoded in place one
	by one), depth at most 32, leaf entries at record starts, 3 to 32
	vertices, attribute indices below the count, finite floats and no
	zero-length edge.

	The caller provides the scratch words (GetScratchWords of them, zeroed)
	so the check allocates nothing itself.

===============================================================================
*/
#ifndef EF_COLLISION_MAP_CHECK_H
#define EF_COLLISION_MAP_CHECK_H

#include "datatypes/base/DTTypes.h"

// Deepest octree a map may hold.
constexpr u32 EF_COLLISION_MAP_MAX_DEPTH	= 32;

class EFCollisionMapCheck {
public:
	// Zeroed scratch words the check of an image of size bytes needs.
	static u32				GetScratchWords( u32 size );

	// Whether the image of size bytes is sound; if not, message (when not
	// null) receives one line naming the first problem and its byte.
	static bool				Run( const u8 * image, u32 size, u32 * scratch, char * message, u32 messageSize );
};

#endif
