// Frames made by hand: quantiser limits, DC thresholds, stuffing, large
// f-codes, invalid B types, streams that start without an I-frame, and
// the B-frame cases a movie file should never hold but may.
#include "M4HandMadeFrames.h"

#include "../M4TestHooks.h"
#include "platform/os/OS.h"
#include "platform/os/OSHost.h"
#include "video/m4/M4Decoder.h"
#include "video/m4/M4MotionVectorMgr.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// Six DC differences per macroblock, varied so pictures have content.
void WriteVariedIFrameBody( ToolBitWriter& writer, const u32 macroBlocks, const bool separateDc ) {
	for ( u32 m = 0; m < macroBlocks; m++ ) {
		const s32 dcs[6] = { static_cast<s32>( 7 * m ) - 9, 5, -3, static_cast<s32>( m ), 11, -6 };
		WriteFlatIntraMacroBlock( writer, dcs, separateDc );
	}
}

std::vector<u8> VariedIFrame( const u32 macroBlocks, const u32 time = 0 ) {
	ToolBitWriter body;
	WriteVariedIFrameBody( body, macroBlocks, true );
	HandFrame header;
	header.time = time;
	return BuildHandFrame( header, body );
}

// An inter macroblock of a P-frame with one vector and no coded block.
void WriteInterMacroBlock( ToolBitWriter& writer, const s32 x, const s32 y, const u32 fcode ) {
	writer.Write( 0, 1 );
	ToolM4CodeWriter::WriteMcbpc( writer, false, 0, 0 );
	ToolM4CodeWriter::WriteCbpy( writer, 0, false );
	ToolM4CodeWriter::WriteMotion( writer, x, fcode );
	ToolM4CodeWriter::WriteMotion( writer, y, fcode );
}

std::vector<u8> NotCodedPFrame( const u32 macroBlocks, const u32 time ) {
	ToolBitWriter body;
	for ( u32 m = 0; m < macroBlocks; m++ ) {
		body.Write( 1, 1 );
	}
	HandFrame header;
	header.type = TOOL_M4V_P;
	header.time = time;
	return BuildHandFrame( header, body );
}

// A B-frame whose macroblocks are all skipped (direct, no delta).
std::vector<u8> SkippedBFrame( const u32 macroBlocks, const u32 time ) {
	ToolBitWriter body;
	for ( u32 m = 0; m < macroBlocks; m++ ) {
		body.Write( 1, 1 );
	}
	HandFrame header;
	header.type = TOOL_M4V_B;
	header.time = time;
	return BuildHandFrame( header, body );
}

struct PanicSeen : std::runtime_error {
	PanicSeen( const char* file, const s32 line, const char* message )
		: std::runtime_error( std::string( file ) + ":" + std::to_string( line ) + ":" + message ) {}
};

void ThrowingPanic( const char* file, const s32 line, const char* message ) {
	throw PanicSeen( file, line, message );
}

std::vector<std::string> gReports;

void CollectReport( const char* text ) {
	gReports.emplace_back( text );
}

u32 ReportsContaining( const char* text ) {
	u32 count = 0;
	for ( const std::string& report : gReports ) {
		count += report.find( text ) != std::string::npos ? 1 : 0;
	}
	return count;
}

class M4HandMade : public ::testing::Test {
protected:
	void SetUp() override {
		M4TestInstallHooks( true );
		gReports.clear();
		previousReport = OSHostSetReportHook( CollectReport );
		previousPanic = OSHostSetPanicHook( ThrowingPanic );
	}
	void TearDown() override {
		OSHostSetReportHook( previousReport );
		OSHostSetPanicHook( previousPanic );
		M4TestHooksReset();
	}
	OSHostReportHook	previousReport = nullptr;
	OSHostPanicHook		previousPanic = nullptr;
};

} // namespace

TEST_F( M4HandMade, AnAllNotCodedPFrameReproducesItsReferenceExactly ) {
	for ( const u32 flags : { 0u, VID_DECODER_FLAG_REORDER } ) {
		HandDecoder decoder( 48, 32, flags );
		const PlanarPicture intra = decoder.Decode( VariedIFrame( 6 ) );
		const PlanarPicture copy = decoder.Decode( NotCodedPFrame( 6, 1 ) );
		// With reordering the P picture shows one frame later.
		const PlanarPicture shown = flags == 0 ? copy : decoder.Decode( NotCodedPFrame( 6, 2 ) );
		const PlanarPicture reference = flags == 0 ? intra : copy;
		for ( u32 p = 0; p < 3; p++ ) {
			EXPECT_EQ( shown.planes[p], reference.planes[p] ) << "flags " << flags << " plane " << p;
		}
		EXPECT_FALSE( IsFlat( reference, 16, 128 ) );
	}
}

TEST_F( M4HandMade, QuantiserChangesClampToOneAndThirtyOne ) {
	struct Case {
		u32		start;
		u32		code;		// 0 -1, 1 -2, 2 +1, 3 +2
		u32		expected;
	};
	const Case cases[] = { { 1, 1, 1 }, { 2, 1, 1 }, { 2, 0, 1 }, { 3, 1, 1 }, { 31, 3, 31 }, { 30, 3, 31 }, { 30, 2, 31 }, { 29, 3, 31 }, { 10, 3, 12 } };
	for ( const Case& c : cases ) {
		HandDecoder		decoder( 16, 16, 0 );
		ToolBitWriter	body;
		const s32		dcs[6] = { 3, 1, 2, 4, -1, 1 };
		WriteFlatIntraMacroBlock( body, dcs, true, false, 4, c.code );
		HandFrame header;
		header.quantiser = c.start;
		decoder.Decode( BuildHandFrame( header, body ) );
		EXPECT_EQ( decoder.decoder->mParser.mQuantiser, c.expected ) << c.start << " code " << c.code;
		EXPECT_EQ( decoder.decoder->mMBs[0].mQuantiser, c.expected ) << c.start << " code " << c.code;
	}
}

TEST_F( M4HandMade, IntraDcDecodesAlikeWhetherCodedSeparatelyOrAsACoefficient ) {
	// The DC is coded separately when the quantiser after the change is
	// below the threshold of the index: 32, 13, 15, 17, 19, 21, 23, 1.
	struct Case {
		u32		index;
		u32		start;
		u32		code;		// quantiser change of a type 4 macroblock
		bool	withChange;
		bool	separate;
	};
	const Case cases[] = {
		{ 1, 12, 0, false, true }, { 1, 13, 0, false, false }, { 2, 14, 0, false, true }, { 3, 17, 0, false, false },
		{ 6, 22, 0, false, true }, { 7, 1, 0, false, false }, { 1, 13, 0, true, true }, { 1, 12, 2, true, false },
		{ 4, 20, 1, true, true },
	};
	for ( const Case& c : cases ) {
		const s32		dcs[6] = { 9, -4, 2, 6, -3, 5 };
		const u32		after = c.withChange ? static_cast<u32>( static_cast<s32>( c.start ) + M4Decoder::mDequantTable[c.code] ) : c.start;
		ToolBitWriter	tested;
		WriteFlatIntraMacroBlock( tested, dcs, c.separate, false, c.withChange ? 4 : 3, c.code );
		HandFrame header;
		header.intraDcThreshold = c.index;
		header.quantiser = c.start;
		ToolBitWriter	plain;
		WriteFlatIntraMacroBlock( plain, dcs, true );
		HandFrame plainHeader;
		plainHeader.quantiser = after;
		HandDecoder	decoder( 16, 16, 0 );
		HandDecoder	plainDecoder( 16, 16, 0 );
		const PlanarPicture picture = decoder.Decode( BuildHandFrame( header, tested ) );
		const PlanarPicture expected = plainDecoder.Decode( BuildHandFrame( plainHeader, plain ) );
		for ( u32 p = 0; p < 3; p++ ) {
			EXPECT_EQ( picture.planes[p], expected.planes[p] ) << "index " << c.index << " quantiser " << c.start << " plane " << p;
		}
	}
}

TEST_F( M4HandMade, RepeatedStuffingCodesBeforeAMacroBlockAreSkipped ) {
	for ( const bool inFrameP : { false, true } ) {
		PlanarPicture pictures[2];
		for ( u32 k = 0; k < 2; k++ ) {
			ToolBitWriter body;
			for ( u32 m = 0; m < 4; m++ ) {
				const s32 dcs[6] = { static_cast<s32>( m ) - 2, 4, -1, 2, 3, -2 };
				WriteFlatIntraMacroBlock( body, dcs, true, inFrameP, 3, 0, k == 0 ? 0 : 3 );
			}
			HandFrame header;
			header.type = inFrameP ? TOOL_M4V_P : TOOL_M4V_I;
			HandDecoder decoder( 32, 32, 0 );
			pictures[k] = decoder.Decode( BuildHandFrame( header, body ) );
		}
		EXPECT_EQ( pictures[0].planes[0], pictures[1].planes[0] ) << "P-frame " << inFrameP;
		EXPECT_FALSE( IsFlat( pictures[1], 16, 128 ) );
	}
}

TEST_F( M4HandMade, FCodesFourToSevenReadVectorsAcrossTheirRange ) {
	struct Case {
		u32		fcode;
		s32		x;
		s32		y;
	};
	const Case cases[] = { { 4, 255, -256 }, { 4, 17, -1 }, { 5, -512, 511 }, { 6, 1000, -999 }, { 7, -2048, 2047 }, { 7, 3, 1537 } };
	for ( const Case& c : cases ) {
		HandDecoder decoder( 16, 16, 0 );
		decoder.Decode( VariedIFrame( 1 ) );
		ToolBitWriter body;
		WriteInterMacroBlock( body, c.x, c.y, c.fcode );
		HandFrame header;
		header.type = TOOL_M4V_P;
		header.forwardFCode = c.fcode;
		header.time = 1;
		decoder.Decode( BuildHandFrame( header, body ) );
		EXPECT_EQ( decoder.decoder->mMBs[0].mMv[0], c.x ) << "f-code " << c.fcode;
		EXPECT_EQ( decoder.decoder->mMBs[0].mMv[1], c.y ) << "f-code " << c.fcode;
	}
}

TEST_F( M4HandMade, AnInvalidBMacroBlockTypeCopiesTheOlderReferenceForTheRestOfThePicture ) {
	// Two macroblocks: the first B macroblock's type cannot be read, and
	// the second is never read either.
	HandDecoder decoder( 32, 16, VID_DECODER_FLAG_REORDER );
	decoder.Decode( VariedIFrame( 2 ) );
	// Coded co-located macroblocks, so the B macroblocks read their bits.
	ToolBitWriter predicted;
	WriteInterMacroBlock( predicted, 2, 2, 1 );
	WriteInterMacroBlock( predicted, 2, 2, 1 );
	HandFrame predictedHeader;
	predictedHeader.type = TOOL_M4V_P;
	predictedHeader.time = 2;
	decoder.Decode( BuildHandFrame( predictedHeader, predicted ) );
	ToolBitWriter body;
	body.Write( 0, 1 );		// not skipped
	body.Write( 1, 1 );		// no pattern
	ToolM4CodeWriter::WriteBType( body, 4 );
	HandFrame header;
	header.type = TOOL_M4V_B;
	header.time = 1;
	const PlanarPicture shown = decoder.Decode( BuildHandFrame( header, body ) );
	EXPECT_EQ( shown.width, 32u );
	for ( u32 m = 0; m < 2; m++ ) {
		EXPECT_EQ( decoder.decoder->mBMBs[m].mType, M4_B_FORWARD ) << m;
		EXPECT_EQ( decoder.decoder->mBMBs[m].mBForward[0].x, 0 ) << m;
	}
}

TEST_F( M4HandMade, ABMacroBlockOverANotCodedSpriteMacroBlockIsDecoded ) {
	HandDecoder decoder( 16, 16, VID_DECODER_FLAG_REORDER );
	decoder.Decode( VariedIFrame( 1 ) );
	ToolBitWriter sprite;
	sprite.Write( 1, 1 );
	HandFrame spriteHeader;
	spriteHeader.type = TOOL_M4V_S;
	spriteHeader.time = 2;
	decoder.Decode( BuildHandFrame( spriteHeader, sprite ) );
	ASSERT_EQ( decoder.decoder->mMBs[0].mType, M4_MB_NOT_CODED_SPRITE );
	ToolBitWriter body;
	body.Write( 0, 1 );
	body.Write( 1, 1 );
	ToolM4CodeWriter::WriteBType( body, M4_B_FORWARD );
	ToolM4CodeWriter::WriteMotion( body, 4, 1 );
	ToolM4CodeWriter::WriteMotion( body, -2, 1 );
	HandFrame header;
	header.type = TOOL_M4V_B;
	header.time = 1;
	decoder.Decode( BuildHandFrame( header, body ) );
	const M4_MB& record = decoder.decoder->mBMBs[0];
	EXPECT_EQ( record.mType, M4_B_FORWARD );
	EXPECT_EQ( record.mBForward[0].x, 4 );
	EXPECT_EQ( record.mBForward[0].y, -2 );
}

TEST_F( M4HandMade, StreamsStartingWithAPOrBFrameDecodeAgainstBlackReferences ) {
	struct Case {
		const char*		name;
		u32				flags;
		bool			bFirst;
	};
	const Case cases[] = { { "P, no reordering", 0, false }, { "P, reordering", VID_DECODER_FLAG_REORDER, false },
						   { "B, reordering", VID_DECODER_FLAG_REORDER, true } };
	for ( const Case& c : cases ) {
		HandDecoder decoder( 32, 16, c.flags );
		PlanarPicture picture;
		if ( c.bFirst ) {
			picture = decoder.Decode( SkippedBFrame( 2, 1 ) );
		} else {
			ToolBitWriter body;
			WriteInterMacroBlock( body, 6, -4, 1 );
			WriteInterMacroBlock( body, -9, 3, 1 );
			HandFrame header;
			header.type = TOOL_M4V_P;
			header.time = 1;
			decoder.Decode( BuildHandFrame( header, body ) );
			picture = decoder.Decode( NotCodedPFrame( 2, 2 ) );
		}
		EXPECT_TRUE( IsFlat( picture, 16, 128 ) ) << c.name;
	}
}

TEST_F( M4HandMade, ABFrameWithoutReorderingChangesNothingAndIsReportedOnce ) {
	HandDecoder decoder( 32, 32, 0 );
	const PlanarPicture black = decoder.Decode( SkippedBFrame( 4, 1 ) );
	EXPECT_TRUE( IsFlat( black, 16, 128 ) );
	const PlanarPicture intra = decoder.Decode( VariedIFrame( 4 ) );
	const VIDImage shown = *decoder.last;
	for ( u32 k = 0; k < 2; k++ ) {
		const PlanarPicture again = decoder.Decode( SkippedBFrame( 4, 1 ) );
		EXPECT_EQ( decoder.last->y, shown.y );
		EXPECT_EQ( again.planes[0], intra.planes[0] );
		EXPECT_EQ( again.planes[2], intra.planes[2] );
	}
	EXPECT_EQ( ReportsContaining( "B-frame without reordering" ), 1u );
	// The next P-frame still predicts from the I picture.
	const PlanarPicture copy = decoder.Decode( NotCodedPFrame( 4, 2 ) );
	EXPECT_EQ( copy.planes[0], intra.planes[0] );
}
