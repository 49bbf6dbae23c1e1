// B-frames against unusual references: time stamps that give no or huge
// distances, and an older reference that was never padded.
#include "M4HandMadeFrames.h"

#include "../M4TestHooks.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/M4DirectMode.h"
#include "video/m4/M4MotionVectorMgr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<std::string> gReports;

void CollectReport( const char* text ) {
	gReports.emplace_back( text );
}

// An I-frame whose macroblocks are flat blocks of varied levels.
std::vector<u8> PatternIFrame( const u32 macroBlocks, const u32 time, const s32 seed ) {
	ToolBitWriter body;
	for ( u32 m = 0; m < macroBlocks; m++ ) {
		const s32 dcs[6] = { seed + static_cast<s32>( 5 * m ) % 23 - 11, -seed, 7, static_cast<s32>( m % 5 ) - 2, seed, -4 };
		WriteFlatIntraMacroBlock( body, dcs, true );
	}
	HandFrame header;
	header.time = time;
	return BuildHandFrame( header, body );
}

class M4BFrameReferences : public ::testing::Test {
protected:
	void SetUp() override {
		M4TestInstallHooks( true );
		gReports.clear();
		previous = OSHostSetReportHook( CollectReport );
	}
	void TearDown() override {
		OSHostSetReportHook( previous );
		M4TestHooksReset();
	}
	OSHostReportHook previous = nullptr;
};

} // namespace

TEST( M4DirectMode, ScalesSaturatesAndFallsBackToDistanceOne ) {
	struct Case {
		s32		colocated;
		s32		delta;
		s64		trb;
		s64		trd;
		s32		forward;
		s32		backward;
	};
	const Case cases[] = {
		{ 6, 0, 1, 3, 2, -4 },				// backward = (TRB - TRD) col / TRD
		{ -7, 0, 1, 2, -3, 3 },				// divisions truncate toward zero
		{ 6, 1, 1, 3, 3, -3 },				// a delta makes backward = forward - col
		{ 2047, 0, 2147483647, 1, 1 << 20, 1 << 20 },
		{ -2048, 3, 2147483647, 1, -( 1 << 20 ), -( 1 << 20 ) },
		{ 2047, 0, -2147483647 - 1, 1, -( 1 << 20 ), -( 1 << 20 ) },
		{ 5, -2, 0, 0, -2, -7 },				// a distance of 0 divides by 1
	};
	for ( const Case& c : cases ) {
		s32 forward = 0;
		s32 backward = 0;
		M4DirectComponent( c.colocated, c.delta, c.trb, c.trd, &forward, &backward );
		EXPECT_EQ( forward, c.forward ) << c.colocated << " " << c.trb << "/" << c.trd;
		EXPECT_EQ( backward, c.backward ) << c.colocated << " " << c.trb << "/" << c.trd;
	}
	struct Times {
		u32		b;
		u32		past;
		u32		future;
		bool	valid;
		s64		trb;
		s64		trd;
	};
	const Times times[] = {
		{ 7, 6, 9, true, 1, 3 }, { 5, 5, 5, false, 1, 1 }, { 3, 9, 6, false, 1, 1 },
		{ 2u, 0xFFFFFFFEu, 6u, true, 4, 8 }, { 0x8000000Au, 0, 10, true, -2147483638, 10 },
	};
	for ( const Times& t : times ) {
		s64 trb = 0;
		s64 trd = 0;
		EXPECT_EQ( M4DirectTimes( t.b, t.past, t.future, &trb, &trd ), t.valid ) << t.b;
		EXPECT_EQ( trb, t.trb ) << t.b;
		EXPECT_EQ( trd, t.trd ) << t.b;
	}
}

TEST_F( M4BFrameReferences, DirectModeSurvivesEqualAndFarApartTimes ) {
	struct Case {
		const char*		name;
		u32				referenceTime;
		u32				bTime;
		bool			reported;
	};
	const Case cases[] = { { "equal times", 5, 5, true }, { "2^31 ticks past the newer reference", 10, 10u + 0x80000000u, false } };
	for ( const Case& c : cases ) {
		gReports.clear();
		HandDecoder decoder( 32, 16, VID_DECODER_FLAG_REORDER );
		decoder.Decode( PatternIFrame( 2, c.referenceTime == 5 ? 5 : 0, 3 ) );
		// Co-located vectors at the ends of the largest range.
		ToolBitWriter predicted;
		const s32 vectors[2][2] = { { 2047, -2048 }, { -2048, 2047 } };
		for ( u32 m = 0; m < 2; m++ ) {
			// The second vector is predicted from the first.
			const s32 px = m == 0 ? 0 : vectors[0][0];
			const s32 py = m == 0 ? 0 : vectors[0][1];
			predicted.Write( 0, 1 );
			ToolM4CodeWriter::WriteMcbpc( predicted, false, 0, 0 );
			ToolM4CodeWriter::WriteCbpy( predicted, 0, false );
			ToolM4CodeWriter::WriteMotion( predicted, M4MotionVectorMgr::wrap( vectors[m][0] - px, 7 ), 7 );
			ToolM4CodeWriter::WriteMotion( predicted, M4MotionVectorMgr::wrap( vectors[m][1] - py, 7 ), 7 );
		}
		HandFrame predictedHeader;
		predictedHeader.type = TOOL_M4V_P;
		predictedHeader.forwardFCode = 7;
		predictedHeader.time = c.referenceTime;
		decoder.Decode( BuildHandFrame( predictedHeader, predicted ) );
		ASSERT_EQ( decoder.decoder->mMBs[1].mMv[0], -2048 ) << c.name;
		ToolBitWriter body;
		for ( u32 m = 0; m < 2; m++ ) {
			body.Write( 0, 1 );
			body.Write( 1, 1 );
			ToolM4CodeWriter::WriteBType( body, M4_B_DIRECT );
			ToolM4CodeWriter::WriteMotion( body, 1, 1 );
			ToolM4CodeWriter::WriteMotion( body, -1, 1 );
		}
		HandFrame header;
		header.type = TOOL_M4V_B;
		header.time = c.bTime;
		const PlanarPicture picture = decoder.Decode( BuildHandFrame( header, body ) );
		EXPECT_EQ( picture.planes[0].size(), 32u * 16u ) << c.name;
		u32 reports = 0;
		for ( const std::string& report : gReports ) {
			reports += report.find( "share a time" ) != std::string::npos ? 1 : 0;
		}
		EXPECT_EQ( reports, c.reported ? 1u : 0u ) << c.name;
		// The stream goes on: the next reference decodes.
		const PlanarPicture next = decoder.Decode( PatternIFrame( 2, c.referenceTime + 1, 4 ) );
		EXPECT_EQ( next.planes[0].size(), 32u * 16u ) << c.name;
	}
}

TEST_F( M4BFrameReferences, AnOlderReferenceFollowedByAnIFrameIsPaddedBeforeABFrameReadsIt ) {
	constexpr u16 kWidth = 32;
	constexpr u16 kHeight = 32;
	// Forward vectors (full samples, in half samples) past every edge.
	const s32 vectors[4][2] = { { -160, -140 }, { 150, -130 }, { -170, 150 }, { 160, 170 } };
	HandDecoder decoder( kWidth, kHeight, VID_DECODER_FLAG_REORDER );
	decoder.Decode( PatternIFrame( 4, 0, 5 ) );
	const PlanarPicture older = decoder.Decode( PatternIFrame( 4, 3, -6 ) );
	ToolBitWriter body;
	for ( const auto& v : vectors ) {
		body.Write( 0, 1 );
		body.Write( 1, 1 );
		ToolM4CodeWriter::WriteBType( body, M4_B_FORWARD );
		// Forward vectors predict from the previous one in the row.
		const s32 index = static_cast<s32>( &v - vectors );
		const s32 px = ( index & 1 ) != 0 ? vectors[index - 1][0] : 0;
		const s32 py = ( index & 1 ) != 0 ? vectors[index - 1][1] : 0;
		ToolM4CodeWriter::WriteMotion( body, M4MotionVectorMgr::wrap( v[0] - px, 4 ), 4 );
		ToolM4CodeWriter::WriteMotion( body, M4MotionVectorMgr::wrap( v[1] - py, 4 ), 4 );
	}
	HandFrame header;
	header.type = TOOL_M4V_B;
	header.forwardFCode = 4;
	header.time = 1;
	const PlanarPicture picture = decoder.Decode( BuildHandFrame( header, body ) );
	// Expected: the older picture's edges extended without limit.
	for ( u32 p = 0; p < 3; p++ ) {
		const s32 size = p == 0 ? 16 : 8;
		const s32 w = p == 0 ? kWidth : kWidth / 2;
		const s32 h = p == 0 ? kHeight : kHeight / 2;
		for ( s32 y = 0; y < h; y++ ) {
			for ( s32 x = 0; x < w; x++ ) {
				const s32 mb = ( y / size ) * 2 + x / size;
				const s32 dx = p == 0 ? vectors[mb][0] / 2 : vectors[mb][0] / 4;
				const s32 dy = p == 0 ? vectors[mb][1] / 2 : vectors[mb][1] / 4;
				const s32 sx = x + dx < 0 ? 0 : ( x + dx >= w ? w - 1 : x + dx );
				const s32 sy = y + dy < 0 ? 0 : ( y + dy >= h ? h - 1 : y + dy );
				ASSERT_EQ( picture.planes[p][static_cast<size_t>( y * w + x )], older.planes[p][static_cast<size_t>( sy * w + sx )] )
					<< "plane " << p << " at " << x << ", " << y;
			}
		}
	}
}
