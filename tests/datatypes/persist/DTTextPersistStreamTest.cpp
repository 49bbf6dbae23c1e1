#include "PersistTestDisc.h"

#include "datatypes/persist/DTTextPersistStream.h"

#include <bit>
#include <functional>

namespace {

// Loads one field and hands back its bits, zero-extended.
typedef std::function<s32( DTTextPersistStream&, u64& )> TextLoader;

template <class T>
TextLoader TextBitsOf() {
	return []( DTTextPersistStream& stream, u64& bits ) {
		T value {};
		const s32 result = stream.LoadData( value );
		if constexpr ( std::is_same_v<T, f32> ) {
			bits = std::bit_cast<u32>( value );
		} else if constexpr ( sizeof( T ) == 1 ) {
			bits = static_cast<u8>( value );
		} else if constexpr ( sizeof( T ) == 2 ) {
			bits = static_cast<u16>( value );
		} else if constexpr ( sizeof( T ) == 4 ) {
			bits = static_cast<u32>( value );
		} else {
			bits = static_cast<u64>( value );
		}
		return result;
	};
}

// Every load width, for the tests that try them all.
const std::vector<std::pair<const char*, TextLoader>>& AllLoaders() {
	static const std::vector<std::pair<const char*, TextLoader>> loaders = {
		{ "char", TextBitsOf<char>() }, { "s8", TextBitsOf<s8>() }, { "s16", TextBitsOf<s16>() },
		{ "s32", TextBitsOf<s32>() }, { "s64", TextBitsOf<s64>() }, { "u8", TextBitsOf<u8>() },
		{ "u16", TextBitsOf<u16>() }, { "u32", TextBitsOf<u32>() }, { "f32", TextBitsOf<f32>() },
	};
	return loaders;
}

} // namespace

class DTTextPersistStreamTest : public PersistTestDisc {};

TEST_F( DTTextPersistStreamTest, WithoutHooksLoadsFailAndSavesDoNothing ) {
	DTFileHandle_* file = OpenText( "12 34 hello" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	for ( const auto& [name, load] : AllLoaders() ) {
		SCOPED_TRACE( name );
		u64 bits = 0;
		EXPECT_EQ( load( stream, bits ), DT_PERSIST_READ_PAST_END );
	}
	char word[16] = "untouched";
	EXPECT_EQ( stream.LoadString( word, sizeof( word ) ), DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( stream.SaveData( 1.0f ), DT_PERSIST_OK );
	EXPECT_EQ( stream.SaveData( static_cast<s64>( 1 ) ), DT_PERSIST_OK );
	EXPECT_EQ( stream.SaveTextData( "x" ), DT_PERSIST_OK );
	EXPECT_EQ( stream.SaveTextIndentation( 2 ), DT_PERSIST_OK );
	EXPECT_EQ( file->offset, 0u );
}

TEST_F( DTTextPersistStreamTest, LoadsEachWidthWithOneScanInItsFormat ) {
	InstallTextHooks();
	struct Case {
		const char*	name;
		const char*	text;
		TextLoader	load;
		u64			bits;
		const char*	format;
	};
	const Case cases[] = {
		{ "float", " 1.5", TextBitsOf<f32>(), 0x3FC00000, "%f" },
		{ "long", "-7", TextBitsOf<s32>(), 0xFFFFFFF9, "%d" },
		{ "unsigned long", "-1", TextBitsOf<u32>(), 0xFFFFFFFF, "%d" },
		{ "short", "\n-300", TextBitsOf<s16>(), 0xFED4, "%hd" },
		{ "unsigned short", "-2", TextBitsOf<u16>(), 0xFFFE, "%hd" },
		{ "long long", "-123456789012", TextBitsOf<s64>(), static_cast<u64>( -123456789012ll ), "%lld" },
		{ "signed char", "-3", TextBitsOf<s8>(), 0xFD, "%d" },
		{ "unsigned char keeps the low byte", "300", TextBitsOf<u8>(), 44, "%d" },
		{ "char", "Q", TextBitsOf<char>(), 'Q', "%c" },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTFileHandle_* file = OpenText( c.text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		PersistHooks() = PersistHookLog();
		u64 bits = 0;
		EXPECT_EQ( c.load( stream, bits ), DT_PERSIST_OK );
		EXPECT_EQ( bits, c.bits );
		ASSERT_EQ( PersistHooks().scanFormats.size(), 1u );
		EXPECT_EQ( PersistHooks().scanFormats[0], c.format );
		DTFclose( file );
	}
}

TEST_F( DTTextPersistStreamTest, AnEightBitFieldTakesOneByteOfTheScannedNumber ) {
	InstallTextHooks();
	DTFileHandle_* file = OpenText( "-1 511" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	struct {
		u8	before;
		s8	signedField;
		u8	unsignedField;
		u8	after;
	} fields = { 0xAA, 0, 0, 0xBB };
	EXPECT_EQ( stream.LoadData( fields.signedField ), DT_PERSIST_OK );
	EXPECT_EQ( stream.LoadData( fields.unsignedField ), DT_PERSIST_OK );
	EXPECT_EQ( fields.signedField, -1 );
	EXPECT_EQ( fields.unsignedField, 0xFF );
	EXPECT_EQ( fields.before, 0xAA );
	EXPECT_EQ( fields.after, 0xBB );
}

TEST_F( DTTextPersistStreamTest, AScanAtTheEndOfTheInputFails ) {
	InstallTextHooks();
	for ( const char* text : { "", "   \n\t " } ) {
		SCOPED_TRACE( testing::PrintToString( text ) );
		DTFileHandle_* file = OpenText( text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		for ( const auto& [name, load] : AllLoaders() ) {
			SCOPED_TRACE( name );
			// "%c" takes a blank as its character; every other format skips blanks.
			const bool takesBlank = std::string( name ) == "char" && text[0] != '\0';
			u64 bits = 0;
			EXPECT_EQ( load( stream, bits ), takesBlank ? DT_PERSIST_OK : DT_PERSIST_READ_PAST_END );
		}
		char word[8];
		EXPECT_EQ( stream.LoadString( word, sizeof( word ) ), DT_PERSIST_READ_PAST_END );
		EXPECT_STREQ( word, "" );
		DTFclose( file );
	}
}

TEST_F( DTTextPersistStreamTest, SavesEachValueWithOnePrintAndReportsAFailedPrint ) {
	InstallTextHooks();
	DTFileHandle_* file = OpenText( "" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	struct Case {
		const char*										name;
		std::function<s32( DTTextPersistStream& )>		save;
		const char*										format;
		const char*										printed;
	};
	const Case cases[] = {
		{ "float", []( DTTextPersistStream& s ) { return s.SaveData( 0.1f ); }, "%.8f", "0.10000000" },
		{ "long", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<s32>( -7 ) ); }, "%d", "-7" },
		{ "unsigned long", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<u32>( 0xFFFFFFFF ) ); }, "%d", "-1" },
		{ "short", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<s16>( -300 ) ); }, "%hd", "-300" },
		{ "unsigned short", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<u16>( 65535 ) ); }, "%hd", "-1" },
		{ "long long", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<s64>( 1 ) << 40 ); }, "%lld", "1099511627776" },
		{ "signed char", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<s8>( -3 ) ); }, "%d", "-3" },
		{ "unsigned char", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<u8>( 200 ) ); }, "%d", "200" },
		{ "char", []( DTTextPersistStream& s ) { return s.SaveData( static_cast<char>( 'Q' ) ); }, "%c", "Q" },
	};
	for ( const bool fails : { false, true } ) {
		for ( const Case& c : cases ) {
			SCOPED_TRACE( std::string( c.name ) + ( fails ? ", failing" : "" ) );
			PersistHooks() = PersistHookLog();
			PersistHooks().printFails = fails;
			EXPECT_EQ( c.save( stream ), fails ? DT_PERSIST_PRINT_FAILED : DT_PERSIST_OK );
			ASSERT_EQ( PersistHooks().printed.size(), 1u );
			EXPECT_EQ( PersistHooks().printFormats[0], c.format );
			EXPECT_EQ( PersistHooks().printed[0], c.printed );
		}
	}
	// The other saves never print.
	PersistHooks() = PersistHookLog();
	EXPECT_EQ( stream.SaveTextData( "x" ), DT_PERSIST_OK );
	EXPECT_EQ( stream.SaveTextIndentation( 1 ), DT_PERSIST_OK );
	EXPECT_EQ( stream.SaveBinaryData( "ab", 2 ), DT_PERSIST_OK );
	EXPECT_TRUE( PersistHooks().printed.empty() );
}

TEST_F( DTTextPersistStreamTest, LoadsWordsCutAtCommentsAndWithinTheBuffer ) {
	InstallTextHooks();
	struct Case {
		const char*					name;
		const char*					text;
		s32							max;
		std::vector<std::string>	words;	// then the end of the input
	};
	const Case cases[] = {
		{ "plain words", "  BEGIN\n\tUID 12 END", 64, { "BEGIN", "UID", "12", "END" } },
		{ "comment cut", "beta//tail gamma", 64, { "beta", "gamma" } },
		{ "all-comment word skipped", "//note delta", 64, { "delta" } },
		{ "only comments", "//a ////b", 64, {} },
		{ "word wider than the buffer", "abcdefg", 4, { "abc", "def", "g" } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTFileHandle_* file = OpenText( c.text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		std::vector<char> word( static_cast<size_t>( c.max ), 'Z' );
		for ( const std::string& expected : c.words ) {
			EXPECT_EQ( stream.LoadString( word.data(), c.max ), DT_PERSIST_OK );
			EXPECT_EQ( std::string( word.data() ), expected );
		}
		EXPECT_EQ( stream.LoadString( word.data(), c.max ), DT_PERSIST_READ_PAST_END );
		DTFclose( file );
	}

	// A buffer with no room for a character besides the terminator.
	DTFileHandle_* file = OpenText( "word" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	char one = 'Z';
	EXPECT_EQ( stream.LoadString( &one, 1 ), DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( one, '\0' );
	char none = 'Z';
	EXPECT_EQ( stream.LoadString( &none, 0 ), DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( none, 'Z' );
	EXPECT_EQ( file->offset, 0u );
}

TEST_F( DTTextPersistStreamTest, LoadTextDataEndsEmptyWhenNoLineCanBeRead ) {
	InstallTextHooks();
	DTFileHandle_* file = OpenText( "\n\n  first line\nsecond\n" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	char buffer[32] = "untouched";
	EXPECT_EQ( stream.LoadTextData( buffer, sizeof( buffer ) ), DT_PERSIST_READ_PAST_END );
	EXPECT_STREQ( buffer, "" );
	char none = 'Z';
	EXPECT_EQ( stream.LoadTextData( &none, 0 ), DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( none, 'Z' );
}

TEST_F( DTTextPersistStreamTest, SkipWhiteSpaceConsumesTheFirstOtherCharacter ) {
	struct Case {
		const char*	name;
		const char*	text;
		s32			result;
		char		c;
		u32			offset;
	};
	const Case cases[] = {
		{ "separator after blanks", " \t\r\n,x", DT_PERSIST_OK, ',', 5 },
		{ "no blank", "(1", DT_PERSIST_OK, '(', 1 },
		{ "only blanks", "  \n ", DT_PERSIST_READ_PAST_END, ' ', 4 },
		{ "empty", "", DT_PERSIST_READ_PAST_END, ' ', 0 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTFileHandle_* file = OpenText( c.text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		char seen = 0;
		EXPECT_EQ( stream.SkipWhiteSpace( seen ), c.result );
		EXPECT_EQ( seen, c.c );
		EXPECT_EQ( file->offset, c.offset );
		DTFclose( file );
	}
}
