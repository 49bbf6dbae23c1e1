#include "tools/lib/ToolBigEndianWriter.h"

#include "ToolTestHex.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

struct WriteCase {
	const char*								  what;
	std::function<void( ToolBigEndianWriter& )> write;
	const char*								  expected;
};

void ExpectCases( const std::vector<WriteCase>& cases ) {
	for ( const WriteCase& c : cases ) {
		ToolBigEndianWriter writer;
		c.write( writer );
		EXPECT_EQ( ToolTestToHex( writer.Bytes() ), ToolTestToHex( ToolTestHex( c.expected ) ) ) << c.what;
	}
}

} // namespace

TEST( ToolBigEndianWriter, WritesScalarFieldsMostSignificantByteFirst ) {
	ExpectCases( {
		{ "u8", []( ToolBigEndianWriter& w ) { w.WriteU8( 0xA5 ); }, "A5" },
		{ "s8", []( ToolBigEndianWriter& w ) { w.WriteS8( -2 ); }, "FE" },
		{ "u16", []( ToolBigEndianWriter& w ) { w.WriteU16( 0x1234 ); }, "12 34" },
		{ "s16", []( ToolBigEndianWriter& w ) { w.WriteS16( -32768 ); }, "80 00" },
		{ "u32", []( ToolBigEndianWriter& w ) { w.WriteU32( 0x789ABCDE ); }, "78 9A BC DE" },
		{ "s32", []( ToolBigEndianWriter& w ) { w.WriteS32( -2 ); }, "FF FF FF FE" },
		{ "u64", []( ToolBigEndianWriter& w ) { w.WriteU64( 0x0123456789ABCDEFull ); }, "01 23 45 67 89 AB CD EF" },
		{ "s64", []( ToolBigEndianWriter& w ) { w.WriteS64( -1 ); }, "FF FF FF FF FF FF FF FF" },
		{ "f32", []( ToolBigEndianWriter& w ) { w.WriteF32( 1.0f ); }, "3F 80 00 00" },
		{ "f32 negative", []( ToolBigEndianWriter& w ) { w.WriteF32( -12.5f ); }, "C1 48 00 00" },
		{ "f64", []( ToolBigEndianWriter& w ) { w.WriteF64( -2.5 ); }, "C0 04 00 00 00 00 00 00" },
		{ "fields follow each other without padding",
		  []( ToolBigEndianWriter& w ) {
			  w.WriteU8( 1 );
			  w.WriteU32( 2 );
			  w.WriteU16( 3 );
		  },
		  "01 | 00 00 00 02 | 00 03" },
		{ "raw bytes and zeros",
		  []( ToolBigEndianWriter& w ) {
			  const u8 raw[] = { 0xDE, 0xAD };
			  w.WriteBytes( raw );
			  w.WriteZeros( 3 );
			  w.WriteBytes( {} );
		  },
		  "DE AD 00 00 00" },
	} );
}

TEST( ToolBigEndianWriter, WritesStoredStringsWithLengthTextAndTerminatingZero ) {
	ExpectCases( {
		{ "empty", []( ToolBigEndianWriter& w ) { EXPECT_TRUE( w.WriteString( "" ) ); }, "00 00 00 01 | 00" },
		{ "two letters", []( ToolBigEndianWriter& w ) { EXPECT_TRUE( w.WriteString( "hi" ) ); },
		  "00 00 00 03 | 68 69 00" },
		{ "high characters stay bytes", []( ToolBigEndianWriter& w ) { EXPECT_TRUE( w.WriteString( "\xE9" ) ); },
		  "00 00 00 02 | E9 00" },
		{ "a field after a string",
		  []( ToolBigEndianWriter& w ) {
			  EXPECT_TRUE( w.WriteString( "A" ) );
			  w.WriteU16( 0x0102 );
		  },
		  "00 00 00 02 | 41 00 | 01 02" },
	} );

	// The longest string the engine reads whole fills its buffer exactly.
	ToolBigEndianWriter writer;
	EXPECT_TRUE( writer.WriteString( std::string( TOOL_STORED_STRING_MAX - 1, 'x' ) ) );
	ASSERT_EQ( writer.Size(), 4u + TOOL_STORED_STRING_MAX );
	EXPECT_EQ( ToolTestToHex( std::vector<u8>( writer.Bytes().begin(), writer.Bytes().begin() + 4 ) ), "00 00 08 00" );
	EXPECT_EQ( writer.Bytes().back(), 0 );
}

TEST( ToolBigEndianWriter, RefusesStringsTheEngineCannotReadBackAndWritesNothing ) {
	const struct {
		const char* what;
		std::string text;
	} cases[] = {
		{ "one byte too long for the reader's buffer", std::string( TOOL_STORED_STRING_MAX, 'x' ) },
		{ "far too long", std::string( 100000, 'x' ) },
		{ "embedded zero", std::string( "ab\0cd", 5 ) },
		{ "a lone zero", std::string( 1, '\0' ) },
	};
	for ( const auto& c : cases ) {
		ToolBigEndianWriter writer;
		writer.WriteU8( 0x55 );
		EXPECT_FALSE( writer.WriteString( c.text ) ) << c.what;
		EXPECT_EQ( ToolTestToHex( writer.Bytes() ), "55" ) << c.what;

		const std::vector<std::string> array = { "fine", c.text };
		EXPECT_FALSE( writer.WriteStringArray( array ) ) << c.what;
		EXPECT_EQ( ToolTestToHex( writer.Bytes() ), "55" ) << c.what;
	}
}

TEST( ToolBigEndianWriter, WritesCountedArraysAndDataBlocks ) {
	ExpectCases( {
		{ "float array",
		  []( ToolBigEndianWriter& w ) {
			  const f32 values[] = { 1.0f, -2.0f };
			  w.WriteFloatArray( values );
		  },
		  "00 00 00 02 | 3F 80 00 00 | C0 00 00 00" },
		{ "long array",
		  []( ToolBigEndianWriter& w ) {
			  const s32 values[] = { 7, -1, 0x01020304 };
			  w.WriteLongArray( values );
		  },
		  "00 00 00 03 | 00 00 00 07 | FF FF FF FF | 01 02 03 04" },
		{ "empty arrays hold only their count",
		  []( ToolBigEndianWriter& w ) {
			  w.WriteFloatArray( {} );
			  w.WriteLongArray( {} );
			  EXPECT_TRUE( w.WriteStringArray( {} ) );
		  },
		  "00 00 00 00 | 00 00 00 00 | 00 00 00 00" },
		{ "string array",
		  []( ToolBigEndianWriter& w ) {
			  const std::vector<std::string> texts = { "a", "" };
			  EXPECT_TRUE( w.WriteStringArray( texts ) );
		  },
		  "00 00 00 02 | 00 00 00 02 61 00 | 00 00 00 01 00" },
		{ "data block",
		  []( ToolBigEndianWriter& w ) {
			  const u8 block[] = { 0xAA, 0xBB, 0xCC };
			  EXPECT_TRUE( w.WriteDataBlock( block ) );
		  },
		  "00 00 00 03 | AA BB CC" },
		{ "empty data block", []( ToolBigEndianWriter& w ) { EXPECT_TRUE( w.WriteDataBlock( {} ) ); },
		  "00 00 00 00" },
	} );
}

TEST( ToolBigEndianWriter, PadsWithZerosToAPowerOfTwoAlignment ) {
	const struct {
		size_t written;
		u32	   alignment;
		bool   accepted;
		size_t sizeAfter;
	} cases[] = {
		{ 0, 4, true, 0 },	 { 1, 4, true, 4 },	 { 4, 4, true, 4 },	  { 5, 32, true, 32 },
		{ 33, 32, true, 64 }, { 3, 1, true, 3 },	 { 3, 0, false, 3 },  { 3, 3, false, 3 },
		{ 3, 12, false, 3 },  { 9, 0xFFFFFFFFu, false, 9 },
	};
	for ( const auto& c : cases ) {
		ToolBigEndianWriter writer;
		writer.WriteZeros( c.written );
		EXPECT_EQ( writer.AlignTo( c.alignment ), c.accepted ) << c.written << " to " << c.alignment;
		EXPECT_EQ( writer.Size(), c.sizeAfter ) << c.written << " to " << c.alignment;
	}

	ToolBigEndianWriter writer;
	writer.WriteU8( 0xFF );
	writer.AlignTo( 4 );
	writer.WriteU8( 0xEE );
	EXPECT_EQ( ToolTestToHex( writer.Bytes() ), "FF 00 00 00 EE" );
}

TEST( ToolBigEndianWriter, PatchesASizeFieldWrittenEarlier ) {
	ToolBigEndianWriter writer;
	writer.WriteU32( 0xCAFEF00D );
	const size_t field = writer.ReserveU32();
	const size_t start = writer.Size();
	EXPECT_TRUE( writer.WriteString( "abc" ) );
	writer.WriteU16( 9 );
	EXPECT_TRUE( writer.PatchSizeSince( field, start ) );
	EXPECT_EQ( ToolTestToHex( writer.Bytes() ),
			   ToolTestToHex( ToolTestHex( "CA FE F0 0D | 00 00 00 0A | 00 00 00 04 61 62 63 00 | 00 09" ) ) );

	EXPECT_TRUE( writer.PatchU32( 0, 0x01020304 ) );
	EXPECT_EQ( ToolTestToHex( std::vector<u8>( writer.Bytes().begin(), writer.Bytes().begin() + 4 ) ),
			   "01 02 03 04" );
}

TEST( ToolBigEndianWriter, RefusesPatchesThatDoNotLieInTheImage ) {
	const struct {
		const char* what;
		size_t		field;
		size_t		from;
	} cases[] = {
		{ "field overlaps the end", 7, 0 },
		{ "field starts at the end", 10, 0 },
		{ "field far past the end", std::numeric_limits<size_t>::max() - 1, 0 },
		{ "measured from past the end", 0, 11 },
	};
	for ( const auto& c : cases ) {
		ToolBigEndianWriter writer;
		writer.WriteZeros( 10 );
		const std::vector<u8> before = writer.Bytes();
		EXPECT_FALSE( writer.PatchSizeSince( c.field, c.from ) ) << c.what;
		EXPECT_FALSE( c.from == 0 && writer.PatchU32( c.field, 0xFFFFFFFF ) ) << c.what;
		EXPECT_EQ( writer.Bytes(), before ) << c.what;
	}
}

TEST( ToolBigEndianWriter, HandsOverItsImageAndStartsAgainEmpty ) {
	ToolBigEndianWriter writer;
	writer.WriteU16( 0xBEEF );
	const std::vector<u8> image = writer.Take();
	EXPECT_EQ( ToolTestToHex( image ), "BE EF" );
	EXPECT_EQ( writer.Size(), 0u );
	writer.WriteU8( 1 );
	EXPECT_EQ( ToolTestToHex( writer.Bytes() ), "01" );
}
