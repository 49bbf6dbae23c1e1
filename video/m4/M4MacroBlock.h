/*
===============================================================================

	Macroblock record and motion vector.

	One record per macroblock in raster order. I-, P- and sprite frames
	write it; B-frames read it as the co-located data of the future
	reference. Vectors are in half samples. A field-predicted macroblock
	keeps its top-field vector in vectors 0 and 2 and its bottom-field
	vector in vectors 1 and 3, vertical components in frame rows (twice
	the field rows). Intra blocks keep what prediction of their
	neighbours needs: the DC times its scaler and the first row and
	column of coefficients.

===============================================================================
*/
#ifndef M4_MACRO_BLOCK_H
#define M4_MACRO_BLOCK_H

#include "datatypes/base/DTTypes.h"

struct M4_VECTOR {
	s32		x;
	s32		y;
};

enum M4MacroBlockType : u8 {
	M4_MB_INTER				= 0,
	M4_MB_INTER_Q			= 1,
	M4_MB_INTER4V			= 2,
	M4_MB_INTRA				= 3,
	M4_MB_INTRA_Q			= 4,
	M4_MB_NOT_CODED			= 16,
	M4_MB_NOT_CODED_SPRITE	= 17,
};

// Bits of M4_MB::mFlags.
constexpr u8 M4_MB_FLAG_FIELD_DCT			= 0x04;
constexpr u8 M4_MB_FLAG_FIELD_PREDICTION	= 0x08;
constexpr u8 M4_MB_FLAG_FIELD_SELECT_TOP	= 0x10;
constexpr u8 M4_MB_FLAG_FIELD_SELECT_BOTTOM	= 0x20;

constexpr u32 M4_MB_BLOCKS = 6;

// One block's prediction area: DC, then first-row AC (raster 1..7), then
// first-column AC (raster 8, 16, .., 56).
constexpr u32 M4_ACDC_VALUES	= 15;
constexpr u32 M4_ACDC_ROW		= 1;
constexpr u32 M4_ACDC_COLUMN	= 8;

struct M4_MB {
	u8			mType;						// M4MacroBlockType
	u8			mQuantiser;
	u8			mACPredDirection[M4_MB_BLOCKS];	// 0 none, 1 above, 2 left
	s32			mMv[8];						// four vectors, x then y
	M4_VECTOR	mBForward[2];				// top and bottom field; a frame vector in both
	M4_VECTOR	mBBackward[2];
	u8			mFlags;
	u8			mCbp;						// coded blocks of a B macroblock
	s16			mACDCValues[M4_MB_BLOCKS][M4_ACDC_VALUES];
};

#endif
