/*
===============================================================================

	Macroblock writes into a tiled picture.

	Each kernel works on the macroblock at (mb x, mb y): 16 x 16 luma
	pixels from the luma origin + 64 x mb x + 16 x stride x mb y and 8 x 8
	pixels of each chroma plane from its origin + 32 x mb x + 8 x (stride
	/ 2) x mb y. Blocks are six sets of 64 s16 in raster order (luma top
	left, top right, bottom left, bottom right, then U and V); written
	pixels saturate to 0..255. The field variants put luma blocks 0 and 1
	on the macroblock's even rows and blocks 2 and 3 on its odd rows;
	chroma stays in frame order. A block is coded when bit 5 - block of
	the pattern is set.

===============================================================================
*/
#ifndef M4_MEM_OP_H
#define M4_MEM_OP_H

#include "video/m4/M4Image.h"

// Stores six intra blocks.
void	M4MemOpIntraMBAll( M4Image* picture, u32 mbX, u32 mbY, const s16* blocks );
void	M4MemOpIntraMBAllField( M4Image* picture, u32 mbX, u32 mbY, const s16* blocks );
// Copies the co-located macroblock of reference: a macroblock not coded.
void	M4MemOpInterMBCopyAll( M4Image* picture, u32 mbX, u32 mbY, const M4Image* reference );
// Adds the coded blocks' residuals to the prediction already in picture.
void	M4MemOpInterMBAdd( M4Image* picture, u32 mbX, u32 mbY, const s16* blocks, u32 pattern );
void	M4MemOpInterMBAddField( M4Image* picture, u32 mbX, u32 mbY, const s16* blocks, u32 pattern );
// Averages picture's macroblock (the forward prediction) with backward's
// co-located one into picture, rounding up.
void	M4MemOpInterpolateAll( M4Image* picture, u32 mbX, u32 mbY, const M4Image* backward );
// The same writes one pixel at a time: the plain kernels the fast ones
// must match (field selects the field row order).
void	M4MemOpIntraMBAllReference( M4Image* picture, u32 mbX, u32 mbY, const s16* blocks, bool field );
void	M4MemOpInterMBAddReference( M4Image* picture, u32 mbX, u32 mbY, const s16* blocks, u32 pattern, bool field );
void	M4MemOpInterMBCopyAllReference( M4Image* picture, u32 mbX, u32 mbY, const M4Image* reference );
void	M4MemOpInterpolateAllReference( M4Image* picture, u32 mbX, u32 mbY, const M4Image* backward );
// Stores the macroblock's cache lines so that the GPU reads current data.
void	M4MemMBFlush( M4Image* picture, u32 mbX, u32 mbY );
// The same for a whole row of macroblocks: in the tiled planes its lines
// are one range per plane (the borders between included), so a row takes
// three stores where its macroblocks one by one take eight each.
void	M4MemMBRowFlush( M4Image* picture, u32 mbY );

#endif
