#include "video/m4/M4BitstreamParser.h"
#include "video/m4/M4Bitstream.h"

#include "M4TestHooks.h"
#include "tools/lib/movie/ToolCompactFrameWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

ToolM4vVol Layer() {
	ToolM4vVol vol;
	std::memset( &vol, 0, sizeof( vol ) );
	vol.width = 176;
	vol.height = 144;
	return vol;
}

ToolM4vVop Plane( const u32 type ) {
	ToolM4vVop vop;
	std::memset( &vop, 0, sizeof( vop ) );
	vop.codingType = type;
	vop.quantiser = 5;
	vop.forwardFCode = type == TOOL_M4V_I ? 0 : 2;
	vop.backwardFCode = type == TOOL_M4V_B ? 3 : 0;
	return vop;
}

ToolM4vCodedMatrix Matrix( const std::vector<u8>& values ) {
	ToolM4vCodedMatrix matrix;
	std::memset( &matrix, 0, sizeof( matrix ) );
	matrix.loaded = true;
	matrix.count = static_cast<u32>( values.size() );
	std::copy( values.begin(), values.end(), matrix.values );
	return matrix;
}

// A parser fed one frame after another, as a decoder feeds it.
struct HeaderParser {
	M4Bitstream			bs;
	M4BitstreamParser	parser;
	std::vector<u8>		frame;
	u64					headerBits = 0;

	HeaderParser() {
		M4TestInstallHooks( false );
		EXPECT_TRUE( parser.init( &bs, 176, 144 ) );
	}
	~HeaderParser() { parser.destroy(); }

	u32 Parse( const ToolM4vVol& vol, const ToolM4vVop& vop, const bool sequence, const u32 time ) {
		// Eight bytes standing for macroblock data.
		const u8 body[8] = { 0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x23, 0x45, 0x67 };
		const ToolCompactFrame built = ToolCompactFrameWriter::Build( vol, vop, sequence, time, body, 0, 64 );
		frame = built.bytes;
		headerBits = built.headerBits;
		M4BitstreamInit( &bs, frame.data(), static_cast<u32>( frame.size() ) );
		return parser.parseHeader();
	}
};

} // namespace

TEST( M4BitstreamParser, ReadsEveryPlaneFieldAndStopsOnTheMacroblockByte ) {
	const struct {
		u32		type;
		u32		rounding;
		u32		thresholdIndex;
		u32		quantiser;
		u32		forward;
		u32		backward;
		u32		time;
		u32		expectedThreshold;
	} cases[] = {
		{ TOOL_M4V_I, 0, 0, 1, 0, 0, 0, 32 },
		{ TOOL_M4V_P, 1, 7, 31, 7, 0, 0xFFFFFFFF, 1 },
		{ TOOL_M4V_P, 0, 3, 12, 1, 0, 1234, 17 },
		{ TOOL_M4V_B, 0, 1, 8, 4, 6, 77, 13 },
		{ TOOL_M4V_S, 1, 6, 2, 3, 0, 90, 23 },
	};
	for ( const auto& c : cases ) {
		HeaderParser h;
		ToolM4vVop vop = Plane( c.type );
		vop.rounding = c.rounding;
		vop.intraDcThreshold = c.thresholdIndex;
		vop.quantiser = c.quantiser;
		vop.forwardFCode = c.forward;
		vop.backwardFCode = c.backward;
		EXPECT_EQ( h.Parse( Layer(), vop, true, c.time ), c.type );
		EXPECT_EQ( h.parser.mRoundingType, c.rounding );
		EXPECT_EQ( h.parser.mIntraDCThreshold, c.expectedThreshold );
		EXPECT_EQ( h.parser.mQuantiser, c.quantiser );
		if ( c.type != TOOL_M4V_I ) {
			EXPECT_EQ( h.parser.mForwardFCode, c.forward );
		}
		if ( c.type == TOOL_M4V_B ) {
			EXPECT_EQ( h.parser.mBackwardFCode, c.backward );
			EXPECT_EQ( h.parser.mBTime, c.time );
		} else {
			EXPECT_EQ( h.parser.mReferenceTime, c.time );
		}
		// The macroblock data starts on the byte after the header.
		EXPECT_EQ( M4BitstreamPosition( &h.bs ), ( h.headerBits + 7 ) / 8 * 8 );
		EXPECT_EQ( M4BitstreamGet( &h.bs, 32 ), 0xDEADBEEFu );
	}
}

TEST( M4BitstreamParser, ClampsAZeroQuantiserAndZeroFCodes ) {
	HeaderParser h;
	ToolM4vVop vop = Plane( TOOL_M4V_B );
	vop.quantiser = 0;
	vop.forwardFCode = 0;
	vop.backwardFCode = 0;
	h.Parse( Layer(), vop, true, 5 );
	EXPECT_EQ( h.parser.mQuantiser, 1u );
	EXPECT_EQ( h.parser.mForwardFCode, 1u );
	EXPECT_EQ( h.parser.mBackwardFCode, 1u );
}

TEST( M4BitstreamParser, KeepsTheTwoNewestReferenceTimes ) {
	HeaderParser h;
	h.Parse( Layer(), Plane( TOOL_M4V_I ), true, 10 );
	h.Parse( Layer(), Plane( TOOL_M4V_P ), false, 40 );
	h.Parse( Layer(), Plane( TOOL_M4V_B ), false, 20 );
	EXPECT_EQ( h.parser.mLastReferenceTime, 10u );
	EXPECT_EQ( h.parser.mReferenceTime, 40u );
	EXPECT_EQ( h.parser.mBTime, 20u );
	h.Parse( Layer(), Plane( TOOL_M4V_S ), false, 70 );
	EXPECT_EQ( h.parser.mLastReferenceTime, 40u );
	EXPECT_EQ( h.parser.mReferenceTime, 70u );
}

TEST( M4BitstreamParser, LoadsMatricesInRasterOrder ) {
	const u8* const zigzag = M4BitstreamParser::mScanTableInput[M4_SCAN_ZIGZAG];
	std::vector<u8> full( 64 );
	for ( u32 i = 0; i < 64; i++ ) {
		full[i] = static_cast<u8>( 8 + i );
	}
	const struct {
		std::vector<u8>		intra;		// as coded; empty: load flag clear
		std::vector<u8>		inter;
	} cases[] = {
		{ full, full },
		{ { 9, 40, 0 }, { 20, 21, 22, 0 } },
		{ {}, { 33, 0 } },
		{ {}, {} },
	};
	for ( const auto& c : cases ) {
		HeaderParser h;
		ToolM4vVol vol = Layer();
		vol.mpegQuant = true;
		if ( !c.intra.empty() ) {
			vol.intraMatrix = Matrix( c.intra );
		}
		if ( !c.inter.empty() ) {
			vol.interMatrix = Matrix( c.inter );
		}
		h.Parse( vol, Plane( TOOL_M4V_I ), true, 0 );
		EXPECT_EQ( h.parser.mQuantType, 1u );
		const struct {
			const std::vector<u8>&	coded;
			const u8*				matrix;
			const u8*				defaults;
		} matrices[] = {
			{ c.intra, h.parser.mIntraMatrix, M4BitstreamParser::mDefaultIntraMatrix },
			{ c.inter, h.parser.mInterMatrix, M4BitstreamParser::mDefaultInterMatrix },
		};
		for ( const auto& m : matrices ) {
			u8 last = 0;
			for ( u32 i = 0; i < 64; i++ ) {
				if ( m.coded.empty() ) {
					EXPECT_EQ( m.matrix[i], m.defaults[i] );
					continue;
				}
				if ( i < m.coded.size() && m.coded[i] != 0 ) {
					last = m.coded[i];
				}
				EXPECT_EQ( m.matrix[zigzag[i]], last ) << "zigzag position " << i;
			}
		}
		// The last values sit at the raster end, the first at the DC.
		EXPECT_EQ( h.parser.mIntraMatrix[0], c.intra.empty() ? 8 : c.intra[0] );
	}
}

TEST( M4BitstreamParser, KeepsSequenceSettingsWhenAFrameCarriesNone ) {
	HeaderParser h;
	ToolM4vVol vol = Layer();
	vol.mpegQuant = true;
	vol.intraMatrix = Matrix( { 7, 0 } );
	vol.interlaced = true;
	vol.sprite = TOOL_M4V_SPRITE_GMC;
	vol.warpingPoints = 2;
	vol.warpingAccuracy = 3;
	ToolM4vVop first = Plane( TOOL_M4V_I );
	first.topFieldFirst = true;
	h.Parse( vol, first, true, 0 );
	ToolM4vVop sprite = Plane( TOOL_M4V_S );
	sprite.warpX[0] = 100;
	sprite.warpY[0] = -3;
	sprite.warpX[1] = -16383;
	sprite.warpY[1] = 16383;
	sprite.alternateVerticalScan = true;
	// The writer takes the sequence settings from vol even when it does not
	// write them; the parser must keep its own.
	EXPECT_EQ( h.Parse( vol, sprite, false, 3 ), M4_FRAME_SPRITE );
	EXPECT_EQ( h.parser.mQuantType, 1u );
	EXPECT_EQ( h.parser.mIntraMatrix[63], 7 );
	EXPECT_EQ( h.parser.mInterlaced, 1u );
	EXPECT_EQ( h.parser.mTopFieldFirst, 0u );
	EXPECT_EQ( h.parser.mAlternateVerticalScan, 1u );
	EXPECT_EQ( h.parser.mSprite, 1u );
	EXPECT_EQ( h.parser.mWarpingPoints, 2u );
	EXPECT_EQ( h.parser.mWarpingAccuracy, 3u );
	EXPECT_EQ( h.parser.mWarp.mDu[0], 100 );
	EXPECT_EQ( h.parser.mWarp.mDv[0], -3 );
	EXPECT_EQ( h.parser.mWarp.mDu[1], -16383 );
	EXPECT_EQ( h.parser.mWarp.mDv[1], 16383 );
	EXPECT_EQ( M4BitstreamGet( &h.bs, 32 ), 0xDEADBEEFu );
	// I-, P- and B-frames carry no points even with the sprite flag set.
	EXPECT_EQ( h.Parse( vol, Plane( TOOL_M4V_P ), false, 4 ), M4_FRAME_P );
	EXPECT_EQ( M4BitstreamGet( &h.bs, 32 ), 0xDEADBEEFu );
}

TEST( M4BitstreamParser, DerivesSpritePointsFromTheWarpingTrajectories ) {
	const struct {
		u32		points;
		u32		accuracy;
		s32		du[3];
		s32		dv[3];
		s32		spriteI0;
		s32		spriteJ0;
		s32		virtualI1;
		s32		virtualJ1;
		s32		virtualI2;
		s32		virtualJ2;
	} cases[] = {
		// No motion: the virtual points sit at W' and H' (1/16 sample).
		{ 0, 0, {}, {}, 0, 0, 16 * 256, 0, 0, 16 * 256 },
		// A translation moves every point alike: 3 half samples are 24/16.
		{ 1, 1, { 3 }, { -5 }, 6, -10, 16 * 256 + 24, -40, 24, 16 * 256 - 40 },
		{ 1, 3, { -2 }, { 4 }, -16, 32, 16 * 256 - 16, 32, -16, 16 * 256 + 32 },
	};
	for ( const auto& c : cases ) {
		M4SpriteWarp warp{};
		warp.mPointCount = c.points;
		warp.mAccuracy = c.accuracy;
		for ( u32 n = 0; n < c.points; n++ ) {
			warp.mDu[n] = c.du[n];
			warp.mDv[n] = c.dv[n];
		}
		M4SpriteWarpDerive( &warp, 176, 144 );
		EXPECT_EQ( warp.mResolution, 2 << c.accuracy );
		EXPECT_EQ( warp.mLog2VirtualWidth, 8u );
		EXPECT_EQ( warp.mLog2VirtualHeight, 8u );
		EXPECT_EQ( warp.mSpriteI[0], c.spriteI0 );
		EXPECT_EQ( warp.mSpriteJ[0], c.spriteJ0 );
		EXPECT_EQ( warp.mVirtualI[0], c.virtualI1 );
		EXPECT_EQ( warp.mVirtualJ[0], c.virtualJ1 );
		EXPECT_EQ( warp.mVirtualI[1], c.virtualI2 );
		EXPECT_EQ( warp.mVirtualJ[1], c.virtualJ2 );
	}
	EXPECT_EQ( M4DivideRounded( 7, 2 ), 4 );
	EXPECT_EQ( M4DivideRounded( -7, 2 ), -4 );
	EXPECT_EQ( M4DivideRounded( 5, 3 ), 2 );
	EXPECT_EQ( M4DivideRounded( 1, 0 ), 0 );
}

TEST( M4BitstreamParser, InstallsTheThreeScansAsPermutations ) {
	for ( u32 s = 0; s < M4_SCAN_COUNT; s++ ) {
		bool seen[64] = {};
		for ( u32 i = 0; i < 64; i++ ) {
			const u8 index = M4BitstreamParser::mScanTableInput[s][i];
			ASSERT_LT( index, 64 );
			EXPECT_FALSE( seen[index] ) << "scan " << s << " repeats " << static_cast<u32>( index );
			seen[index] = true;
		}
	}
	HeaderParser h;
	for ( u32 s = 0; s < M4_SCAN_COUNT; s++ ) {
		EXPECT_EQ( std::memcmp( h.parser.mScan[s], M4BitstreamParser::mScanTableInput[s], 64 ), 0 );
	}
}
