#include "video/m4/M4MotionVectorMgr.h"

#include "video/m4/M4Bitstream.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/VIDDecoder.h"

#include "M4TestHooks.h"
#include "tools/lib/movie/ToolBitWriter.h"
#include "tools/lib/video/ToolM4CodeWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

class M4MotionVectors : public ::testing::Test {
protected:
	void SetUp() override { M4TestInstallHooks( false ); }
	void TearDown() override {
		VIDDestroyDecoder( decoder );
		M4TestHooksReset();
	}

	// A decoder of mbWidth x mbHeight macroblocks with zeroed records.
	void Create( const u16 mbWidth, const u16 mbHeight ) {
		const VIDDecoderSetup setup = M4TestDecoderSetup( static_cast<u16>( 16 * mbWidth ), static_cast<u16>( 16 * mbHeight ), 0, false );
		decoder = VIDCreateDecoder( &setup );
		ASSERT_NE( decoder, nullptr );
		std::memset( static_cast<void*>( decoder->mMBs ), 0, sizeof( M4_MB ) * mbWidth * mbHeight );
		mgr = decoder->mMvMgr;
	}

	// Points the decoder's reader at the motion codes of the differentials
	// (x then y of each) with f-code fcode.
	void Feed( const std::vector<M4_VECTOR>& differentials, const u32 fcode ) {
		ToolBitWriter writer;
		for ( const M4_VECTOR& d : differentials ) {
			ASSERT_TRUE( ToolM4CodeWriter::WriteMotion( writer, d.x, fcode ) );
			ASSERT_TRUE( ToolM4CodeWriter::WriteMotion( writer, d.y, fcode ) );
		}
		writer.Write( 0, 32 );
		bits = writer.Finish();
		M4BitstreamInit( &decoder->mBitstream, bits.data(), static_cast<u32>( bits.size() ) );
	}

	M4_MB& At( const u32 x, const u32 y ) { return decoder->mMBs[y * decoder->mMBWidth + x]; }

	static void SetAll( M4_MB& mb, const M4_VECTOR v ) {
		for ( u32 k = 0; k < 4; k++ ) {
			mb.mMv[2 * k] = v.x;
			mb.mMv[2 * k + 1] = v.y;
		}
	}

	static M4_VECTOR Vector( const M4_MB& mb, const u32 k ) { return M4_VECTOR { mb.mMv[2 * k], mb.mMv[2 * k + 1] }; }

	M4Decoder*			decoder = nullptr;
	M4MotionVectorMgr*	mgr = nullptr;
	std::vector<u8>		bits;
};

s32 Median( s32 a, s32 b, s32 c ) {
	s32 v[3] = { a, b, c };
	std::sort( v, v + 3 );
	return v[1];
}

} // namespace

TEST_F( M4MotionVectors, EachVectorTakesTheMedianOfItsThreeCandidates ) {
	Create( 3, 3 );
	// Every vector of every macroblock distinct; y ordered differently
	// from x so that a wrong candidate shows in one component or both.
	for ( u32 y = 0; y < 3; y++ ) {
		for ( u32 x = 0; x < 3; x++ ) {
			for ( u32 k = 0; k < 4; k++ ) {
				const s32 code = static_cast<s32>( 10 * ( 3 * y + x ) + k );
				At( x, y ).mMv[2 * k] = code;
				At( x, y ).mMv[2 * k + 1] = ( code * 37 ) % 101 - 50;
			}
		}
	}
	struct Candidate {
		s32 dx;
		s32 dy;
		u32 k;
	};
	// Left, above, above right in the standard's block positions.
	const Candidate table[4][3] = {
		{ { -1, 0, 1 }, { 0, -1, 2 }, { 1, -1, 2 } },
		{ { 0, 0, 0 }, { 0, -1, 3 }, { 1, -1, 2 } },
		{ { -1, 0, 3 }, { 0, 0, 0 }, { 0, 0, 1 } },
		{ { 0, 0, 2 }, { 0, 0, 0 }, { 0, 0, 1 } },
	};
	for ( u32 k = 0; k < 4; k++ ) {
		M4_VECTOR c[3];
		for ( u32 i = 0; i < 3; i++ ) {
			c[i] = Vector( At( 1 + table[k][i].dx, 1 + table[k][i].dy ), table[k][i].k );
		}
		M4_VECTOR p;
		mgr->_predictMv( &p, 1, 1, k );
		EXPECT_EQ( p.x, Median( c[0].x, c[1].x, c[2].x ) ) << "vector " << k;
		EXPECT_EQ( p.y, Median( c[0].y, c[1].y, c[2].y ) ) << "vector " << k;
	}
}

TEST_F( M4MotionVectors, CandidatesOutsideCountAsZeroAndASingleInsideOneIsThePredictor ) {
	Create( 3, 2 );
	SetAll( At( 0, 0 ), { 8, -6 } );
	SetAll( At( 1, 0 ), { 2, 4 } );
	SetAll( At( 2, 0 ), { -10, 12 } );
	SetAll( At( 1, 1 ), { 20, 30 } );
	struct Case {
		u32 x;
		u32 y;
		u32 k;
		M4_VECTOR expected;
	};
	const Case cases[] = {
		{ 0, 0, 0, { 0, 0 } },			// the first macroblock: nothing inside
		{ 1, 0, 0, { 8, -6 } },			// top row: the left vector alone
		{ 2, 0, 0, { 2, 4 } },
		{ 1, 0, 1, { 2, 4 } },			// top row, block 1: its own vector 0 alone
		{ 0, 1, 0, { 2, 0 } },			// left edge: median of 0, (8, -6), (2, 4)
		{ 2, 1, 0, { 0, 12 } },			// right edge: median of (20, 30), (-10, 12), 0
	};
	for ( const Case& c : cases ) {
		if ( c.k == 1 ) {
			SetAll( At( c.x, c.y ), { 2, 4 } );
		}
		M4_VECTOR p;
		mgr->_predictMv( &p, c.x, c.y, c.k );
		EXPECT_EQ( p.x, c.expected.x ) << c.x << "," << c.y << " k " << c.k;
		EXPECT_EQ( p.y, c.expected.y ) << c.x << "," << c.y << " k " << c.k;
	}
}

TEST_F( M4MotionVectors, AFieldPredictedCandidateGivesItsRoundedFieldAverage ) {
	struct Case {
		M4_VECTOR top;
		M4_VECTOR bottom;
		M4_VECTOR expected;
	};
	// (a + b) >> 1 | ((a + b) & 1): odd sums round to the odd neighbour.
	const Case cases[] = {
		{ { -3, 5 }, { -2, -6 }, { -3, -1 } },		// -5 -> -3, -1 -> -1
		{ { -4, -8 }, { 1, 2 }, { -1, -3 } },		// -3 -> -1, -6 -> -3
		{ { 3, 4 }, { 2, 8 }, { 3, 6 } },			// 5 -> 3
		{ { -7, -7 }, { 0, 0 }, { -3, -3 } },		// -7 -> -3
		{ { -1, 0 }, { 0, 0 }, { -1, 0 } },
	};
	for ( const Case& c : cases ) {
		Create( 2, 1 );
		M4_MB& left = At( 0, 0 );
		left.mFlags = M4_MB_FLAG_FIELD_PREDICTION;
		left.mMv[0] = c.top.x;
		left.mMv[1] = c.top.y;
		left.mMv[2] = c.bottom.x;
		left.mMv[3] = c.bottom.y;
		M4_VECTOR p;
		mgr->_predictMv( &p, 1, 0, 0 );
		EXPECT_EQ( p.x, c.expected.x );
		EXPECT_EQ( p.y, c.expected.y );
		VIDDestroyDecoder( decoder );
		decoder = nullptr;
	}
}

TEST_F( M4MotionVectors, SumsWrapIntoTheRangeOfEveryFCode ) {
	Create( 1, 1 );
	for ( u32 f = 1; f <= 7; f++ ) {
		const s32 range = 32 << ( f - 1 );
		struct Case {
			s32 sum;
			s32 expected;
		};
		const Case cases[] = {
			{ -range, -range }, { range - 1, range - 1 }, { range, -range }, { -range - 1, range - 1 },
			{ 0, 0 }, { 2 * range - 1, -1 }, { -2 * range, 0 },
		};
		mgr->init( f, f );
		for ( const Case& c : cases ) {
			EXPECT_EQ( M4MotionVectorMgr::wrap( c.sum, f ), c.expected ) << "f " << f << " sum " << c.sum;
			// addMv splits the sum into a predictor and a differential.
			M4_VECTOR v = { c.sum - range / 2, c.sum + 3 };
			const M4_VECTOR predictor = { range / 2, -3 };
			mgr->addMv( &v, predictor );
			EXPECT_EQ( v.x, c.expected ) << "f " << f << " sum " << c.sum;
			EXPECT_EQ( v.y, c.expected );
		}
	}
}

TEST_F( M4MotionVectors, DecodesOneVectorIntoAllFourAndFourVectorsInSequence ) {
	Create( 2, 2 );
	mgr->init( 2, 1 );
	SetAll( At( 0, 0 ), { 6, -4 } );
	// One vector at (1, 0): predictor = the left vector.
	Feed( { { 3, -5 } }, 2 );
	mgr->predictMv( &At( 1, 0 ), 1, 0, false );
	for ( u32 k = 0; k < 4; k++ ) {
		EXPECT_EQ( Vector( At( 1, 0 ), k ).x, 9 );
		EXPECT_EQ( Vector( At( 1, 0 ), k ).y, -9 );
	}
	// Four vectors at (0, 1): each predicted after the previous is stored.
	At( 1, 0 ).mMv[4] = 40;		// vector 2 of the above right
	At( 1, 0 ).mMv[5] = -40;
	const std::vector<M4_VECTOR> d = { { 1, 1 }, { 2, -2 }, { -3, 3 }, { 4, 0 } };
	Feed( d, 2 );
	mgr->predictMv( &At( 0, 1 ), 0, 1, true );
	M4_VECTOR v[4];
	// k 0: median of left (outside, 0), above vector 2 (6, -4), above right vector 2 (40, -40).
	v[0] = { Median( 0, 6, 40 ) + 1, Median( 0, -4, -40 ) + 1 };
	// k 1: median of own 0, above vector 3, above right vector 2.
	v[1] = { Median( v[0].x, 6, 40 ) + 2, Median( v[0].y, -4, -40 ) - 2 };
	// k 2: median of left (outside), own 0, own 1.
	v[2] = { Median( 0, v[0].x, v[1].x ) - 3, Median( 0, v[0].y, v[1].y ) + 3 };
	// k 3: median of own 2, 0, 1.
	v[3] = { Median( v[2].x, v[0].x, v[1].x ) + 4, Median( v[2].y, v[0].y, v[1].y ) };
	for ( u32 k = 0; k < 4; k++ ) {
		EXPECT_EQ( Vector( At( 0, 1 ), k ).x, v[k].x ) << "vector " << k;
		EXPECT_EQ( Vector( At( 0, 1 ), k ).y, v[k].y ) << "vector " << k;
	}
}

TEST_F( M4MotionVectors, FieldVectorsHalveThePredictorTowardZeroAndStoreDoubled ) {
	struct Case {
		M4_VECTOR predictor;		// the left neighbour's vector
		M4_VECTOR top;				// differentials
		M4_VECTOR bottom;
		M4_VECTOR storedTop;
		M4_VECTOR storedBottom;
	};
	const Case cases[] = {
		// -3 / 2 = -1 (a shift would give -2).
		{ { 4, -3 }, { 1, 2 }, { -1, -1 }, { 5, 2 }, { 3, -4 } },
		{ { 0, -3 }, { 0, 0 }, { 0, 1 }, { 0, -2 }, { 0, 0 } },
		{ { -2, 7 }, { 0, -1 }, { 1, 0 }, { -2, 4 }, { -1, 6 } },
		{ { 0, -1 }, { 0, 0 }, { 0, 0 }, { 0, 0 }, { 0, 0 } },
	};
	for ( const Case& c : cases ) {
		Create( 2, 1 );
		mgr->init( 1, 1 );
		SetAll( At( 0, 0 ), c.predictor );
		M4_MB& mb = At( 1, 0 );
		mb.mFlags = M4_MB_FLAG_FIELD_PREDICTION;
		Feed( { c.top, c.bottom }, 1 );
		mgr->predictMv( &mb, 1, 0, false );
		for ( u32 k : { 0u, 2u } ) {
			EXPECT_EQ( Vector( mb, k ).x, c.storedTop.x );
			EXPECT_EQ( Vector( mb, k ).y, c.storedTop.y );
		}
		for ( u32 k : { 1u, 3u } ) {
			EXPECT_EQ( Vector( mb, k ).x, c.storedBottom.x );
			EXPECT_EQ( Vector( mb, k ).y, c.storedBottom.y );
		}
		VIDDestroyDecoder( decoder );
		decoder = nullptr;
	}
}

TEST_F( M4MotionVectors, BVectorsFollowTheLastOfTheirDirectionInTheRow ) {
	Create( 4, 2 );
	mgr->init( 1, 2 );
	struct Step {
		u32 type;				// 0 direct, 1 interpolated, 2 backward, 3 forward
		bool field;
		bool rowStart;
		std::vector<M4_VECTOR> differentials;
		M4_VECTOR forward[2];	// stored vectors (top, bottom)
		M4_VECTOR backward[2];
		M4_VECTOR forwardPredictor[2];
		M4_VECTOR backwardPredictor[2];
	};
	const Step steps[] = {
		// Forward frame vector from zero; updates both forward predictors.
		{ 3, false, true, { { 2, 6 } }, { { 2, 6 }, { 2, 6 } }, {}, { { 2, 6 }, { 2, 6 } }, { { 0, 0 }, { 0, 0 } } },
		// Field forward: top from (2, 6) halved to (2, 3) + (1, 1) -> (3, 8);
		// bottom (2, 3) + (0, -1) -> (2, 4).
		{ 3, true, false, { { 1, 1 }, { 0, -1 } }, { { 3, 8 }, { 2, 4 } }, {}, { { 3, 8 }, { 2, 4 } }, { { 0, 0 }, { 0, 0 } } },
		// Frame forward predicted from the top field predictor.
		{ 3, false, false, { { 0, 0 } }, { { 3, 8 }, { 3, 8 } }, {}, { { 3, 8 }, { 3, 8 } }, { { 0, 0 }, { 0, 0 } } },
		// Interpolated: forward then backward, both updated.
		{ 1, false, false, { { -1, 0 }, { 5, -3 } }, { { 2, 8 }, { 2, 8 } }, { { 5, -3 }, { 5, -3 } }, { { 2, 8 }, { 2, 8 } }, { { 5, -3 }, { 5, -3 } } },
		// Direct reads nothing and updates neither.
		{ 0, false, false, {}, {}, {}, { { 2, 8 }, { 2, 8 } }, { { 5, -3 }, { 5, -3 } } },
		// Field backward with an odd negative predictor: -3 / 2 = -1.
		{ 2, true, false, { { 0, 0 }, { 0, 1 } }, {}, { { 5, -2 }, { 5, 0 } }, { { 2, 8 }, { 2, 8 } }, { { 5, -2 }, { 5, 0 } } },
		// A new row starts from zero.
		{ 1, false, true, { { 1, 1 }, { -1, -1 } }, { { 1, 1 }, { 1, 1 } }, { { -1, -1 }, { -1, -1 } }, { { 1, 1 }, { 1, 1 } }, { { -1, -1 }, { -1, -1 } } },
	};
	u32 index = 0;
	for ( const Step& s : steps ) {
		if ( s.rowStart ) {
			mgr->resetBPredictors();
		}
		M4_MB mb;
		std::memset( static_cast<void*>( &mb ), 0, sizeof( mb ) );
		mb.mFlags = s.field ? M4_MB_FLAG_FIELD_PREDICTION : 0;
		const u32 fcode = s.type == 2 ? 2 : 1;
		if ( s.type == 1 ) {
			// Forward and backward codes use their own f-codes.
			ToolBitWriter writer;
			ASSERT_TRUE( ToolM4CodeWriter::WriteMotion( writer, s.differentials[0].x, 1 ) );
			ASSERT_TRUE( ToolM4CodeWriter::WriteMotion( writer, s.differentials[0].y, 1 ) );
			ASSERT_TRUE( ToolM4CodeWriter::WriteMotion( writer, s.differentials[1].x, 2 ) );
			ASSERT_TRUE( ToolM4CodeWriter::WriteMotion( writer, s.differentials[1].y, 2 ) );
			writer.Write( 0, 32 );
			bits = writer.Finish();
			M4BitstreamInit( &decoder->mBitstream, bits.data(), static_cast<u32>( bits.size() ) );
		} else {
			Feed( s.differentials, fcode );
		}
		mgr->readBVectors( &mb, s.type );
		for ( u32 f = 0; f < 2; f++ ) {
			if ( s.type == 1 || s.type == 3 ) {
				EXPECT_EQ( mb.mBForward[f].x, s.forward[f].x ) << "step " << index << " field " << f;
				EXPECT_EQ( mb.mBForward[f].y, s.forward[f].y ) << "step " << index << " field " << f;
			}
			if ( s.type == 1 || s.type == 2 ) {
				EXPECT_EQ( mb.mBBackward[f].x, s.backward[f].x ) << "step " << index << " field " << f;
				EXPECT_EQ( mb.mBBackward[f].y, s.backward[f].y ) << "step " << index << " field " << f;
			}
			EXPECT_EQ( mgr->mForwardPredictor[f].x, s.forwardPredictor[f].x ) << "step " << index;
			EXPECT_EQ( mgr->mForwardPredictor[f].y, s.forwardPredictor[f].y ) << "step " << index;
			EXPECT_EQ( mgr->mBackwardPredictor[f].x, s.backwardPredictor[f].x ) << "step " << index;
			EXPECT_EQ( mgr->mBackwardPredictor[f].y, s.backwardPredictor[f].y ) << "step " << index;
		}
		index++;
	}
}

TEST( M4ChromaVectors, OneVectorRoundsQuarterPositionsToTheHalf ) {
	for ( s32 v = -64; v <= 64; v++ ) {
		// v / 2 when it is a whole even number of chroma half samples,
		// else the odd one of the two around v / 2.
		const s32 floorHalf = v >= 0 ? v / 2 : -( ( -v + 1 ) / 2 );
		const s32 expected = v % 4 == 0 ? v / 2 : ( floorHalf % 2 != 0 ? floorHalf : floorHalf + 1 );
		EXPECT_EQ( M4Decoder::chromaMv( v ), expected ) << v;
	}
}

TEST( M4ChromaVectors, FourVectorSumsRoundBySixteenths ) {
	for ( s32 s = -256; s <= 256; s++ ) {
		const s32 magnitude = s < 0 ? -s : s;
		const s32 rest = magnitude % 16;
		// Sixteenths of 0-2 round down, 3-13 to the half, 14-15 up.
		const s32 rounded = rest <= 2 ? 0 : ( rest <= 13 ? 1 : 2 );
		const s32 value = 2 * ( magnitude / 16 ) + rounded;
		EXPECT_EQ( M4Decoder::chromaMvFour( s ), s < 0 ? -value : value ) << s;
	}
}

TEST( M4ChromaVectors, FieldVectorsKeepTheHalfSampleFlagInBitOne ) {
	for ( s32 v = -64; v <= 64; v++ ) {
		const s32 floorHalf = v >> 1;
		const M4_VECTOR c = M4Decoder::chromaFieldMv( { v, v } );
		EXPECT_EQ( c.x, ( v & 3 ) != 0 ? ( floorHalf | 1 ) : floorHalf ) << v;
		EXPECT_EQ( c.y, ( v & 6 ) != 0 ? ( floorHalf | 2 ) : floorHalf ) << v;
	}
}
