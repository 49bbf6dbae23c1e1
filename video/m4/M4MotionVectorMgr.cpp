#include "video/m4/M4MotionVectorMgr.h"

#include "video/m4/M4Decoder.h"

const M4_VECTOR M4MotionVectorMgr::MV_ZERO = { 0, 0 };

static u32 M4ClampFCode( const u32 fcode ) {
	return fcode < 1 ? 1 : ( fcode > 7 ? 7 : fcode );
}

// C division by two: toward zero, unlike an arithmetic shift.
static s32 M4HalveTowardZero( const s32 v ) {
	return v / 2;
}

void M4MotionVectorMgr::init( const u32 forwardFCode, const u32 backwardFCode ) {
	mForwardFCode = M4ClampFCode( forwardFCode );
	mBackwardFCode = M4ClampFCode( backwardFCode );
	resetBPredictors();
}

void M4MotionVectorMgr::resetBPredictors() {
	mForwardPredictor[0] = mForwardPredictor[1] = MV_ZERO;
	mBackwardPredictor[0] = mBackwardPredictor[1] = MV_ZERO;
}

s32 M4MotionVectorMgr::wrap( const s32 value, const u32 fcode ) {
	const s64 range = static_cast<s64>( 32 ) << ( M4ClampFCode( fcode ) - 1 );
	// A floored modulo also brings far values back, which one correction
	// step would not; within one step of the range both agree.
	s64 shifted = ( static_cast<s64>( value ) + range ) % ( 2 * range );
	if ( shifted < 0 ) {
		shifted += 2 * range;
	}
	return static_cast<s32>( shifted - range );
}

M4_VECTOR M4MotionVectorMgr::readDifferential( const u32 fcode ) {
	M4_VECTOR v;
	v.x = mDecoder->mParser.getMv( fcode );
	v.y = mDecoder->mParser.getMv( fcode );
	return v;
}

void M4MotionVectorMgr::addMv( M4_VECTOR* vector, const M4_VECTOR& predictor ) const {
	vector->x = wrap( vector->x + predictor.x, mForwardFCode );
	vector->y = wrap( vector->y + predictor.y, mForwardFCode );
}

// Vector block of the macroblock at (x + dx, y + dy), or zero with inside
// false when that macroblock lies outside the picture. A field-predicted
// macroblock gives the rounded average of its two field vectors.
M4_VECTOR M4MotionVectorMgr::candidate( const u32 x, const u32 y, const s32 dx, const s32 dy, const u32 block, bool* inside ) const {
	const s64 nx = static_cast<s64>( x ) + dx;
	const s64 ny = static_cast<s64>( y ) + dy;
	*inside = nx >= 0 && ny >= 0 && nx < mDecoder->mMBWidth && ny < mDecoder->mMBHeight;
	if ( !*inside ) {
		return MV_ZERO;
	}
	const M4_MB& mb = mDecoder->mMBs[static_cast<u64>( ny ) * mDecoder->mMBWidth + static_cast<u64>( nx )];
	if ( ( mb.mFlags & M4_MB_FLAG_FIELD_PREDICTION ) != 0 ) {
		const s32 sumX = mb.mMv[0] + mb.mMv[2];
		const s32 sumY = mb.mMv[1] + mb.mMv[3];
		return M4_VECTOR { ( sumX >> 1 ) | ( sumX & 1 ), ( sumY >> 1 ) | ( sumY & 1 ) };
	}
	return M4_VECTOR { mb.mMv[2 * block], mb.mMv[2 * block + 1] };
}

static s32 M4Median( const s32 a, const s32 b, const s32 c ) {
	const s32 low = a < b ? a : b;
	const s32 high = a < b ? b : a;
	return c < low ? low : ( c > high ? high : c );
}

void M4MotionVectorMgr::_predictMv( M4_VECTOR* predictor, const u32 x, const u32 y, const u32 block ) {
	// Macroblock offset and vector of the three candidates of each block.
	struct Place {
		s8	dx;
		s8	dy;
		u8	block;
	};
	static const Place kCandidates[4][3] = {
		{ { -1, 0, 1 }, { 0, -1, 2 }, { 1, -1, 2 } },
		{ { 0, 0, 0 }, { 0, -1, 3 }, { 1, -1, 2 } },
		{ { -1, 0, 3 }, { 0, 0, 0 }, { 0, 0, 1 } },
		{ { 0, 0, 2 }, { 0, 0, 0 }, { 0, 0, 1 } },
	};
	const Place* const places = kCandidates[block & 3];
	M4_VECTOR v[3];
	u32 insideCount = 0;
	u32 lastInside = 0;
	for ( u32 i = 0; i < 3; i++ ) {
		bool inside = false;
		v[i] = candidate( x, y, places[i].dx, places[i].dy, places[i].block, &inside );
		if ( inside ) {
			insideCount++;
			lastInside = i;
		}
	}
	if ( insideCount == 1 ) {
		*predictor = v[lastInside];
		return;
	}
	predictor->x = M4Median( v[0].x, v[1].x, v[2].x );
	predictor->y = M4Median( v[0].y, v[1].y, v[2].y );
}

void M4MotionVectorMgr::predictMv( M4_MB* mb, const u32 x, const u32 y, const bool fourVectors ) {
	M4_VECTOR predictor;
	if ( fourVectors ) {
		for ( u32 k = 0; k < 4; k++ ) {
			_predictMv( &predictor, x, y, k );
			M4_VECTOR v = readDifferential( mForwardFCode );
			addMv( &v, predictor );
			mb->mMv[2 * k] = v.x;
			mb->mMv[2 * k + 1] = v.y;
		}
		return;
	}
	_predictMv( &predictor, x, y, 0 );
	if ( ( mb->mFlags & M4_MB_FLAG_FIELD_PREDICTION ) != 0 ) {
		predictor.y = M4HalveTowardZero( predictor.y );
		M4_VECTOR field[2];
		for ( u32 f = 0; f < 2; f++ ) {
			field[f] = readDifferential( mForwardFCode );
			addMv( &field[f], predictor );
			field[f].y *= 2;
		}
		for ( u32 k = 0; k < 4; k++ ) {
			mb->mMv[2 * k] = field[k & 1].x;
			mb->mMv[2 * k + 1] = field[k & 1].y;
		}
		return;
	}
	M4_VECTOR v = readDifferential( mForwardFCode );
	addMv( &v, predictor );
	for ( u32 k = 0; k < 4; k++ ) {
		mb->mMv[2 * k] = v.x;
		mb->mMv[2 * k + 1] = v.y;
	}
}

void M4MotionVectorMgr::predictBMv( M4_VECTOR* vectors, const u32 fcode, M4_VECTOR* predictors, const bool field ) {
	if ( !field ) {
		const M4_VECTOR d = readDifferential( fcode );
		M4_VECTOR v;
		v.x = wrap( predictors[0].x + d.x, fcode );
		v.y = wrap( predictors[0].y + d.y, fcode );
		vectors[0] = vectors[1] = v;
		predictors[0] = predictors[1] = v;
		return;
	}
	for ( u32 f = 0; f < 2; f++ ) {
		const M4_VECTOR d = readDifferential( fcode );
		M4_VECTOR v;
		v.x = wrap( predictors[f].x + d.x, fcode );
		v.y = wrap( M4HalveTowardZero( predictors[f].y ) + d.y, fcode ) * 2;
		vectors[f] = v;
		predictors[f] = v;
	}
}

void M4MotionVectorMgr::readBVectors( M4_MB* mb, const u32 type ) {
	const bool field = ( mb->mFlags & M4_MB_FLAG_FIELD_PREDICTION ) != 0;
	if ( type == M4_B_INTERPOLATE || type == M4_B_FORWARD ) {
		predictBMv( mb->mBForward, mForwardFCode, mForwardPredictor, field );
	}
	if ( type == M4_B_INTERPOLATE || type == M4_B_BACKWARD ) {
		predictBMv( mb->mBBackward, mBackwardFCode, mBackwardPredictor, field );
	}
}
