/*
===============================================================================

	Palette quantiser of the 3D library.

	Reduces the colours of one or more images (32-bit, or 4- and 8-bit
	through their palettes) to at most 256 RGBA entries and maps every
	pixel to an entry. Colours are counted in a 16-way tree over the top
	five bits of each channel: every level consumes one bit of red, green,
	blue and alpha, so a leaf, five levels down, is one cell of a
	32 x 32 x 32 x 32 grid. When there are more cells than entries the
	colour space is split into boxes by repeated variance-reducing cuts,
	one box per entry.

	Leaves keep weighted sums of the channels scaled to 0..1 and the sum
	of squares; mean colours come back to bytes by truncation. A state
	lives on the caller's stack between Init and Term; tables and nodes
	come from the library's memory functions and free lists.

	Every pixel that is matched must have been added before the palette
	was resolved. A pixel whose cell was never added is matched to entry
	0 instead of walking into a missing branch.

===============================================================================
*/
#ifndef RW_PAL_QUANT_H
#define RW_PAL_QUANT_H

#include "graphics3d/core/RwImage.h"

struct RwFreeList;

// Entries a palette may have; also the size of the box tables.
constexpr s32 RWPALQUANT_MAX_COLOURS		= 256;
// Children of a branch.
constexpr s32 RWPALQUANT_BRANCH_CHILDREN	= 16;
// Nodes per block of the node free list.
constexpr s32 RWPALQUANT_NODES_PER_BLOCK	= 64;
// Levels from the root down to a leaf.
constexpr s32 RWPALQUANT_TREE_DEPTH			= 5;
// Cells per channel (the top five bits of a byte).
constexpr s32 RWPALQUANT_CELLS				= 32;
// Index a leaf holds until the palette is resolved.
constexpr u8 RWPALQUANT_UNASSIGNED			= 255;

// One cell of the colour space and what was added to it.
struct RwPalQuantLeaf {
	f32		weight;
	f32		sum[4];			// red, green, blue, alpha scaled to 0..1, weighted
	f32		sumSquares;
	u8		index;			// palette entry, RWPALQUANT_UNASSIGNED until resolved
};

union RwPalQuantNode {
	RwPalQuantNode*	children[RWPALQUANT_BRANCH_CHILDREN];	// null where absent
	RwPalQuantLeaf	leaf;
};

// A box of cells: min <= cell < max on every channel (red, green, blue,
// alpha), in cell units.
struct RwPalQuantBox {
	u8		minimum[4];
	u8		maximum[4];
};

struct RwPalQuant {
	RwPalQuantBox*	boxes;			// RWPALQUANT_MAX_COLOURS, zero-filled
	f32*			variances;		// RWPALQUANT_MAX_COLOURS, zero-filled
	RwPalQuantNode*	root;
	RwFreeList*		nodeFreeList;
};

// Fills the key table, allocates both tables, the node free list and an
// empty root. False (with everything made undone) when memory runs out.
bool	_rwPalQuantInit( RwPalQuant* pq );
// Adds every pixel with the weight. Depths other than 4, 8 and 32 add
// nothing. False when a node cannot be allocated.
bool	_rwPalQuantAddImage( RwPalQuant* pq, const RwImage* image, f32 weight );
// Writes up to maxcols entries (a limit above 256 counts as 256) and
// assigns every leaf its entry. The number of leaves when they fit,
// with the entries after them zero; the limit otherwise.
s32		_rwPalQuantResolvePalette( RwRGBA* palette, s32 maxcols, RwPalQuant* pq );
// Writes the entry of every pixel of image: one a byte, or at depth 4
// with a non-zero packing flag two a byte, the even pixel in the low
// nibble; the other nibble of a byte written for one pixel stays.
void	_rwPalQuantMatchImage( u8* dstPixels, s32 dstStride, s32 dstDepth, s32 dstPacked, RwPalQuant* pq,
							   const RwImage* image );
// Frees every node, the free list and both tables.
void	_rwPalQuantTerm( RwPalQuant* pq );

// Leaves, and nodes of every kind, in the tree.
s32		_rwPalQuantCountLeaves( const RwPalQuant* pq );
s32		_rwPalQuantCountNodes( const RwPalQuant* pq );

#endif
