#include "PersistTestDisc.h"
#include "platform/dvd/DVDHost.h"

#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "tools/lib/ToolBigEndianWriter.h"

#include <bit>
#include <cmath>
#include <functional>
#include <memory>

namespace {

// Loads one field and hands back its bits, zero-extended.
typedef std::function<s32( DTBasePersistStream&, u64& )> FieldLoader;

template <class T>
FieldLoader LoadBitsOf() {
	return []( DTBasePersistStream& stream, u64& bits ) {
		T value {};
		const s32 result = stream.LoadData( value );
		if constexpr ( sizeof( T ) == 1 ) {
			bits = static_cast<u8>( value );
		} else if constexpr ( sizeof( T ) == 2 ) {
			bits = static_cast<u16>( value );
		} else if constexpr ( std::is_same_v<T, f32> ) {
			bits = std::bit_cast<u32>( value );
		} else if constexpr ( sizeof( T ) == 4 ) {
			bits = static_cast<u32>( value );
		} else {
			bits = static_cast<u64>( value );
		}
		return result;
	};
}

// A stream that keeps what reaches SaveBinaryData.
class SaveRecorder : public DTBinaryPersistStream {
public:
	std::vector<std::vector<u8>> saved;

	s32 SaveBinaryData( const char* data, const s32 size ) override {
		saved.emplace_back( data, data + size );
		return DT_PERSIST_OK;
	}

	void SwapOnSave() { miType |= DT_PERSIST_TYPE_SWAP_ON_SAVE; }
};

} // namespace

class DTBinaryPersistStreamTest : public PersistTestDisc {
protected:
	// Runs check over a file stream and a memory stream holding bytes;
	// fromFile tells which one it got.
	void ForBothStreams( const std::vector<u8>& bytes, const std::function<void( DTBasePersistStream&, bool fromFile )>& check ) {
		{
			SCOPED_TRACE( "file stream" );
			DTFileHandle_* file = OpenBytes( bytes );
			ASSERT_NE( file, nullptr );
			DTBinaryPersistStream stream( file );
			check( stream, true );
			DTFclose( file );
		}
		{
			SCOPED_TRACE( "memory stream" );
			std::vector<char> copy( bytes.begin(), bytes.end() );
			DTMemoryPersistStream stream( copy.data(), static_cast<s32>( copy.size() ) );
			check( stream, false );
		}
	}
};

TEST_F( DTBinaryPersistStreamTest, DecodesEveryWidthBigEndian ) {
	struct Case {
		const char*	name;
		const char*	hex;
		FieldLoader	load;
		u64			bits;
	};
	const Case cases[] = {
		{ "char", "41", LoadBitsOf<char>(), 0x41 },
		{ "s8", "FE", LoadBitsOf<s8>(), 0xFE },
		{ "s16", "FF FE", LoadBitsOf<s16>(), 0xFFFE },
		{ "s32", "80 00 00 01", LoadBitsOf<s32>(), 0x80000001 },
		{ "s64", "01 02 03 04 05 06 07 08", LoadBitsOf<s64>(), 0x0102030405060708ull },
		{ "negative s64", "FF FF FF FF FF FF FF FE", LoadBitsOf<s64>(), 0xFFFFFFFFFFFFFFFEull },
		{ "u8", "9C", LoadBitsOf<u8>(), 0x9C },
		{ "u16", "12 34", LoadBitsOf<u16>(), 0x1234 },
		{ "u32", "DE AD BE EF", LoadBitsOf<u32>(), 0xDEADBEEF },
		{ "f32 1.5", "3F C0 00 00", LoadBitsOf<f32>(), 0x3FC00000 },
		{ "f32 -0.0", "80 00 00 00", LoadBitsOf<f32>(), 0x80000000 },
		{ "f32 NaN payload", "7F C1 23 45", LoadBitsOf<f32>(), 0x7FC12345 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		const std::vector<u8> bytes = Hex( c.hex );
		ForBothStreams( bytes, [&]( DTBasePersistStream& stream, bool ) {
			u64 bits = 0;
			EXPECT_EQ( c.load( stream, bits ), DT_PERSIST_OK );
			EXPECT_EQ( bits, c.bits );
			EXPECT_EQ( stream.GetBytesLeft(), 0u );
		} );
	}
}

TEST_F( DTBinaryPersistStreamTest, ReadsARecordWrittenByTheToolWriterFieldByField ) {
	ToolBigEndianWriter writer;
	writer.WriteU32( 0xFFFFFFFF );
	writer.WriteF32( -2.25f );
	writer.WriteS16( -300 );
	writer.WriteString( "level" );
	writer.WriteS64( -5 );
	writer.WriteU8( 7 );
	ForBothStreams( writer.Bytes(), []( DTBasePersistStream& stream, bool ) {
		u32 uid = 0;
		f32 f = 0.0f;
		s16 s = 0;
		char text[16];
		s64 big = 0;
		u8 small = 0;
		EXPECT_EQ( stream.LoadData( uid ), DT_PERSIST_OK );
		EXPECT_EQ( stream.LoadData( f ), DT_PERSIST_OK );
		EXPECT_EQ( stream.LoadData( s ), DT_PERSIST_OK );
		EXPECT_EQ( stream.LoadTextData( text, sizeof( text ) ), DT_PERSIST_OK );
		EXPECT_EQ( stream.LoadData( big ), DT_PERSIST_OK );
		EXPECT_EQ( stream.LoadData( small ), DT_PERSIST_OK );
		EXPECT_EQ( uid, 0xFFFFFFFFu );
		EXPECT_EQ( f, -2.25f );
		EXPECT_EQ( s, -300 );
		EXPECT_STREQ( text, "level" );
		EXPECT_EQ( big, -5 );
		EXPECT_EQ( small, 7 );
	} );
}

TEST_F( DTBinaryPersistStreamTest, AFieldCutShortKeepsItsUnreadBytes ) {
	// Two bytes left for a long: the stored bytes land on the field's high
	// end, as a copy over the big-endian field would put them. The file
	// reports no error, the memory stream does.
	ForBothStreams( Hex( "AA BB" ), []( DTBasePersistStream& stream, const bool fromFile ) {
		s32 value = 0x11223344;
		EXPECT_EQ( stream.LoadData( value ), fromFile ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( static_cast<u32>( value ), 0xAABB3344u );
		f32 untouched = 3.0f;
		EXPECT_EQ( stream.LoadData( untouched ), fromFile ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( untouched, 3.0f );
	} );
}

TEST_F( DTBinaryPersistStreamTest, LoadsStoredStringsWithinTheBuffer ) {
	struct Case {
		const char*	name;
		const char*	hex;		// stored string, then a marker byte 'M'
		s32			max;
		const char*	text;		// the buffer afterwards, read as a C string
		u32			bytesLeft;	// after the string
	};
	const Case cases[] = {
		{ "zero-terminated", "00 00 00 03 68 69 00 4D", 2048, "hi", 1 },
		{ "longer than max", "00 00 00 0A 30 31 32 33 34 35 36 37 38 39 4D", 4, "012", 7 },
		{ "stored without its zero", "00 00 00 02 61 62 4D", 16, "ab", 1 },
		{ "empty", "00 00 00 00 4D", 16, "", 1 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		ForBothStreams( Hex( c.hex ), [&]( DTBasePersistStream& stream, bool ) {
			std::vector<char> buffer( static_cast<size_t>( c.max ), 'Z' );
			EXPECT_EQ( stream.LoadTextData( buffer.data(), c.max ), DT_PERSIST_OK );
			EXPECT_STREQ( buffer.data(), c.text );
			EXPECT_EQ( stream.GetBytesLeft(), c.bytesLeft );
		} );
	}

	// The tail beyond max stays in the stream: the next read starts there.
	ForBothStreams( Hex( "00 00 00 0A 30 31 32 33 34 35 36 37 38 39" ), []( DTBasePersistStream& stream, bool ) {
		char buffer[4];
		EXPECT_EQ( stream.LoadTextData( buffer, sizeof( buffer ) ), DT_PERSIST_OK );
		EXPECT_EQ( stream.GetBytesLeft(), 6u );
		u8 next = 0;
		EXPECT_EQ( stream.LoadData( next ), DT_PERSIST_OK );
		EXPECT_EQ( next, '4' );
	} );
}

TEST_F( DTBinaryPersistStreamTest, HugeOrUnreadableStringLengthsNeverOverrunTheBuffer ) {
	// A length of 0x80000000 is huge, not negative: max bytes at most are
	// read, here fewer remain, and the buffer ends in a terminator.
	std::vector<u8> bytes = Hex( "80 00 00 00" );
	bytes.resize( bytes.size() + 10, 'x' );
	std::vector<char> memory( bytes.begin(), bytes.end() );
	DTMemoryPersistStream stream( memory.data(), static_cast<s32>( memory.size() ) );
	std::vector<char> buffer( 64, 'Z' );
	EXPECT_EQ( stream.LoadTextData( buffer.data(), 64 ), DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( std::string( buffer.data() ), std::string( 10, 'x' ) + std::string( 53, 'Z' ) );
	EXPECT_EQ( stream.GetBytesLeft(), 0u );

	// A maximum of 0 or less reads no byte and writes nothing.
	for ( const s32 max : { 0, -1 } ) {
		SCOPED_TRACE( max );
		ForBothStreams( Hex( "00 00 00 03 68 69 00" ), [&]( DTBasePersistStream& s, bool ) {
			char untouched = 'Z';
			EXPECT_EQ( s.LoadTextData( &untouched, max ), DT_PERSIST_OK );
			EXPECT_EQ( untouched, 'Z' );
			EXPECT_EQ( s.GetBytesLeft(), 3u );
		} );
	}

	// A length that cannot be read is the result.
	char shortData[2] = { 0, 0 };
	DTMemoryPersistStream cut( shortData, sizeof( shortData ) );
	char untouched[4] = { 'Z', 'Z', 'Z', 0 };
	EXPECT_EQ( cut.LoadTextData( untouched, sizeof( untouched ) ), DT_PERSIST_READ_PAST_END );
	EXPECT_STREQ( untouched, "ZZZ" );
}

TEST_F( DTBinaryPersistStreamTest, RefusesANegativeRawReadWithoutMoving ) {
	ForBothStreams( Hex( "01 02 03 04" ), []( DTBasePersistStream& stream, bool ) {
		char buffer[4] = { 'a', 'b', 'c', 'd' };
		EXPECT_EQ( stream.LoadBinaryData( buffer, -1 ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( stream.LoadBinaryData( buffer, 0 ), DT_PERSIST_OK );
		EXPECT_EQ( std::string( buffer, 4 ), "abcd" );
		EXPECT_EQ( stream.GetBytesLeft(), 4u );
	} );
}

TEST_F( DTBinaryPersistStreamTest, AFileReadPastTheEndLoadsAsSuccessAndStopsAtTheEnd ) {
	DTFileHandle_* file = OpenBytes( Hex( "01 02 03" ) );
	ASSERT_NE( file, nullptr );
	DTBinaryPersistStream stream( file );
	char buffer[8] = "ZZZZZZZ";
	EXPECT_EQ( stream.LoadBinaryData( buffer, 7 ), DT_PERSIST_OK );
	EXPECT_EQ( std::string( buffer, 7 ), std::string( "\x01\x02\x03ZZZZ", 7 ) );
	EXPECT_EQ( file->offset, 3u );
	EXPECT_EQ( stream.GetBytesLeft(), 0u );

	// A stream made without a handle reads nothing and reports nothing.
	DTBinaryPersistStream unbound;
	u32 value = 0x12345678;
	EXPECT_EQ( unbound.LoadData( value ), DT_PERSIST_OK );
	EXPECT_EQ( value, 0x12345678u );
	EXPECT_EQ( unbound.GetBytesLeft(), 0u );
}

TEST_F( DTBinaryPersistStreamTest, SavingWritesNothingAndSwapsTwoAndFourByteValuesOnlyWhenAsked ) {
	struct Case {
		const char*							name;
		std::function<s32( SaveRecorder& )>	save;
		const char*							plain;
		const char*							swapped;
	};
	const Case cases[] = {
		{ "char", []( SaveRecorder& s ) { return s.SaveData( static_cast<char>( 'A' ) ); }, "41", "41" },
		{ "s8", []( SaveRecorder& s ) { return s.SaveData( static_cast<s8>( -2 ) ); }, "FE", "FE" },
		{ "s16", []( SaveRecorder& s ) { return s.SaveData( static_cast<s16>( 0x1234 ) ); }, "12 34", "34 12" },
		{ "s32", []( SaveRecorder& s ) { return s.SaveData( static_cast<s32>( 0x01020304 ) ); }, "01 02 03 04", "04 03 02 01" },
		{ "s64", []( SaveRecorder& s ) { return s.SaveData( static_cast<s64>( 0x0102030405060708 ) ); },
		  "01 02 03 04 05 06 07 08", "01 02 03 04 05 06 07 08" },
		{ "u8", []( SaveRecorder& s ) { return s.SaveData( static_cast<u8>( 0x9C ) ); }, "9C", "9C" },
		{ "u16", []( SaveRecorder& s ) { return s.SaveData( static_cast<u16>( 0xABCD ) ); }, "AB CD", "CD AB" },
		{ "u32", []( SaveRecorder& s ) { return s.SaveData( static_cast<u32>( 0xDEADBEEF ) ); }, "DE AD BE EF", "EF BE AD DE" },
		{ "f32", []( SaveRecorder& s ) { return s.SaveData( 1.5f ); }, "3F C0 00 00", "00 00 C0 3F" },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		SaveRecorder plain;
		EXPECT_EQ( c.save( plain ), DT_PERSIST_OK );
		ASSERT_EQ( plain.saved.size(), 1u );
		EXPECT_EQ( plain.saved[0], Hex( c.plain ) );

		SaveRecorder swapping;
		swapping.SwapOnSave();
		EXPECT_EQ( c.save( swapping ), DT_PERSIST_OK );
		ASSERT_EQ( swapping.saved.size(), 1u );
		EXPECT_EQ( swapping.saved[0], Hex( c.swapped ) );
	}

	// The real streams write nothing anywhere and succeed.
	DTFileHandle_* file = OpenBytes( Hex( "01 02 03 04" ) );
	ASSERT_NE( file, nullptr );
	DTBinaryPersistStream stream( file );
	EXPECT_EQ( stream.SaveData( static_cast<u32>( 7 ) ), DT_PERSIST_OK );
	EXPECT_EQ( stream.SaveTextData( "text" ), DT_PERSIST_OK );
	EXPECT_EQ( stream.SaveBinaryData( "ab", 2 ), DT_PERSIST_OK );
	EXPECT_EQ( file->offset, 0u );
	EXPECT_EQ( DVDHostReadCount(), 0u );
}

TEST_F( DTBinaryPersistStreamTest, EachStreamReportsItsKind ) {
	char buffer[4] = {};
	DTBinaryPersistStream binary;
	DTMemoryPersistStream memory( buffer, sizeof( buffer ) );
	DTTextPersistStream text( nullptr );
	EXPECT_EQ( binary.GetType(), 6 );
	EXPECT_EQ( memory.GetType(), 10 );
	EXPECT_EQ( text.GetType(), 5 );
	EXPECT_FALSE( binary.IsText() );
	EXPECT_TRUE( text.IsText() );
	for ( DTBasePersistStream* stream : std::initializer_list<DTBasePersistStream*> { &binary, &memory, &text } ) {
		EXPECT_EQ( stream->GetStreamLoader(), nullptr );
	}
}
