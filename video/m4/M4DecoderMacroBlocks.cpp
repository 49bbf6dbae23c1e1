// Macroblock reconstruction of M4Decoder: intra blocks, motion-compensated
// prediction (frame, field, global motion, bidirectional) and residuals.
#include "video/m4/M4Decoder.h"

#include "video/m4/M4BlockDecoder.h"
#include "video/m4/M4Idct.h"
#include "video/m4/M4InvQuant.h"
#include "video/m4/M4MemGMC.h"
#include "video/m4/M4MemHalfPel.h"
#include "video/m4/M4MemOp.h"
#include "video/m4/M4Plane.h"
#include "video/m4/M4Prediction.h"


namespace {

constexpr u32 M4_DC_MARKER_SIZE = 8;	// DC sizes above this carry a marker bit

bool M4BlockCoded( const u32 pattern, const u32 block ) {
	return ( pattern & ( 1u << ( 5 - block ) ) ) != 0;
}

// Address of the 8 x 8 block at plane pixel (x, y) of picture.
u8* M4BlockAddress( const M4Image* picture, const u32 component, const u32 x, const u32 y ) {
	if ( component == M4_PLANE_Y ) {
		return picture->mY + M4TiledOffset( x, y, picture->mPaddedWidth );
	}
	u8* const origin = component == M4_PLANE_U ? picture->mU : picture->mV;
	return origin + M4TiledOffset( x, y, picture->mPaddedWidth / 2u );
}

u32 M4PlaneStride( const M4Image* picture, const u32 component ) {
	return component == M4_PLANE_Y ? picture->mPaddedWidth : picture->mPaddedWidth / 2u;
}

} // namespace

void M4Decoder::mbIntra( M4_MB* mb, const u32 x, const u32 y, const bool acPrediction, const u32 pattern, const u32 quantiser ) {
	M4Bitstream* const bs = &mBitstream;
	if ( mParser.mInterlaced != 0 && M4BitstreamGet( bs, 1 ) != 0 ) {
		mb->mFlags |= M4_MB_FLAG_FIELD_DCT;
	}
	for ( s32& component : mb->mMv ) {
		component = 0;
	}
	const bool			dcSeparate = quantiser < mParser.mIntraDCThreshold;
	const M4Dequantiser	dequantiser = { mParser.mQuantType != 0, quantiser, mParser.mIntraMatrix };
	for ( u32 b = 0; b < M4_MB_BLOCKS; b++ ) {
		s16* const			coefficients = mCoefficients + b * M4_BLOCK_SIZE;
		s16* const			out = mDequantised + b * M4_BLOCK_SIZE;
		M4ClearBlock( coefficients );
		M4ClearBlock( out );
		const u32			dcScaler = M4GetDCScaler( quantiser, b );
		M4ACDCPredictor		predictor;
		M4PredictACDC( mMBs, x, y, mMBWidth, b, quantiser, dcScaler, &predictor );
		const u32			direction = acPrediction ? predictor.mDirection : static_cast<u32>( M4_PRED_NONE );
		mb->mACPredDirection[b] = static_cast<u8>( direction );
		u32 first = 0;
		if ( dcSeparate ) {
			const u32 size = mParser.getDCSize( b < 4 );
			coefficients[0] = static_cast<s16>( mParser.getDCDiff( size ) );
			if ( size > M4_DC_MARKER_SIZE ) {
				M4BitstreamSkip( bs, 1 );
			}
			first = 1;
		}
		if ( M4BlockCoded( pattern, b ) ) {
			// The alternate vertical scan, when the frame asks for it, holds
			// for predicted blocks too; their prediction still adds.
			u32 scan = M4_SCAN_ZIGZAG;
			if ( mParser.mAlternateVerticalScan != 0 ) {
				scan = M4_SCAN_ALTERNATE_VERTICAL;
			} else if ( direction == M4_PRED_ABOVE ) {
				scan = M4_SCAN_ALTERNATE_HORIZONTAL;
			} else if ( direction == M4_PRED_LEFT ) {
				scan = M4_SCAN_ALTERNATE_VERTICAL;
			}
			M4DecodeIntraBlockDequantised( bs, coefficients, out, first, mParser.mVlc.intraTables(), mParser.mScan[scan], dequantiser );
		}
		// The levels were dequantised as they were stored; the DC and the
		// predicted row or column change here and are dequantised again.
		M4Prediction::addACDC( predictor, mb, coefficients, b, dcScaler );
		M4InvQuantIntraEdges( out, coefficients, quantiser, dcScaler, dequantiser.mMpeg ? mParser.mIntraMatrix : nullptr, direction == M4_PRED_ABOVE,
							  direction == M4_PRED_LEFT );
		M4idct( out );
	}
	if ( ( mb->mFlags & M4_MB_FLAG_FIELD_DCT ) != 0 ) {
		M4MemOpIntraMBAllField( mCurrent, x, y, mDequantised );
	} else {
		M4MemOpIntraMBAll( mCurrent, x, y, mDequantised );
	}
}

void M4Decoder::predictFrame( M4Image* picture, const M4Image* reference, const u32 x, const u32 y, const M4_VECTOR* vectors, const bool fourVectors, const bool average ) {
	const auto		predict = average ? M4MemHalfPelInterpolateAverage : M4MemHalfPelInterpolate;
	const auto		predict16 = average ? M4MemHalfPelInterpolate16Average : M4MemHalfPelInterpolate16;
	const u32		rounding = mParser.mRoundingType;
	const M4Plane	luma = M4ImagePlane( reference, M4_PLANE_Y );
	s32				sumX = 0;
	s32				sumY = 0;
	bool			oneVector = true;
	for ( u32 b = 0; b < 4 && fourVectors; b++ ) {
		sumX += vectors[b].x;
		sumY += vectors[b].y;
		oneVector = oneVector && vectors[b].x == vectors[0].x && vectors[b].y == vectors[0].y;
	}
	if ( !oneVector ) {
		for ( u32 b = 0; b < 4; b++ ) {
			const u32 px = 16 * x + 8 * ( b & 1 );
			const u32 py = 16 * y + 8 * ( b >> 1 );
			predict( M4BlockAddress( picture, M4_PLANE_Y, px, py ), picture->mPaddedWidth, luma, static_cast<s32>( px ), static_cast<s32>( py ), vectors[b], rounding );
		}
	} else {
		// Four equal vectors (B macroblocks always pass four) predict the
		// luma as one.
		predict16( M4BlockAddress( picture, M4_PLANE_Y, 16 * x, 16 * y ), picture->mPaddedWidth, luma, static_cast<s32>( 16 * x ), static_cast<s32>( 16 * y ), vectors[0], rounding );
	}
	M4_VECTOR chroma;
	if ( fourVectors ) {
		chroma.x = chromaMvFour( sumX );
		chroma.y = chromaMvFour( sumY );
	} else {
		chroma.x = chromaMv( vectors[0].x );
		chroma.y = chromaMv( vectors[0].y );
	}
	( average ? M4MemHalfPelInterpolateChromaAverage : M4MemHalfPelInterpolateChroma )(
		M4BlockAddress( picture, M4_PLANE_U, 8 * x, 8 * y ), M4BlockAddress( picture, M4_PLANE_V, 8 * x, 8 * y ), M4PlaneStride( picture, M4_PLANE_U ),
		M4ImagePlane( reference, M4_PLANE_U ), M4ImagePlane( reference, M4_PLANE_V ), static_cast<s32>( 8 * x ), static_cast<s32>( 8 * y ), chroma, rounding );
}

void M4Decoder::mbFieldCompensate( M4Image* picture, const M4Image* reference, const u32 x, const u32 y, const M4_VECTOR* vectors, const u32* selects, const bool average ) {
	const auto		predict = average ? M4MemHalfPelFieldsAverage : M4MemHalfPelFields;
	const u32		rounding = mParser.mRoundingType;
	const M4Plane	luma = M4ImagePlane( reference, M4_PLANE_Y );
	for ( u32 field = 0; field < 2; field++ ) {
		const M4_VECTOR&	v = vectors[field];
		const u32			select = selects[field] & 1;
		for ( u32 half = 0; half < 2; half++ ) {
			const u32 px = 16 * x + 8 * half;
			predict( M4BlockAddress( picture, M4_PLANE_Y, px, 16 * y ), picture->mPaddedWidth, field, luma, static_cast<s32>( px ), static_cast<s32>( 8 * y ), v, select, 8,
					 rounding );
		}
		const M4_VECTOR chroma = chromaFieldMv( v );
		for ( u32 component = M4_PLANE_U; component <= M4_PLANE_V; component++ ) {
			predict( M4BlockAddress( picture, component, 8 * x, 8 * y ), M4PlaneStride( picture, component ), field, M4ImagePlane( reference, component ),
					 static_cast<s32>( 8 * x ), static_cast<s32>( 4 * y ), chroma, select, 4, rounding );
		}
	}
}

void M4Decoder::addResidual( const M4_MB* mb, const u32 x, const u32 y, const u32 pattern ) {
	if ( pattern == 0 ) {
		return;
	}
	const u8* const				scan = mParser.mScan[mParser.mAlternateVerticalScan != 0 ? M4_SCAN_ALTERNATE_VERTICAL : M4_SCAN_ZIGZAG];
	const M4Dequantiser	dequantiser = { mParser.mQuantType != 0, mb->mQuantiser, mParser.mInterMatrix };
	M4DecodeInterMacroBlockDequantised( &mBitstream, mDequantised, pattern, mParser.mVlc.interTables(), scan, dequantiser );
	for ( u32 b = 0; b < M4_MB_BLOCKS; b++ ) {
		if ( M4BlockCoded( pattern, b ) ) {
			M4idct( mDequantised + b * M4_BLOCK_SIZE );
		}
	}
	if ( ( mb->mFlags & M4_MB_FLAG_FIELD_DCT ) != 0 ) {
		M4MemOpInterMBAddField( mCurrent, x, y, mDequantised, pattern );
	} else {
		M4MemOpInterMBAdd( mCurrent, x, y, mDequantised, pattern );
	}
}

void M4Decoder::mbInter( M4_MB* mb, const u32 x, const u32 y, const u32 pattern ) {
	if ( ( mb->mFlags & M4_MB_FLAG_FIELD_PREDICTION ) != 0 ) {
		// Vector 0 holds the top field's vector, vector 1 the bottom's.
		const M4_VECTOR vectors[2] = { { mb->mMv[0], mb->mMv[1] }, { mb->mMv[2], mb->mMv[3] } };
		const u32 selects[2] = { ( mb->mFlags & M4_MB_FLAG_FIELD_SELECT_TOP ) != 0 ? 1u : 0u,
								 ( mb->mFlags & M4_MB_FLAG_FIELD_SELECT_BOTTOM ) != 0 ? 1u : 0u };
		mbFieldCompensate( mCurrent, mForward, x, y, vectors, selects, false );
	} else {
		M4_VECTOR vectors[4];
		for ( u32 k = 0; k < 4; k++ ) {
			vectors[k] = M4_VECTOR { mb->mMv[2 * k], mb->mMv[2 * k + 1] };
		}
		predictFrame( mCurrent, mForward, x, y, vectors, mb->mType == M4_MB_INTER4V, false );
	}
	addResidual( mb, x, y, pattern );
}

void M4Decoder::mbInterGMC( M4_MB* mb, const u32 x, const u32 y, const u32 pattern ) {
	const u32 rounding = mParser.mRoundingType;
	const M4Plane luma = M4ImagePlane( mForward, M4_PLANE_Y );
	for ( u32 b = 0; b < 4; b++ ) {
		const u32 px = 16 * x + 8 * ( b & 1 );
		const u32 py = 16 * y + 8 * ( b >> 1 );
		M4MemGMCInterpolate( M4BlockAddress( mCurrent, M4_PLANE_Y, px, py ), mCurrent->mPaddedWidth, luma, mParser.mWarp,
							 static_cast<s32>( px ), static_cast<s32>( py ), false, rounding );
	}
	for ( u32 component = M4_PLANE_U; component <= M4_PLANE_V; component++ ) {
		M4MemGMCInterpolate( M4BlockAddress( mCurrent, component, 8 * x, 8 * y ), M4PlaneStride( mCurrent, component ),
							 M4ImagePlane( mForward, component ), mParser.mWarp, static_cast<s32>( 8 * x ), static_cast<s32>( 8 * y ), true, rounding );
	}
	addResidual( mb, x, y, pattern );
}

void M4Decoder::mbInterpolate( M4_MB* mb, const u32 x, const u32 y, const M4BPrediction& prediction ) {
	// Forward vectors read the older reference R, backward ones the newer
	// F; with both, the backward prediction is averaged into the forward
	// one as it is made.
	struct Direction {
		bool				used;
		const M4Image*		reference;
		const M4_VECTOR*	vectors;
		const u32*			selects;
	};
	const Direction directions[2] = {
		{ prediction.mForward, mBackward, prediction.mForwardMv, prediction.mForwardSelect },
		{ prediction.mBackward, mForward, prediction.mBackwardMv, prediction.mBackwardSelect },
	};
	bool average = false;
	for ( const Direction& direction : directions ) {
		if ( !direction.used ) {
			continue;
		}
		if ( prediction.mField ) {
			mbFieldCompensate( mCurrent, direction.reference, x, y, direction.vectors, direction.selects, average );
		} else {
			predictFrame( mCurrent, direction.reference, x, y, direction.vectors, true, average );
		}
		average = true;
	}
	addResidual( mb, x, y, mb->mCbp );
}
