#include "RwTestChunks.h"

#include <bit>
#include <cstring>
#include <string>

namespace {

typedef RwStartedTestCase RwStreamDataTest;

TEST_F( RwStreamDataTest, TypedWritesGiveLittleEndianBytesAndLeaveTheCallersDataAlone ) {
	const u32 words[] = { 0x11223344, 0xA0B0C0D0 };
	const u16 halfwords[] = { 0x1122, 0xA0B0, 0x0001 };
	const f32 reals[] = { 1.0f, -2.5f };
	struct Case {
		const char*	name;
		const void*	data;
		u32			bytes;
		RwStream*	( *write )( RwStream*, const void*, u32 );
		RwTestBytes	expected;
	};
	const Case cases[] = {
		{ "int32", words, sizeof( words ), RwStreamWriteInt32, { 0x44, 0x33, 0x22, 0x11, 0xD0, 0xC0, 0xB0, 0xA0 } },
		{ "int16", halfwords, sizeof( halfwords ), RwStreamWriteInt16, { 0x22, 0x11, 0xB0, 0xA0, 0x01, 0x00 } },
		{ "real", reals, sizeof( reals ),
		  []( RwStream* s, const void* d, u32 n ) { return RwStreamWriteReal( s, static_cast<const f32*>( d ), n ); },
		  { 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x20, 0xC0 } },
	};
	for ( const Case& c : cases ) {
		RwTestBytes before( static_cast<const u8*>( c.data ), static_cast<const u8*>( c.data ) + c.bytes );
		const RwTestBytes written = RwTestWrite( [&]( RwStream* s ) { return c.write( s, c.data, c.bytes ) != nullptr; } );
		EXPECT_EQ( written, c.expected ) << c.name;
		EXPECT_EQ( RwTestBytes( static_cast<const u8*>( c.data ), static_cast<const u8*>( c.data ) + c.bytes ), before ) << c.name;
	}
}

TEST_F( RwStreamDataTest, TypedWritesLongerThanTheStagingBufferGoOutWhole ) {
	std::vector<u32> words( 200 );
	for ( u32 i = 0; i < words.size(); i++ ) {
		words[i] = i * 0x01010101u;
	}
	const RwTestBytes written = RwTestWrite( [&]( RwStream* s ) {
		return RwStreamWriteInt32( s, words.data(), static_cast<u32>( words.size() * 4 ) ) != nullptr;
	} );
	ASSERT_EQ( written.size(), 800u );
	RwStream* const stream = RwTestOpenRead( written );
	std::vector<u32> back( 200 );
	ASSERT_EQ( RwStreamReadInt32( stream, back.data(), 800 ), stream );
	EXPECT_EQ( back, words );
	RwStreamClose( stream, nullptr );
}

TEST_F( RwStreamDataTest, TypedReadsDecodeLittleEndianWords ) {
	const RwTestBytes bytes = { 0x00, 0x00, 0x80, 0x3F, 0x78, 0x56, 0x34, 0x12 };
	RwStream* const stream = RwTestOpenRead( bytes );
	f32 real = 0.0f;
	u32 word = 0;
	ASSERT_EQ( RwStreamReadReal( stream, &real, 4 ), stream );
	ASSERT_EQ( RwStreamReadInt32( stream, &word, 4 ), stream );
	EXPECT_EQ( real, 1.0f );
	EXPECT_EQ( word, 0x12345678u );
	RwStreamClose( stream, nullptr );
}

TEST_F( RwStreamDataTest, ATypedReadThatComesUpShortFailsForBothReaders ) {
	const RwTestBytes bytes = { 1, 0, 0, 0, 2, 0 };
	for ( const bool real : { false, true } ) {
		RwStream* const stream = RwTestOpenRead( bytes );
		u32 words[2] = { 0xEEEEEEEE, 0xEEEEEEEE };
		RwStream* const result = real ? RwStreamReadReal( stream, reinterpret_cast<f32*>( words ), 8 )
									  : RwStreamReadInt32( stream, words, 8 );
		EXPECT_EQ( result, nullptr ) << real;
		// The memory stream's own error comes first.
		EXPECT_EQ( RwTestReadError().errorCode, RWERR_END_OF_STREAM );
		RwStreamClose( stream, nullptr );
	}
}

TEST_F( RwStreamDataTest, MemoryConversionsDecodeAndEncodeInPlace ) {
	u8 bytes[] = { 0x44, 0x33, 0x22, 0x11, 0x22, 0x11, 0xFF };
	RwMemNative32( bytes, 4 );
	u32 word;
	std::memcpy( &word, bytes, 4 );
	EXPECT_EQ( word, 0x11223344u );
	RwMemLittleEndian32( bytes, 4 );
	EXPECT_EQ( bytes[0], 0x44 );
	EXPECT_EQ( bytes[3], 0x11 );
	RwMemNative16( bytes + 4, 3 );
	u16 half;
	std::memcpy( &half, bytes + 4, 2 );
	EXPECT_EQ( half, 0x1122 );
	EXPECT_EQ( bytes[6], 0xFF );
	const f32 real = 3.25f;
	f32 copy = real;
	RwMemRealToFloat32( &copy, 4 );
	RwMemFloat32ToReal( &copy, 4 );
	EXPECT_EQ( std::bit_cast<u32>( copy ), std::bit_cast<u32>( real ) );
}

RwTestBytes Text( const std::string& text ) {
	return RwTestBytes( text.begin(), text.end() );
}

RwTestBytes Unicode( const std::u16string& text ) {
	RwTestBytes bytes;
	for ( const char16_t unit : text ) {
		bytes.push_back( static_cast<u8>( unit & 0xFF ) );
		bytes.push_back( static_cast<u8>( unit >> 8 ) );
	}
	return bytes;
}

TEST_F( RwStreamDataTest, StringChunksReadIntoTheNameBuffer ) {
	struct Case {
		const char*	name;
		RwTestBytes	data;
		const char*	expected;
	};
	const Case cases[] = {
		{ "string", RwTestChunk( rwID_STRING, Text( std::string( "wheel", 6 ) ) ), "wheel" },
		{ "unicode low bytes", RwTestChunk( rwID_UNICODESTRING, Unicode( u"d\u0141oor" ) ), "dAoor" },
		{ "after other chunks", RwTestConcat( { RwTestChunk( rwID_STRUCT, RwTestWords( { 1 } ) ),
												RwTestChunk( rwID_STRING, Text( std::string( "a", 2 ) ) ) } ), "a" },
		{ "unterminated", RwTestChunk( rwID_STRING, Text( "abc" ) ), "abc" },
		{ "odd unicode byte", RwTestChunk( rwID_UNICODESTRING, RwTestConcat( { Unicode( u"xy" ), { 'z' } } ) ), "xy" },
	};
	for ( const Case& c : cases ) {
		const RwTestBytes data = RwTestConcat( { c.data, RwTestWords( { 0x5A5A5A5A } ) } );
		RwStream* const stream = RwTestOpenRead( data );
		char buffer[RWSTRING_BUFFER_BYTES];
		std::memset( buffer, 'q', sizeof( buffer ) );
		EXPECT_EQ( _rwStringStreamFindAndRead( buffer, stream ), buffer ) << c.name;
		EXPECT_STREQ( buffer, c.expected ) << c.name;
		EXPECT_EQ( RwTestReadPosition( stream ), data.size() - 4 ) << c.name;
		RwStreamClose( stream, nullptr );
	}
}

TEST_F( RwStreamDataTest, ALongNameIsCutToTheBufferAndTheStreamStaysInStep ) {
	const std::string longName( 200, 'n' );
	for ( const u32 type : { rwID_STRING, rwID_UNICODESTRING } ) {
		const RwTestBytes payload = type == rwID_STRING ? Text( longName + '\0' )
														: Unicode( std::u16string( 200, u'n' ) + u'\0' );
		const RwTestBytes data = RwTestConcat( { RwTestChunk( type, payload ), RwTestChunk( rwID_STRUCT, RwTestWords( { 42 } ) ) } );
		RwStream* const stream = RwTestOpenRead( data );
		char buffer[RWSTRING_BUFFER_BYTES + 8];
		std::memset( buffer, 'g', sizeof( buffer ) );
		ASSERT_EQ( _rwStringStreamFindAndRead( buffer, stream ), buffer );
		EXPECT_EQ( std::string( buffer ), std::string( RWSTRING_BUFFER_BYTES - 1, 'n' ) );
		// Nothing is written past the 128 bytes.
		EXPECT_EQ( buffer[RWSTRING_BUFFER_BYTES], 'g' );
		u32 word = 0;
		EXPECT_TRUE( RwStreamFindChunk( stream, rwID_STRUCT, nullptr, nullptr ) );
		EXPECT_EQ( RwStreamReadInt32( stream, &word, 4 ), stream );
		EXPECT_EQ( word, 42u );
		RwStreamClose( stream, nullptr );
	}
}

TEST_F( RwStreamDataTest, WithoutABufferTheReaderAllocatesTheWholeStringAndTerminatesIt ) {
	const std::string longName( 300, 'm' );
	for ( const u32 type : { rwID_STRING, rwID_UNICODESTRING } ) {
		const RwTestBytes payload = type == rwID_STRING ? Text( longName ) : Unicode( std::u16string( 300, u'm' ) );
		const RwTestBytes data = RwTestChunk( type, payload );
		RwStream* const stream = RwTestOpenRead( data );
		char* const name = _rwStringStreamFindAndRead( nullptr, stream );
		ASSERT_NE( name, nullptr );
		EXPECT_EQ( std::string( name ), longName );
		RwEngineInstance->memoryFunctions.rwfree( name );
		RwStreamClose( stream, nullptr );
	}
}

TEST_F( RwStreamDataTest, StringReadsFailOnBadVersionsAndCutPayloads ) {
	RwTestBytes cut = RwTestChunk( rwID_UNICODESTRING, Unicode( u"abcdef" ) );
	cut.resize( cut.size() - 3 );
	struct Case {
		const char*	name;
		RwTestBytes	data;
		bool		allocate;
		u32			error;
	};
	const Case cases[] = {
		{ "old skipped chunk", RwTestConcat( { RwTestChunk( rwID_STRUCT, {}, 0x30000 ), RwTestChunk( rwID_STRING, Text( "a" ) ) } ),
		  false, RWERR_BAD_VERSION },
		{ "new string", RwTestChunk( rwID_STRING, Text( "a" ), 0x35000 ), false, RWERR_BAD_VERSION },
		{ "cut into a buffer", cut, false, RWERR_END_OF_STREAM },
		{ "cut into an allocation", cut, true, RWERR_END_OF_STREAM },
		{ "no string", RwTestChunk( rwID_STRUCT, {} ), false, RWERR_END_OF_STREAM },
	};
	for ( const Case& c : cases ) {
		RwStream* const stream = RwTestOpenRead( c.data );
		char buffer[RWSTRING_BUFFER_BYTES];
		EXPECT_EQ( _rwStringStreamFindAndRead( c.allocate ? nullptr : buffer, stream ), nullptr ) << c.name;
		EXPECT_EQ( RwTestReadError().errorCode, c.error ) << c.name;
		RwStreamClose( stream, nullptr );
	}
}

}	// namespace
