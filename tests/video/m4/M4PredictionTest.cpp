#include "video/m4/M4Prediction.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A picture of mbWidth x mbHeight intra macroblocks at quantiser 4 whose
// blocks all hold the default prediction area.
std::vector<M4_MB> IntraRecords( const u32 mbWidth, const u32 mbHeight ) {
	std::vector<M4_MB> mbs( mbWidth * mbHeight );
	for ( M4_MB& mb : mbs ) {
		std::memset( static_cast<void*>( &mb ), 0, sizeof( mb ) );
		mb.mType = M4_MB_INTRA;
		mb.mQuantiser = 4;
		for ( u32 b = 0; b < M4_MB_BLOCKS; b++ ) {
			std::memcpy( mb.mACDCValues[b], M4Prediction::mDefaultACDCValues, sizeof( mb.mACDCValues[b] ) );
		}
	}
	return mbs;
}

// The standard's a // b written out with doubles: nearest, halves away from 0.
s32 RoundedDivision( const s32 a, const s32 b ) {
	const double q = static_cast<double>( a ) / b;
	return static_cast<s32>( q < 0 ? -static_cast<s64>( -q + 0.5 ) : static_cast<s64>( q + 0.5 ) );
}

} // namespace

TEST( M4Prediction, DCScalerFollowsTheQuantiserRanges ) {
	struct Case {
		u32 quantiser;
		u32 luma;
		u32 chroma;
	};
	const Case cases[] = {
		{ 1, 8, 8 }, { 4, 8, 8 }, { 5, 10, 9 }, { 8, 16, 10 }, { 9, 17, 11 },
		{ 24, 32, 18 }, { 25, 34, 19 }, { 31, 46, 25 },
	};
	for ( const Case& c : cases ) {
		for ( u32 block = 0; block < M4_MB_BLOCKS; block++ ) {
			EXPECT_EQ( M4GetDCScaler( c.quantiser, block ), block < 4 ? c.luma : c.chroma ) << "Q " << c.quantiser << " block " << block;
		}
	}
}

TEST( M4Prediction, PredictsTheTopLeftBlocksFromTheDefaultDC ) {
	struct Case {
		u32 block;
		u32 scaler;
		s32 dc;
	};
	// 1024 // scaler: 128, 102.4, 113.8, 60.2, 1024 // 46 = 22.26.
	const Case cases[] = { { 0, 8, 128 }, { 0, 10, 102 }, { 4, 9, 114 }, { 5, 17, 60 }, { 0, 46, 22 } };
	std::vector<M4_MB> mbs = IntraRecords( 2, 2 );
	for ( const Case& c : cases ) {
		M4ACDCPredictor p;
		M4PredictACDC( mbs.data(), 0, 0, 2, c.block, 4, c.scaler, &p );
		EXPECT_EQ( p.mDC, c.dc ) << "block " << c.block;
		// All three neighbours are defaults: a tie, which goes left.
		EXPECT_EQ( p.mDirection, M4_PRED_LEFT );
		for ( s32 ac : p.mAC ) {
			EXPECT_EQ( ac, 0 );
		}
	}
}

TEST( M4Prediction, ChoosesTheDirectionAcrossTheSmallerGradientAndTiesGoLeft ) {
	struct Case {
		s16 left;
		s16 aboveLeft;
		s16 above;
		u32 direction;
	};
	const Case cases[] = {
		{ 100, 100, 300, M4_PRED_ABOVE },	// |0| < |-200|
		{ 100, 300, 300, M4_PRED_LEFT },	// |-200| < |0| fails
		{ 100, 200, 300, M4_PRED_LEFT },	// tie
		{ 300, 200, 100, M4_PRED_LEFT },	// tie the other way
		{ 250, 200, 100, M4_PRED_ABOVE },	// 50 < 100
		{ -8, 0, 16, M4_PRED_ABOVE },		// 8 < 16 with a negative DC
	};
	for ( const Case& c : cases ) {
		// Block 0 of macroblock (1, 1): left = (0, 1) block 1, above left =
		// (0, 0) block 3, above = (1, 0) block 2. Luma block 3 of (1, 1)
		// takes the same roles from its own blocks 2, 0 and 1.
		std::vector<M4_MB> mbs = IntraRecords( 2, 2 );
		mbs[2].mACDCValues[1][0] = c.left;
		mbs[0].mACDCValues[3][0] = c.aboveLeft;
		mbs[1].mACDCValues[2][0] = c.above;
		mbs[3].mACDCValues[2][0] = c.left;
		mbs[3].mACDCValues[0][0] = c.aboveLeft;
		mbs[3].mACDCValues[1][0] = c.above;
		for ( u32 block : { 0u, 3u } ) {
			M4ACDCPredictor p;
			M4PredictACDC( mbs.data(), 1, 1, 2, block, 4, 8, &p );
			EXPECT_EQ( p.mDirection, c.direction ) << c.left << " " << c.aboveLeft << " " << c.above << " block " << block;
			EXPECT_EQ( p.mDC, RoundedDivision( c.direction == M4_PRED_ABOVE ? c.above : c.left, 8 ) );
		}
	}
}

TEST( M4Prediction, ANonIntraNeighbourGivesTheDefaults ) {
	const u8 types[] = { M4_MB_INTER, M4_MB_INTER_Q, M4_MB_INTER4V, M4_MB_NOT_CODED, M4_MB_NOT_CODED_SPRITE };
	for ( u8 type : types ) {
		std::vector<M4_MB> mbs = IntraRecords( 2, 1 );
		mbs[0].mType = type;
		mbs[0].mACDCValues[1][0] = 400;
		for ( u32 i = 0; i < 7; i++ ) {
			mbs[0].mACDCValues[1][M4_ACDC_COLUMN + i] = 50;
		}
		// Chroma of the same neighbour too.
		mbs[0].mACDCValues[4][0] = 400;
		for ( u32 block : { 0u, 4u } ) {
			M4ACDCPredictor p;
			M4PredictACDC( mbs.data(), 1, 0, 2, block, 4, 8, &p );
			EXPECT_EQ( p.mDirection, M4_PRED_LEFT ) << "type " << u32( type );
			EXPECT_EQ( p.mDC, 128 ) << "type " << u32( type );
			for ( s32 ac : p.mAC ) {
				EXPECT_EQ( ac, 0 );
			}
		}
		// The same neighbour as an intra macroblock is used.
		mbs[0].mType = M4_MB_INTRA_Q;
		M4ACDCPredictor p;
		M4PredictACDC( mbs.data(), 1, 0, 2, 0, 4, 8, &p );
		EXPECT_EQ( p.mDC, 50 );
		EXPECT_EQ( p.mAC[0], 50 );
	}
}

TEST( M4Prediction, RoundsTheDCDivisionToNearestWithHalvesAwayFromZero ) {
	struct Case {
		s16 stored;
		u32 scaler;
		s32 dc;
	};
	const Case cases[] = {
		{ 20, 8, 3 }, { -20, 8, -3 }, { 12, 8, 2 }, { -12, 8, -2 }, { 11, 8, 1 }, { -11, 8, -1 },
		{ 13, 8, 2 }, { -13, 8, -2 }, { 0, 8, 0 }, { 4, 8, 1 }, { -4, 8, -1 }, { 3, 8, 0 }, { -3, 8, 0 },
		{ 51, 34, 2 }, { -51, 34, -2 }, { -2047, 46, -45 },
	};
	for ( const Case& c : cases ) {
		std::vector<M4_MB> mbs = IntraRecords( 2, 1 );
		mbs[0].mACDCValues[1][0] = c.stored;
		M4ACDCPredictor p;
		M4PredictACDC( mbs.data(), 1, 0, 2, 0, 4, c.scaler, &p );
		EXPECT_EQ( p.mDC, c.dc ) << c.stored << " // " << c.scaler;
		EXPECT_EQ( p.mDC, RoundedDivision( c.stored, static_cast<s32>( c.scaler ) ) );
	}
}

TEST( M4Prediction, ScalesTheNeighboursACByItsQuantiserOverTheCurrentOne ) {
	struct Case {
		u8 neighbourQuantiser;
		u32 quantiser;
		bool fromAbove;
	};
	const Case cases[] = {
		{ 10, 4, false }, { 10, 4, true }, { 3, 6, false }, { 3, 6, true }, { 7, 7, false }, { 31, 1, true }, { 1, 31, false },
	};
	const s16 values[7] = { 7, -7, 3, -3, 5, -5, 1 };
	for ( const Case& c : cases ) {
		std::vector<M4_MB> mbs = IntraRecords( 1, 2 );
		s32 expected[7];
		if ( c.fromAbove ) {
			// Block 0 of (0, 1): the left is outside and the above (block 2
			// of (0, 0)) differs from the defaults, so it predicts from above.
			mbs[0].mQuantiser = c.neighbourQuantiser;
			mbs[0].mACDCValues[2][0] = 600;
			for ( u32 i = 0; i < 7; i++ ) {
				mbs[0].mACDCValues[2][M4_ACDC_ROW + i] = values[i];
				mbs[0].mACDCValues[2][M4_ACDC_COLUMN + i] = 99;
			}
		} else {
			// Block 1 of (0, 0) predicts from its left, block 0, which
			// lies in the same macroblock: the quantiser is the record's.
			mbs[0].mQuantiser = c.neighbourQuantiser;
			for ( u32 i = 0; i < 7; i++ ) {
				mbs[0].mACDCValues[0][M4_ACDC_COLUMN + i] = values[i];
				mbs[0].mACDCValues[0][M4_ACDC_ROW + i] = 99;
			}
		}
		for ( u32 i = 0; i < 7; i++ ) {
			expected[i] = RoundedDivision( values[i] * c.neighbourQuantiser, static_cast<s32>( c.quantiser ) );
		}
		M4ACDCPredictor p;
		M4PredictACDC( mbs.data(), 0, c.fromAbove ? 1 : 0, 1, c.fromAbove ? 0 : 1, c.quantiser, 8, &p );
		EXPECT_EQ( p.mDirection, c.fromAbove ? M4_PRED_ABOVE : M4_PRED_LEFT );
		for ( u32 i = 0; i < 7; i++ ) {
			EXPECT_EQ( p.mAC[i], expected[i] ) << "Q " << u32( c.neighbourQuantiser ) << "/" << c.quantiser << " index " << i;
		}
	}
}

TEST( M4Prediction, AddACDCStoresTheFinalRowAndColumnInEveryDirection ) {
	struct Case {
		u8 direction;
		u32 block;
		u32 scaler;
	};
	const Case cases[] = { { M4_PRED_NONE, 0, 8 }, { M4_PRED_ABOVE, 3, 10 }, { M4_PRED_LEFT, 5, 9 } };
	for ( const Case& c : cases ) {
		M4_MB mb;
		std::memset( static_cast<void*>( &mb ), 0, sizeof( mb ) );
		mb.mACPredDirection[c.block] = c.direction;
		s16 coefficients[64];
		for ( u32 i = 0; i < 64; i++ ) {
			coefficients[i] = static_cast<s16>( i * 3 - 50 );
		}
		s16 original[64];
		std::memcpy( original, coefficients, sizeof( original ) );
		M4ACDCPredictor p;
		p.mDirection = c.direction;
		p.mDC = -7;
		for ( u32 i = 0; i < 7; i++ ) {
			p.mAC[i] = static_cast<s32>( 100 + i );
		}
		M4Prediction::addACDC( p, &mb, coefficients, c.block, c.scaler );

		EXPECT_EQ( coefficients[0], original[0] - 7 );
		for ( u32 i = 1; i < 64; i++ ) {
			const bool inRow = i < 8;
			const bool inColumn = i % 8 == 0;
			s32 expected = original[i];
			if ( ( c.direction == M4_PRED_ABOVE && inRow ) || ( c.direction == M4_PRED_LEFT && inColumn ) ) {
				expected += 100 + ( inRow ? i - 1 : i / 8 - 1 );
			}
			EXPECT_EQ( coefficients[i], expected ) << "direction " << u32( c.direction ) << " position " << i;
		}
		const s16* const area = mb.mACDCValues[c.block];
		EXPECT_EQ( area[0], coefficients[0] * static_cast<s32>( c.scaler ) );
		for ( u32 i = 0; i < 7; i++ ) {
			EXPECT_EQ( area[M4_ACDC_ROW + i], coefficients[1 + i] );
			EXPECT_EQ( area[M4_ACDC_COLUMN + i], coefficients[8 * ( i + 1 )] );
		}
	}
}

TEST( M4Prediction, AddACDCSaturatesTheStoredDCInsteadOfWrapping ) {
	M4_MB mb;
	std::memset( static_cast<void*>( &mb ), 0, sizeof( mb ) );
	s16 coefficients[64] = {};
	coefficients[0] = 2000;
	M4ACDCPredictor p = {};
	p.mDC = 100;
	M4Prediction::addACDC( p, &mb, coefficients, 0, 46 );
	EXPECT_EQ( coefficients[0], 2100 );
	EXPECT_EQ( mb.mACDCValues[0][0], INT16_MAX );
}
