/*
===============================================================================

	Motion-vector manager of a decoder.

	Predicts and decodes the motion vectors of P-, sprite and B-frame
	macroblocks. A P vector is predicted from the median of three
	neighbouring vectors (left, above, above right, or blocks of the same
	macroblock for four vectors); a candidate outside the picture counts
	as zero, and when only one lies inside it is the predictor itself. A
	B vector is predicted from the last vector of its direction decoded
	in the same macroblock row, kept per field. Every decoded vector wraps
	into the range of its f-code.

	Field vectors count field rows; they are decoded against a predictor
	whose vertical component is halved (toward zero) and stored with
	their vertical component doubled, so stored vectors always count
	frame rows.

===============================================================================
*/
#ifndef M4_MOTION_VECTOR_MGR_H
#define M4_MOTION_VECTOR_MGR_H

#include "video/m4/M4MacroBlock.h"

class M4Decoder;

// B macroblock types.
enum M4BMacroBlockType : u32 {
	M4_B_DIRECT			= 0,
	M4_B_INTERPOLATE	= 1,
	M4_B_BACKWARD		= 2,
	M4_B_FORWARD		= 3,
};

class M4MotionVectorMgr {
public:
	// Starts a frame: its f-codes (clamped to 1..7) and zero B predictors.
	void					init( u32 forwardFCode, u32 backwardFCode );
	// Zeroes the B predictors; called at the start of each macroblock row.
	void					resetBPredictors();

	// Reads and stores the vectors of the P macroblock mb at (x, y): four
	// with fourVectors, two field vectors when its flags say field
	// prediction, else one copied to all four.
	void					predictMv( M4_MB* mb, u32 x, u32 y, bool fourVectors );
	// Predictor of vector block (0-3) of the macroblock at (x, y).
	void					_predictMv( M4_VECTOR* predictor, u32 x, u32 y, u32 block );
	// vector (holding the differential) += predictor, wrapped with the
	// forward f-code.
	void					addMv( M4_VECTOR* vector, const M4_VECTOR& predictor ) const;
	// Reads a B vector with f-code fcode against predictors (the
	// direction's top and bottom field pair) and updates them. A frame
	// vector fills vectors[0] and [1] and both predictors from the top
	// one; field vectors use and update their own field's predictor.
	void					predictBMv( M4_VECTOR* vectors, u32 fcode, M4_VECTOR* predictors, bool field );

	// Reads the vectors of a B macroblock of type (the count of 0 bits of
	// its type code: M4_B_DIRECT .. M4_B_FORWARD) into mBForward and
	// mBBackward, forward first, updating that direction's predictors;
	// direct mode reads none and leaves them.
	void					readBVectors( M4_MB* mb, u32 type );

	// The value wrapped into -32 x 2^(fcode-1) .. 32 x 2^(fcode-1) - 1.
	static s32				wrap( s32 value, u32 fcode );

	M4Decoder*				mDecoder;
	u32						mForwardFCode;
	u32						mBackwardFCode;
	M4_VECTOR				mForwardPredictor[2];		// top, bottom field
	M4_VECTOR				mBackwardPredictor[2];

	static const M4_VECTOR	MV_ZERO;

private:
	M4_VECTOR				readDifferential( u32 fcode );
	M4_VECTOR				candidate( u32 x, u32 y, s32 dx, s32 dy, u32 block, bool* inside ) const;
};

#endif
