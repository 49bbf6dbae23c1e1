/*
===============================================================================

	Motion-vector manager of a decoder.

	Holds what vector prediction needs across macroblocks of one frame:
	the frame's f-codes and the B-frame predictors, which restart at zero
	at every macroblock row.

===============================================================================
*/
#ifndef M4_MOTION_VECTOR_MGR_H
#define M4_MOTION_VECTOR_MGR_H

#include "video/M4MacroBlock.h"

class M4Decoder;

class M4MotionVectorMgr {
public:
	M4Decoder*					mDecoder;
	u32							mForwardFCode;
	u32							mBackwardFCode;
	M4_VECTOR					mForwardPredictor;
	M4_VECTOR					mBackwardPredictor;

	static const M4_VECTOR		MV_ZERO;
};

#endif
