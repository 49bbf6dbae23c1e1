/*
===============================================================================

	Coefficient decoding of one 8x8 block.

	Reads coefficient codes until the code marked last: each code moves the
	scan position by its run, stores its signed level at that position of
	the scan and steps on by one. The three escape modes of the standard
	are handled (level offset, run offset, fixed length). A position past
	63 stores nothing, though codes are still read up to the last one, and
	a window that starts no code consumes its 12 bits and ends the block,
	so zero bits past the end of a frame always end a block.

===============================================================================
*/
#ifndef M4_BLOCK_DECODER_H
#define M4_BLOCK_DECODER_H

#include "datatypes/base/DTTypes.h"

struct M4Bitstream;
struct M4CoefficientTables;

constexpr u32 M4_BLOCK_SIZE = 64;

// Decodes an intra block's codes from scan position first (1 when its DC
// was read separately, else 0) into block (raster order, 64 s16).
void	M4DecodeIntraBlock( M4Bitstream* bs, s16* block, u32 first, const M4CoefficientTables& tables, const u8* scan );
// Decodes an inter block's codes into block.
void	M4DecodeInterBlock( M4Bitstream* bs, s16* block, const M4CoefficientTables& tables, const u8* scan );

#endif
