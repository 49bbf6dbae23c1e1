/*
===============================================================================

	Inverse quantisation of one 8x8 block.

	Four kernels: the H.263 method and the MPEG method with its weighting
	matrix, each for intra and inter blocks. Inputs and outputs are 64 s16
	in raster order; every output is clamped to -2048..2047. Intra DCs are
	scaled by the DC scaler. Only MPEG inter blocks get mismatch control:
	when the outputs' exclusive-or is even, the lowest bit of the last
	output is inverted. Intra MPEG blocks deliberately get none.

===============================================================================
*/
#ifndef M4_INV_QUANT_H
#define M4_INV_QUANT_H

#include "datatypes/base/DTTypes.h"

constexpr s32 M4_COEFFICIENT_MIN = -2048;
constexpr s32 M4_COEFFICIENT_MAX = 2047;

void	M4InvQuantType0Intra( s16* out, const s16* in, u32 quantiser, u32 dcScaler );
void	M4InvQuantType0Inter( s16* out, const s16* in, u32 quantiser );
// The H.263 kernels one coefficient at a time: the plain kernels the
// vector ones must match.
void	M4InvQuantType0IntraReference( s16* out, const s16* in, u32 quantiser, u32 dcScaler );
void	M4InvQuantType0InterReference( s16* out, const s16* in, u32 quantiser );
// matrix: 64 weights in raster order.
void	M4InvQuantType1Intra( s16* out, const s16* in, u32 quantiser, u32 dcScaler, const u8* matrix );
void	M4InvQuantType1Inter( s16* out, const s16* in, u32 quantiser, const u8* matrix );
// Redoes the intra outputs that prediction changes after the AC outputs
// were made level by level: the DC, and the first row (raster 1-7) or
// first column (raster 8, 16, .., 56) when asked. matrix null: the H.263
// method, else the MPEG method with those weights.
void	M4InvQuantIntraEdges( s16* out, const s16* in, u32 quantiser, u32 dcScaler, const u8* matrix, bool firstRow, bool firstColumn );

#endif
