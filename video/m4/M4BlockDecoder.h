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

	The decoders keep the reader's bits in a 64-bit register refilled
	eight bytes at a time (byte by byte near the frame's end, never
	reading past it) and hand the position back to the reader when the
	block, or a macroblock's blocks, end. Inter blocks can be dequantised
	as they are decoded: each level is scaled as it is stored, so only
	coded coefficients are touched. The Reference kernels read one code at a time through the
	reader itself: the plain kernels the others must match.

===============================================================================
*/
#ifndef M4_BLOCK_DECODER_H
#define M4_BLOCK_DECODER_H

#include "datatypes/base/DTTypes.h"

#include <emmintrin.h>

struct M4Bitstream;
struct M4CoefficientTables;

constexpr u32 M4_BLOCK_SIZE = 64;

// Zeros the 64 coefficients of block with eight vector stores (a call to
// memset of 128 bytes costs more than the block's decoding).
inline void M4ClearBlock( s16* block ) {
	#pragma GCC unroll 8
	for ( u32 i = 0; i < M4_BLOCK_SIZE; i += 8 ) {
		_mm_storeu_si128( reinterpret_cast<__m128i*>( block + i ), _mm_setzero_si128() );
	}
}

// How a block's levels become transform input.
struct M4Dequantiser {
	bool		mMpeg;			// MPEG method with mMatrix, else H.263
	u32			mQuantiser;
	const u8*	mMatrix;		// 64 weights in raster order
};

// Decodes an intra block's codes from scan position first (1 when its DC
// was read separately, else 0) into block (raster order, 64 s16).
void	M4DecodeIntraBlock( M4Bitstream* bs, s16* block, u32 first, const M4CoefficientTables& tables, const u8* scan );
// Decodes an intra block's codes into levels as M4DecodeIntraBlock does
// and stores each level dequantised by the intra rule for its position
// (that of M4InvQuantType0Intra, or M4InvQuantType1Intra for MPEG) into
// out. Both blocks come cleared (levels[0] may hold a DC read apart);
// the DC and whatever prediction then changes are M4InvQuantIntraEdges'
// to redo.
void	M4DecodeIntraBlockDequantised( M4Bitstream* bs, s16* levels, s16* out, u32 first, const M4CoefficientTables& tables, const u8* scan, const M4Dequantiser& dequantiser );
// Decodes an inter block's codes into block.
void	M4DecodeInterBlock( M4Bitstream* bs, s16* block, const M4CoefficientTables& tables, const u8* scan );
// Decodes and dequantises the coded blocks of an inter macroblock (block
// b when bit 5 - b of pattern is set) into blocks (six of 64 s16), in
// block order: each coded block ends as M4DecodeInterBlock into a cleared
// block followed by M4InvQuantType0Inter (or, for MPEG,
// M4InvQuantType1Inter) leaves it; the others are not touched.
void	M4DecodeInterMacroBlockDequantised( M4Bitstream* bs, s16* blocks, u32 pattern, const M4CoefficientTables& tables, const u8* scan, const M4Dequantiser& dequantiser );

void	M4DecodeIntraBlockReference( M4Bitstream* bs, s16* block, u32 first, const M4CoefficientTables& tables, const u8* scan );
void	M4DecodeInterBlockReference( M4Bitstream* bs, s16* block, const M4CoefficientTables& tables, const u8* scan );

#endif
