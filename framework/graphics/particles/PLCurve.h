/*
===============================================================================

	A value over a particle's life in two straight segments: from start
	to middle until the middle time, then from middle towards end, which
	it reaches at the end time (the type's lifespan). A constant curve
	(start, middle and end all equal) always gives start.

===============================================================================
*/
#ifndef PL_CURVE_H
#define PL_CURVE_H

#include "datatypes/base/DTTypes.h"

class PLCurve {
public:
	f32						mfStart = 0.0f;
	f32						mfMiddle = 0.0f;
	f32						mfEnd = 0.0f;
	f32						mfSlope1 = 0.0f;
	f32						mfSlope2 = 0.0f;
	f32						mfMiddleTime = 0.0f;
	f32						mfEndTime = 0.0f;
	u32						mui32Constant = 0;

	// The value at age t.
	f32						Evaluate( const f32 t ) const {
		if ( mui32Constant != 0 ) {
			return mfStart;
		}
		if ( t < mfMiddleTime ) {
			return mfStart + mfSlope1 * t;
		}
		return mfMiddle + mfSlope2 * ( t - mfMiddleTime );
	}

	// Stores the points and derives the slopes for a life of lifespan
	// seconds; a zero-length segment gets slope 0.
	void					Set( const f32 start, const f32 middle, const f32 end, const f32 middleTime, const f32 lifespan ) {
		mfMiddleTime = middleTime;
		mfEndTime = lifespan;
		if ( start == middle && middle == end ) {
			mui32Constant = 1;
			mfStart = mfMiddle = mfEnd = start;
			mfSlope1 = mfSlope2 = 0.0f;
			return;
		}
		mui32Constant = 0;
		mfStart = start;
		mfMiddle = middle;
		mfEnd = end;
		mfSlope1 = middleTime != 0.0f ? ( middle - start ) / middleTime : 0.0f;
		const f32 second = lifespan - middleTime;
		mfSlope2 = second != 0.0f ? ( end - middle ) / second : 0.0f;
	}

	// The same points over a new lifespan.
	void					SetLifespan( const f32 lifespan ) { Set( mfStart, mfMiddle, mfEnd, mfMiddleTime, lifespan ); }
};

#endif
