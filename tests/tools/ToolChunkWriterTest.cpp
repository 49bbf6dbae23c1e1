#include "tools/lib/ToolChunkWriter.h"

#include "ToolTestHex.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The library's own decoding of a stamp, written out independently of the
// writer: stamps of 0xFFFF or less are old stamps holding version >> 8.
void DecodeStamp( const u32 stamp, u32& version, u32& build ) {
	if ( stamp <= 0xFFFF ) {
		version = stamp << 8;
		build	= 0;
		return;
	}
	version = ( ( stamp >> 14 ) & 0x3FF00 ) + 0x30000 + ( ( stamp >> 16 ) & 0x3F );
	build	= stamp & 0xFFFF;
}

std::vector<u8> Finished( ToolChunkWriter& writer ) {
	std::vector<u8> out;
	EXPECT_TRUE( writer.Finish( out ) );
	return out;
}

} // namespace

TEST( ToolChunkWriter, EncodesLibraryStampsThatDecodeToTheirVersionAndBuild ) {
	const struct {
		u32 version;
		u32 build;
		u32 stamp;
	} cases[] = {
		{ 0x34003, 0xFFFF, 0x1003FFFF },
		{ 0x31000, 0x0000, 0x04000000 },
		{ 0x33002, 0x1234, 0x0C021234 },
		{ 0x3FF3F, 0x0001, 0x3FFF0001 },
		{ 0x30000, 0x0000, 0x00000000 },
	};
	for ( const auto& c : cases ) {
		EXPECT_EQ( ToolChunkWriter::EncodeStamp( c.version, c.build ), c.stamp ) << std::hex << c.version;
		if ( c.stamp > 0xFFFF ) {
			u32 version = 0;
			u32 build	= 0;
			DecodeStamp( c.stamp, version, build );
			EXPECT_EQ( version, c.version ) << std::hex << c.version;
			EXPECT_EQ( build, c.build ) << std::hex << c.version;
		}
	}
}

TEST( ToolChunkWriter, WritesNestedChunksWithPatchedLittleEndianLengths ) {
	ToolChunkWriter writer;
	writer.BeginChunk( 0x10 );
	writer.BeginChunk( TOOL_CHUNK_STRUCT );
	writer.WriteU32( 0x11223344 );
	EXPECT_TRUE( writer.EndChunk() );
	EXPECT_TRUE( writer.WriteStringChunk( "ab" ) );
	writer.BeginChunk( TOOL_CHUNK_EXTENSION );
	EXPECT_TRUE( writer.EndChunk() );
	EXPECT_EQ( writer.OpenChunkCount(), 1u );
	EXPECT_TRUE( writer.EndChunk() );

	// The outer length covers both children with their headers: 16 + 15 + 12.
	const char* expected = "10 00 00 00 | 2B 00 00 00 | FF FF 03 10"
						   "  01 00 00 00 | 04 00 00 00 | FF FF 03 10 | 44 33 22 11"
						   "  02 00 00 00 | 03 00 00 00 | FF FF 03 10 | 61 62 00"
						   "  03 00 00 00 | 00 00 00 00 | FF FF 03 10";
	EXPECT_EQ( ToolTestToHex( Finished( writer ) ), ToolTestToHex( ToolTestHex( expected ) ) );
}

TEST( ToolChunkWriter, WritesPayloadNumbersLeastSignificantByteFirst ) {
	const struct {
		const char* what;
		void ( *write )( ToolChunkWriter& );
		const char* payload;
	} cases[] = {
		{ "u32", []( ToolChunkWriter& w ) { w.WriteU32( 0x01020304 ); }, "04 03 02 01" },
		{ "s32", []( ToolChunkWriter& w ) { w.WriteS32( -2 ); }, "FE FF FF FF" },
		{ "f32", []( ToolChunkWriter& w ) { w.WriteF32( 1.0f ); }, "00 00 80 3F" },
		{ "u16", []( ToolChunkWriter& w ) { w.WriteU16( 0x1234 ); }, "34 12" },
		{ "bytes stay in order",
		  []( ToolChunkWriter& w ) {
			  const u8 raw[] = { 1, 2, 3 };
			  w.WriteBytes( raw );
		  },
		  "01 02 03" },
	};
	for ( const auto& c : cases ) {
		ToolChunkWriter writer;
		writer.BeginChunk( TOOL_CHUNK_STRUCT );
		c.write( writer );
		EXPECT_TRUE( writer.EndChunk() );
		const std::vector<u8> image	  = Finished( writer );
		const std::vector<u8> payload = ToolTestHex( c.payload );
		ASSERT_EQ( image.size(), TOOL_CHUNK_HEADER_SIZE + payload.size() ) << c.what;
		EXPECT_EQ( image[4], payload.size() ) << c.what;
		EXPECT_EQ( ToolTestToHex( std::vector<u8>( image.begin() + TOOL_CHUNK_HEADER_SIZE, image.end() ) ),
				   ToolTestToHex( payload ) )
			<< c.what;
	}
}

TEST( ToolChunkWriter, StoresAStampGivenAsItIs ) {
	ToolChunkWriter writer;
	writer.BeginChunkStamped( 0x18, 0x310 );
	writer.WriteU16( 0 );
	EXPECT_TRUE( writer.EndChunk() );
	EXPECT_EQ( ToolTestToHex( Finished( writer ) ), "18 00 00 00 02 00 00 00 10 03 00 00 00 00" );
}

TEST( ToolChunkWriter, RefusesUnbalancedChunksAndKeepsItsState ) {
	ToolChunkWriter writer;
	std::vector<u8> out = { 0x99 };
	EXPECT_FALSE( writer.EndChunk() );

	writer.BeginChunk( 0x05 );
	writer.BeginChunk( 0x01 );
	EXPECT_FALSE( writer.Finish( out ) );
	EXPECT_EQ( ToolTestToHex( out ), "99" );
	EXPECT_EQ( writer.OpenChunkCount(), 2u );

	EXPECT_TRUE( writer.EndChunk() );
	EXPECT_TRUE( writer.EndChunk() );
	EXPECT_FALSE( writer.EndChunk() );
	EXPECT_TRUE( writer.Finish( out ) );
	EXPECT_EQ( out.size(), 2 * TOOL_CHUNK_HEADER_SIZE );
	EXPECT_EQ( writer.Size(), 0u );
}

TEST( ToolChunkWriter, RefusesAStringChunkWithAnEmbeddedZeroAndWritesNothing ) {
	ToolChunkWriter writer;
	writer.BeginChunk( 0x05 );
	EXPECT_FALSE( writer.WriteStringChunk( std::string_view( "a\0b", 3 ) ) );
	EXPECT_EQ( writer.Size(), TOOL_CHUNK_HEADER_SIZE );
	EXPECT_EQ( writer.OpenChunkCount(), 1u );
	EXPECT_TRUE( writer.WriteStringChunk( "" ) );
	EXPECT_TRUE( writer.EndChunk() );
	EXPECT_EQ( ToolTestToHex( Finished( writer ) ),
			   "05 00 00 00 0D 00 00 00 FF FF 03 10 02 00 00 00 01 00 00 00 FF FF 03 10 00" );
}
