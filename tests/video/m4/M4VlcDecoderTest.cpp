#include "video/m4/M4BitstreamParser.h"
#include "video/m4/M4Bitstream.h"
#include "video/m4/M4BlockDecoder.h"
#include "video/m4/M4VlcDecoder.h"

#include "M4TestHooks.h"
#include "tools/lib/movie/ToolBitWriter.h"
#include "tools/lib/video/ToolM4CodeLists.h"
#include "tools/lib/video/ToolM4CodeWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Bits a decoder must not consume, written after each code under test.
constexpr u32 TRAILER		= 0xA5C3F00F;
constexpr u32 TRAILER_BITS	= 32;

struct Reader {
	std::vector<u8>		bytes;
	M4Bitstream			bs;
	M4BitstreamParser	parser;

	explicit Reader( ToolBitWriter& writer ) {
		writer.Write( TRAILER, TRAILER_BITS );
		bytes = writer.Finish();
		M4TestInstallHooks( false );
		M4BitstreamInit( &bs, bytes.data(), static_cast<u32>( bytes.size() ) );
		EXPECT_TRUE( parser.init( &bs, 64, 64 ) );
		// init points the parser at bs; it keeps reading from here.
	}
	~Reader() { parser.destroy(); }
	u32 Position() const { return M4BitstreamPosition( &bs ); }
};

std::vector<u8> IdentityScan() {
	std::vector<u8> scan( 64 );
	for ( u32 i = 0; i < 64; i++ ) {
		scan[i] = static_cast<u8>( i );
	}
	return scan;
}

std::vector<std::string> Expand( const std::vector<ToolM4Code>& codes ) {
	std::vector<std::string> bits;
	for ( const ToolM4Code& code : codes ) {
		const std::string b = ToolM4CodeLists::Bits( code.bits );
		if ( ToolM4CodeLists::HasSign( code.bits ) ) {
			bits.push_back( b + "0" );
			bits.push_back( b + "1" );
		} else {
			bits.push_back( b );
		}
	}
	return bits;
}

std::vector<std::string> Expand( const std::vector<ToolM4CoefficientCode>& codes ) {
	std::vector<std::string> bits;
	for ( const ToolM4CoefficientCode& code : codes ) {
		bits.push_back( ToolM4CodeLists::Bits( code.bits ) );
	}
	bits.push_back( ToolM4CodeLists::Bits( ToolM4CodeLists::Escape() ) );
	return bits;
}

// Empty when no code is a prefix of another, else the offending pair.
std::string PrefixClash( const std::vector<std::string>& codes ) {
	for ( size_t a = 0; a < codes.size(); a++ ) {
		for ( size_t b = 0; b < codes.size(); b++ ) {
			if ( a != b && codes[b].compare( 0, codes[a].size(), codes[a] ) == 0 ) {
				return codes[a] + " / " + codes[b];
			}
		}
	}
	return "";
}

} // namespace

TEST( M4VlcDecoder, EveryCodeListIsPrefixFree ) {
	const struct {
		const char*					name;
		std::vector<std::string>	codes;
	} lists[] = {
		{ "mcbpc intra", Expand( ToolM4CodeLists::McbpcIntra() ) },
		{ "mcbpc inter", Expand( ToolM4CodeLists::McbpcInter() ) },
		{ "cbpy", Expand( ToolM4CodeLists::Cbpy() ) },
		{ "dc luminance", Expand( ToolM4CodeLists::DCSize( true ) ) },
		{ "dc chrominance", Expand( ToolM4CodeLists::DCSize( false ) ) },
		{ "motion", Expand( ToolM4CodeLists::Motion() ) },
		{ "intra coefficients", Expand( ToolM4CodeLists::Coefficients( true ) ) },
		{ "inter coefficients", Expand( ToolM4CodeLists::Coefficients( false ) ) },
	};
	for ( const auto& list : lists ) {
		EXPECT_EQ( PrefixClash( list.codes ), "" ) << list.name;
	}
	EXPECT_EQ( ToolM4CodeLists::Coefficients( true ).size(), 102u );
	EXPECT_EQ( ToolM4CodeLists::Coefficients( false ).size(), 102u );
}

TEST( M4VlcDecoder, CoefficientTablesKeepTheirFastMemoryFootprint ) {
	EXPECT_EQ( sizeof( M4VlcDecoder::mTabDCT3D0 ), 448u );
	EXPECT_EQ( sizeof( M4VlcDecoder::mTabDCT3D1 ), 384u );
	EXPECT_EQ( sizeof( M4VlcDecoder::mTabDCT3D2 ), 480u );
	EXPECT_EQ( sizeof( M4VlcDecoder::mTabDCT3D3 ), 448u );
	EXPECT_EQ( sizeof( M4VlcDecoder::mTabDCT3D4 ), 384u );
	EXPECT_EQ( sizeof( M4VlcDecoder::mTabDCT3D5 ), 480u );
}

TEST( M4VlcDecoder, DecodesEveryMacroblockTypeCodeAfterAnyStuffing ) {
	for ( const bool intraFrame : { true, false } ) {
		const auto& codes = intraFrame ? ToolM4CodeLists::McbpcIntra() : ToolM4CodeLists::McbpcInter();
		for ( const ToolM4Code& code : codes ) {
			if ( code.value == TOOL_M4_STUFFING ) {
				continue;
			}
			for ( const u32 stuffing : { 0u, 1u, 3u } ) {
				ToolBitWriter writer;
				ASSERT_TRUE( ToolM4CodeWriter::WriteMcbpc( writer, intraFrame, code.value & 7, code.value >> 4, stuffing ) );
				const u32 bits = static_cast<u32>( writer.BitCount() );
				Reader r( writer );
				const u32 value = intraFrame ? r.parser.getCbpCIntra() : r.parser.getCbpCInter();
				EXPECT_EQ( value & M4_MCBPC_TYPE_MASK, static_cast<u32>( code.value & 7 ) ) << code.bits;
				EXPECT_EQ( value >> M4_MCBPC_CBPC_SHIFT, static_cast<u32>( code.value >> 4 ) ) << code.bits;
				EXPECT_EQ( r.Position(), bits ) << code.bits << " after " << stuffing << " stuffing";
			}
		}
		// Nine zero bits start no code.
		ToolBitWriter writer;
		writer.Write( 0, 9 );
		Reader r( writer );
		EXPECT_EQ( intraFrame ? r.parser.getCbpCIntra() : r.parser.getCbpCInter(), 0x1FFFFu );
	}
}

TEST( M4VlcDecoder, DecodesEveryLumaPatternInBothForms ) {
	for ( const bool intra : { true, false } ) {
		for ( u32 cbpy = 0; cbpy < 16; cbpy++ ) {
			ToolBitWriter writer;
			ASSERT_TRUE( ToolM4CodeWriter::WriteCbpy( writer, cbpy, intra ) );
			const u32 bits = static_cast<u32>( writer.BitCount() );
			Reader r( writer );
			EXPECT_EQ( r.parser.getCbpy( intra ), cbpy ) << ( intra ? "intra " : "inter " ) << cbpy;
			EXPECT_EQ( r.Position(), bits );
		}
	}
}

TEST( M4VlcDecoder, DecodesEveryDCSizeWithItsDifferencesAndMarker ) {
	for ( const bool luminance : { true, false } ) {
		for ( u32 size = 0; size <= 12; size++ ) {
			const s32 low = size == 0 ? 0 : 1 << ( size - 1 );
			const s32 high = ( 1 << size ) - 1;
			for ( const s32 difference : { low, high, -low, -high } ) {
				ToolBitWriter writer;
				ASSERT_TRUE( ToolM4CodeWriter::WriteDC( writer, difference, luminance ) );
				const u32 bits = static_cast<u32>( writer.BitCount() );
				Reader r( writer );
				const u32 decodedSize = r.parser.getDCSize( luminance );
				EXPECT_EQ( decodedSize, size );
				EXPECT_EQ( r.parser.getDCDiff( decodedSize ), difference ) << "size " << size;
				if ( decodedSize > 8 ) {
					EXPECT_EQ( M4BitstreamGet( &r.bs, 1 ), 1u ) << "marker";
				}
				EXPECT_EQ( r.Position(), bits ) << "size " << size << ( luminance ? " luminance" : " chrominance" );
			}
		}
	}
}

TEST( M4VlcDecoder, DecodesMotionComponentsAtEveryFCode ) {
	for ( u32 fcode = 1; fcode <= 7; fcode++ ) {
		const s32 f = 1 << ( fcode - 1 );
		std::vector<s32> values = { 0, 1, -1, f, -f, f + 1, -( f + 1 ), 32 * f, -32 * f, 32 * f - 1, -( 32 * f - 1 ), 17 * f + f / 2 };
		if ( fcode == 1 ) {
			for ( s32 v = -32; v <= 32; v++ ) {
				values.push_back( v );
			}
		}
		for ( const s32 value : values ) {
			ToolBitWriter writer;
			ASSERT_TRUE( ToolM4CodeWriter::WriteMotion( writer, value, fcode ) ) << value;
			const u32 bits = static_cast<u32>( writer.BitCount() );
			Reader r( writer );
			EXPECT_EQ( r.parser.getMv( fcode ), value ) << "f-code " << fcode;
			EXPECT_EQ( r.Position(), bits ) << "f-code " << fcode << " value " << value;
		}
	}
	// The code of 0 is one bit, and reads no residual whatever the f-code.
	ToolBitWriter writer;
	writer.Write( 1, 1 );
	Reader r( writer );
	EXPECT_EQ( r.parser.getMv( 7 ), 0 );
	EXPECT_EQ( r.Position(), 1u );
}

TEST( M4VlcDecoder, DecodesEveryCoefficientRowWithBothSigns ) {
	const std::vector<u8> scan = IdentityScan();
	for ( const bool intra : { true, false } ) {
		for ( const ToolM4CoefficientCode& code : ToolM4CodeLists::Coefficients( intra ) ) {
			for ( const s32 sign : { 1, -1 } ) {
				const s32 level = sign * static_cast<s32>( code.level );
				ToolBitWriter writer;
				ToolM4Escape escape = TOOL_M4_ESCAPE_FIXED;
				ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, intra, code.last, code.run, level, &escape ) );
				EXPECT_EQ( escape, TOOL_M4_ESCAPE_NONE ) << code.bits;
				if ( code.last == 0 ) {
					ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, intra, 1, 0, 1 ) );
				}
				const u32 bits = static_cast<u32>( writer.BitCount() );
				Reader r( writer );
				s16 block[64] = {};
				const M4CoefficientTables& tables = intra ? r.parser.mVlc.intraTables() : r.parser.mVlc.interTables();
				if ( intra ) {
					M4DecodeIntraBlock( &r.bs, block, 0, tables, scan.data() );
				} else {
					M4DecodeInterBlock( &r.bs, block, tables, scan.data() );
				}
				EXPECT_EQ( block[code.run], level ) << code.bits;
				if ( code.last == 0 ) {
					EXPECT_EQ( block[code.run + 1], 1 ) << code.bits;
				}
				EXPECT_EQ( r.Position(), bits ) << code.bits << ( intra ? " intra" : " inter" );
			}
		}
	}
}

TEST( M4VlcDecoder, DecodesTheThreeEscapeModes ) {
	const std::vector<u8> scan = IdentityScan();
	const struct {
		bool			intra;
		u32				last;
		u32				run;
		s32				level;
		ToolM4Escape	escape;
	} cases[] = {
		{ true, 0, 0, 28, TOOL_M4_ESCAPE_LEVEL },
		{ true, 0, 0, -54, TOOL_M4_ESCAPE_LEVEL },
		{ true, 1, 1, 6, TOOL_M4_ESCAPE_LEVEL },
		{ false, 0, 0, 13, TOOL_M4_ESCAPE_LEVEL },
		{ false, 1, 0, -4, TOOL_M4_ESCAPE_LEVEL },
		{ true, 0, 15, 1, TOOL_M4_ESCAPE_RUN },
		{ true, 1, 21, -1, TOOL_M4_ESCAPE_RUN },
		{ false, 0, 27, 1, TOOL_M4_ESCAPE_RUN },
		{ false, 1, 41, -1, TOOL_M4_ESCAPE_RUN },
		{ false, 0, 12, 2, TOOL_M4_ESCAPE_LEVEL },
		{ true, 0, 0, 2047, TOOL_M4_ESCAPE_FIXED },
		{ true, 1, 0, -2047, TOOL_M4_ESCAPE_FIXED },
		{ false, 0, 63, 1, TOOL_M4_ESCAPE_FIXED },
		{ false, 1, 63, -2047, TOOL_M4_ESCAPE_FIXED },
		{ true, 0, 30, 9, TOOL_M4_ESCAPE_FIXED },
	};
	for ( const auto& c : cases ) {
		ToolBitWriter writer;
		ToolM4Escape escape = TOOL_M4_ESCAPE_NONE;
		ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, c.intra, c.last, c.run, c.level, &escape ) );
		EXPECT_EQ( escape, c.escape ) << c.run << " " << c.level;
		if ( c.last == 0 ) {
			ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, c.intra, 1, 0, 1 ) );
		}
		const u32 bits = static_cast<u32>( writer.BitCount() );
		Reader r( writer );
		s16 block[64] = {};
		const M4CoefficientTables& tables = c.intra ? r.parser.mVlc.intraTables() : r.parser.mVlc.interTables();
		M4DecodeIntraBlock( &r.bs, block, 0, tables, scan.data() );
		EXPECT_EQ( block[c.run], c.level ) << "run " << c.run << " level " << c.level;
		EXPECT_EQ( r.Position(), bits ) << "run " << c.run << " level " << c.level;
	}
}

TEST( M4VlcDecoder, EscapeLimitsAgreeWithTheCodeLists ) {
	for ( const bool intra : { true, false } ) {
		const u32 set = intra ? 0 : 1;
		for ( u32 last = 0; last < 2; last++ ) {
			for ( u32 run = 0; run < M4_MAX_RUNS; run++ ) {
				EXPECT_EQ( M4VlcDecoder::mMaxLevel[set][last][run], ToolM4CodeWriter::MaxLevel( intra, last, run ) )
					<< ( intra ? "intra" : "inter" ) << " last " << last << " run " << run;
			}
			for ( u32 level = 1; level < M4_MAX_LEVELS; level++ ) {
				EXPECT_EQ( M4VlcDecoder::mMaxRun[set][last][level], ToolM4CodeWriter::MaxRun( intra, last, level ) )
					<< ( intra ? "intra" : "inter" ) << " last " << last << " level " << level;
			}
		}
	}
}

TEST( M4VlcDecoder, PinnedCodesDecodeAsTheStandardPrintsThem ) {
	// Written from the printed tables by hand, independently of both
	// transcriptions.
	enum Reader_ { MCBPC_I, MCBPC_P, CBPY_I, CBPY_P, DC_LUM, DC_CHROM, MV, TCOEF_I, TCOEF_P };
	const struct {
		Reader_		reader;
		u32			code;
		u32			bits;
		s32			value;
	} cases[] = {
		{ MCBPC_I, 0x1, 4, 0x04 },			// 0001: intra+q, cbpc 0
		{ MCBPC_I, 0x3, 6, 0x34 },			// 0000 11
		{ MCBPC_P, 0x03, 7, 0x33 },			// 0000 011: intra, cbpc 3
		{ MCBPC_P, 0x05, 8, 0x32 },			// 0000 0101: inter4v, cbpc 3
		{ CBPY_I, 0x3, 2, 15 },				// 11
		{ CBPY_I, 0x2, 6, 6 },				// 0000 10
		{ CBPY_P, 0x3, 2, 0 },
		{ DC_LUM, 0x3, 3, 0 },				// 011
		{ DC_LUM, 0x001, 11, 12 },
		{ DC_CHROM, 0x001, 12, 12 },
		{ DC_CHROM, 0x1, 2, 2 },			// 01
		{ MV, 0x0005, 13, -32 },			// 0000 0000 0010 1
		{ MV, 0x000E, 12, 25 },				// 0000 0000 1110
		{ MV, 0x3, 3, -1 },					// 011
		{ TCOEF_I, 0x0A4, 13, 27 },			// 0000 0101 0010 0: 0 0 27
		{ TCOEF_I, 0x1D, 5, -1 },			// 1110 1: run 1
		{ TCOEF_P, 0x0BF, 13, -1 },			// 0000 0101 1111 1: last 1 run 40
		{ TCOEF_P, 0x0C, 4, 1 },			// 110 0: run 1
	};
	const std::vector<u8> scan = IdentityScan();
	for ( const auto& c : cases ) {
		ToolBitWriter writer;
		writer.Write( c.code, c.bits );
		if ( c.reader == TCOEF_I || c.reader == TCOEF_P ) {
			// A terminating code (last 1, run 0, level 1), unless the
			// pinned code is the last.
			writer.Write( 0b01110, 5 );
		}
		Reader r( writer );
		s32 value = 0;
		u32 consumed = c.bits;
		switch ( c.reader ) {
		case MCBPC_I: value = static_cast<s32>( r.parser.getCbpCIntra() ); break;
		case MCBPC_P: value = static_cast<s32>( r.parser.getCbpCInter() ); break;
		case CBPY_I: value = static_cast<s32>( r.parser.getCbpy( true ) ); break;
		case CBPY_P: value = static_cast<s32>( r.parser.getCbpy( false ) ); break;
		case DC_LUM: value = static_cast<s32>( r.parser.getDCSize( true ) ); break;
		case DC_CHROM: value = static_cast<s32>( r.parser.getDCSize( false ) ); break;
		case MV: value = r.parser.getMv( 1 ); break;
		case TCOEF_I:
		case TCOEF_P: {
			s16 block[64] = {};
			const bool intra = c.reader == TCOEF_I;
			M4DecodeInterBlock( &r.bs, block, intra ? r.parser.mVlc.intraTables() : r.parser.mVlc.interTables(), scan.data() );
			const u32 run = c.code == 0x0BF ? 40 : ( c.code == 0x1D || c.code == 0x0C ? 1 : 0 );
			value = block[run];
			consumed = c.code == 0x0BF ? c.bits : c.bits + 5;
			break;
		}
		}
		EXPECT_EQ( value, c.value ) << "code 0x" << std::hex << c.code;
		EXPECT_EQ( r.Position(), consumed ) << "code 0x" << std::hex << c.code;
	}
}

TEST( M4VlcDecoder, ReadsBMacroblockTypesAndWritesQuantiserChanges ) {
	for ( u32 type = 0; type <= 4; type++ ) {
		ToolBitWriter writer;
		ASSERT_TRUE( ToolM4CodeWriter::WriteBType( writer, type ) );
		const u32 bits = static_cast<u32>( writer.BitCount() );
		Reader r( writer );
		EXPECT_EQ( r.parser.getMBType(), type );
		EXPECT_EQ( r.Position(), bits );
		EXPECT_EQ( bits, type < 4 ? type + 1 : 4 );
	}
	const struct {
		s32 change;
		u32 code;
		u32 bits;
	} changes[] = { { 0, 0, 1 }, { -2, 2, 2 }, { 2, 3, 2 } };
	for ( const auto& c : changes ) {
		ToolBitWriter writer;
		ASSERT_TRUE( ToolM4CodeWriter::WriteBQuantChange( writer, c.change ) );
		EXPECT_EQ( writer.BitCount(), c.bits );
		const std::vector<u8> bytes = writer.Finish();
		EXPECT_EQ( static_cast<u32>( bytes[0] >> ( 8 - c.bits ) ), c.code );
	}
	ToolBitWriter writer;
	EXPECT_FALSE( ToolM4CodeWriter::WriteBQuantChange( writer, 1 ) );
	EXPECT_FALSE( ToolM4CodeWriter::WriteBType( writer, 5 ) );
}

TEST( M4VlcDecoder, BlocksEndOnCorruptRunsAndZeroTails ) {
	const std::vector<u8> scan = IdentityScan();
	// A run that carries the position to 71 stores nothing more, but the
	// codes up to the last one are still read.
	{
		ToolBitWriter writer;
		ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, false, 0, 40, 5 ) );
		ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, false, 0, 30, 7 ) );
		ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, false, 1, 2, 9 ) );
		const u32 bits = static_cast<u32>( writer.BitCount() );
		Reader r( writer );
		s16 block[64] = {};
		M4DecodeInterBlock( &r.bs, block, r.parser.mVlc.interTables(), scan.data() );
		EXPECT_EQ( block[40], 5 );
		for ( u32 i = 0; i < 64; i++ ) {
			if ( i != 40 ) {
				EXPECT_EQ( block[i], 0 ) << i;
			}
		}
		EXPECT_EQ( r.Position(), bits );
	}
	// Codes without a last one, then the end of the frame: the zeros past
	// the end start no code and end the block.
	const struct {
		u32 zeroBytes;
		u32 codes;
	} tails[] = { { 0, 3 }, { 8, 1 }, { 64, 0 } };
	for ( const auto& t : tails ) {
		ToolBitWriter writer;
		for ( u32 i = 0; i < t.codes; i++ ) {
			ASSERT_TRUE( ToolM4CodeWriter::WriteCoefficient( writer, true, 0, 0, 1 ) );
		}
		for ( u32 i = 0; i < t.zeroBytes; i++ ) {
			writer.Write( 0, 8 );
		}
		std::vector<u8> bytes = writer.Finish();
		M4TestInstallHooks( false );
		M4Bitstream bs;
		M4BitstreamInit( &bs, bytes.data(), static_cast<u32>( bytes.size() ) );
		M4BitstreamParser parser;
		ASSERT_TRUE( parser.init( &bs, 16, 16 ) );
		s16 block[64] = {};
		M4DecodeIntraBlock( &bs, block, 1, parser.mVlc.intraTables(), scan.data() );
		for ( u32 i = 0; i < t.codes; i++ ) {
			EXPECT_EQ( block[1 + i], 1 );
		}
		EXPECT_LE( M4BitstreamPosition( &bs ), bytes.size() * 8 + 12 );
		parser.destroy();
	}
}
