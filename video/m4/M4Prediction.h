/*
===============================================================================

	Intra DC and AC prediction.

	Each intra block predicts its DC, and optionally its first row or first
	column of coefficients, from the block to its left or above, whichever
	lies across the smaller DC gradient. Neighbours are blocks of the same
	component in this or the neighbouring macroblocks; one outside the
	picture or in a macroblock that is not intra takes the defaults (DC
	1024, AC 0). Values are scaled with the rounding division of the MPEG-4
	visual standard. Each block then stores its own DC (times its scaler)
	and its final first row and column in its macroblock record for the
	blocks that follow.

===============================================================================
*/
#ifndef M4_PREDICTION_H
#define M4_PREDICTION_H

#include "video/m4/M4MacroBlock.h"

// Prediction directions of M4_MB::mACPredDirection.
enum M4PredictionDirection : u8 {
	M4_PRED_NONE	= 0,
	M4_PRED_ABOVE	= 1,	// first row from the block above
	M4_PRED_LEFT	= 2,	// first column from the block on the left
};

constexpr u32 M4_ACDC_AC_COUNT = 7;

// What prediction gives one block.
struct M4ACDCPredictor {
	u32		mDirection;					// M4_PRED_ABOVE or M4_PRED_LEFT
	s32		mDC;						// to add to the decoded DC
	s32		mAC[M4_ACDC_AC_COUNT];		// row or column to add, by direction
};

// DC scaler of a luminance (blocks 0-3) or chrominance block.
u32		M4GetDCScaler( u32 quantiser, u32 block );

// Chooses block's direction and computes its predicted DC and AC from the
// records in mbs (mbWidth across, block at macroblock x, y). Neighbours in
// the current macroblock count as intra; others must be intra types.
void	M4PredictACDC( const M4_MB* mbs, u32 x, u32 y, u32 mbWidth, u32 block, u32 quantiser, u32 dcScaler, M4ACDCPredictor* out );

class M4Prediction {
public:
	// Adds predictor to block's decoded coefficients (64 s16, raster):
	// the DC always, the AC row or column by the direction held in the
	// record (0 adds none), then stores the block's prediction area.
	static void			addACDC( const M4ACDCPredictor& predictor, M4_MB* mb, s16* coefficients, u32 block, u32 dcScaler );

	// A missing neighbour's area: DC 1024, AC 0.
	static const s16	mDefaultACDCValues[M4_ACDC_VALUES];
};

#endif
