#include "PropertyTestSupport.h"

#include "datatypes/property/DTDummyVector2.h"
#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/property/DTDummyVector4.h"
#include "datatypes/containers/DTString.h"
#include "datatypes/persist/DTTextPersistStream.h"
#include "datatypes/persist/PersistTestDisc.h"

#include <deque>

namespace {

// A text stream whose lines come from a script instead of DTFgets, which
// this platform does not provide.
class ScriptedLineStream : public DTTextPersistStream {
public:
	std::deque<std::string> lines;

	explicit ScriptedLineStream( DTFileHandle_* file ) : DTTextPersistStream( file ) {}

	s32 LoadTextData( char* buffer, const s32 max ) override {
		if ( lines.empty() || max <= 0 ) {
			return DT_PERSIST_READ_PAST_END;
		}
		std::snprintf( buffer, static_cast<size_t>( max ), "%s", lines.front().c_str() );
		lines.pop_front();
		return DT_PERSIST_OK;
	}
};

// Two letters per byte: the high part over 'a' times 8, the low part over 'a'.
std::string BlockLetters( const u8 value ) {
	return { static_cast<char>( 'a' + value / 8 ), static_cast<char>( 'a' + value % 8 ) };
}

} // namespace

class DTPropertyTextTest : public PersistTestDisc {
protected:
	void SetUp() override {
		PersistTestDisc::SetUp();
		InstallTextHooks();
	}
};

TEST_F( DTPropertyTextTest, VectorsSkipOneSeparatorAroundEachFloat ) {
	struct Case {
		const char*			name;
		u32					type;
		const char*			text;	// the vector, then the word NEXT
		std::vector<f32>	values;
	};
	const Case cases[] = {
		{ "vector2 in brackets", DT_VARIANT_VECTOR2_PTR, "[1,2] NEXT", { 1.0f, 2.0f } },
		{ "vector3 with blanks", DT_VARIANT_VECTOR3_PTR, "  ( 1.5 , -2 ,3e1 )\nNEXT", { 1.5f, -2.0f, 30.0f } },
		{ "vector4 tight", DT_VARIANT_VECTOR4_PTR, "(0.25;0.5;0.75;1) NEXT", { 0.25f, 0.5f, 0.75f, 1.0f } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTFileHandle_* file = OpenText( c.text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		f32 record[4] = { -9.0f, -9.0f, -9.0f, -9.0f };
		DTProperty property( "POS", PropertyVariant( c.type, record ), false, 0 );
		EXPECT_EQ( property.LoadFromStream( stream ), DT_PERSIST_OK );
		for ( size_t i = 0; i < c.values.size(); i++ ) {
			EXPECT_EQ( record[i], c.values[i] ) << i;
		}
		char word[16];
		EXPECT_EQ( stream.LoadString( word, sizeof( word ) ), DT_PERSIST_OK );
		EXPECT_STREQ( word, "NEXT" );
		DTFclose( file );
	}

	// A vector the file ends inside fails instead of waiting for more.
	DTFileHandle_* file = OpenText( "(1, 2" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	DTDummyVector3 v { 0.0f, 0.0f, 0.0f };
	DTProperty property( "POS", DTVariant( &v ), false, 0 );
	EXPECT_EQ( property.LoadFromStream( stream ), DT_PERSIST_READ_PAST_END );
	EXPECT_EQ( v.x, 1.0f );
	EXPECT_EQ( v.y, 2.0f );
}

TEST_F( DTPropertyTextTest, DecodesDataBlocksFromLetterPairs ) {
	struct Case {
		const char*		name;
		std::string		text;
		std::vector<u8>	bytes;
	};
	std::string longText = "300 ";
	std::vector<u8> longBytes;
	for ( u32 i = 0; i < 300; i++ ) {
		const u8 value = static_cast<u8>( ( i * 7 ) % 64 );
		longBytes.push_back( value );
		longText += BlockLetters( value );
		// A line break follows the byte of index 250.
		if ( i == 250 ) {
			longText += "\r\n";
		}
	}
	const Case cases[] = {
		{ "ab is 1", "1 ab", { 1 } },
		{ "ba is 8", "1:ba", { 8 } },
		{ "several", "3 aahhbc", { 0, 63, 10 } },
		{ "empty", "0 ", {} },
		{ "longer than one line", longText, longBytes },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTFileHandle_* file = OpenText( c.text + " END" );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		u8* block = nullptr;
		DTProperty property( "BLOCK", PropertyVariant( DT_VARIANT_BLOCK_ALLOC, &block ), false, 0 );
		EXPECT_EQ( property.LoadFromStream( stream ), DT_PERSIST_OK );
		ASSERT_NE( block, nullptr );
		EXPECT_EQ( property.GetExtra(), c.bytes.size() );
		EXPECT_EQ( std::vector<u8>( block, block + c.bytes.size() ), c.bytes );
		char word[8];
		EXPECT_EQ( stream.LoadString( word, sizeof( word ) ), DT_PERSIST_OK );
		EXPECT_STREQ( word, "END" );
		delete[] block;
		DTFclose( file );
	}
}

TEST_F( DTPropertyTextTest, RefusesBlockAndArrayCountsTheTextCannotHold ) {
	struct Case {
		const char*	name;
		u32			type;
		const char*	text;
	};
	const Case cases[] = {
		{ "block needs two letters a byte", DT_VARIANT_BLOCK_ALLOC, "3 aabb" },
		{ "negative block", DT_VARIANT_BLOCK_ALLOC, "-1 aa" },
		{ "block in place beyond its buffer", DT_VARIANT_BLOCK, "5 aabbccddee" },
		{ "array needs a character an element", DT_VARIANT_FLOAT_ARRAY, "5 1 2" },
		{ "negative array", DT_VARIANT_LONG_ARRAY, "-2 1 2" },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		DTFileHandle_* file = OpenText( c.text );
		ASSERT_NE( file, nullptr );
		DTTextPersistStream stream( file );
		u8* block = nullptr;
		u8 buffer[4] = { 0xEE, 0xEE, 0xEE, 0xEE };
		DTVector<f32> floats;
		DTVector<s32> longs;
		void* target = &block;
		if ( c.type == DT_VARIANT_BLOCK ) {
			target = buffer;
		} else if ( c.type == DT_VARIANT_FLOAT_ARRAY ) {
			target = &floats;
		} else if ( c.type == DT_VARIANT_LONG_ARRAY ) {
			target = &longs;
		}
		DTProperty property( "BAD", PropertyVariant( c.type, target ), false, 4 );
		EXPECT_EQ( property.LoadFromStream( stream ), DT_PERSIST_READ_PAST_END );
		EXPECT_EQ( block, nullptr );
		EXPECT_EQ( buffer[0], 0xEE );
		EXPECT_EQ( floats.GetCapacity(), 0u );
		EXPECT_EQ( longs.GetCapacity(), 0u );
		EXPECT_EQ( property.GetExtra(), 4u );
		DTFclose( file );
	}
}

TEST_F( DTPropertyTextTest, LoadsArraysOfNumbers ) {
	DTFileHandle_* file = OpenText( "3 1.5 -2 4e-1\n2 7 -8" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	DTVector<f32> floats;
	DTVector<s32> longs;
	DTProperty floatProperty( "F", DTVariant( &floats ), false, 0 );
	DTProperty longProperty( "L", DTVariant( &longs ), false, 0 );
	EXPECT_EQ( floatProperty.LoadFromStream( stream ), DT_PERSIST_OK );
	EXPECT_EQ( longProperty.LoadFromStream( stream ), DT_PERSIST_OK );
	ASSERT_EQ( floats.GetSize(), 3u );
	EXPECT_EQ( floats[0], 1.5f );
	EXPECT_EQ( floats[1], -2.0f );
	EXPECT_EQ( floats[2], 0.4f );
	ASSERT_EQ( longs.GetSize(), 2u );
	EXPECT_EQ( longs[0], 7 );
	EXPECT_EQ( longs[1], -8 );
}

TEST_F( DTPropertyTextTest, TakesQuotedStringsBetweenTheFirstTwoQuotes ) {
	struct Case {
		const char*	name;
		const char*	line;
		s32			result;
		const char*	text;
	};
	const Case cases[] = {
		{ "quoted", "'hello world'", DT_PERSIST_OK, "hello world" },
		{ "text around the quotes", "  NAME 'a' b 'c'", DT_PERSIST_OK, "a" },
		{ "no closing quote", "'open ended", DT_PERSIST_OK, "open ended" },
		{ "empty quotes", "''", DT_PERSIST_OK, "" },
		{ "no quotes", "bare text", DT_PERSIST_NO_QUOTES, "bare text" },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		ScriptedLineStream stream( nullptr );
		stream.lines.push_back( c.line );
		DTString text;
		DTProperty property( "NAME", DTVariant( &text ), false, 0 );
		EXPECT_EQ( property.LoadFromStream( stream ), c.result );
		EXPECT_STREQ( text.GetStr(), c.text );
	}

	// The real text stream has no line source here: the string fails as
	// the end of the data and keeps its value.
	DTFileHandle_* file = OpenText( "'quoted'\n" );
	ASSERT_NE( file, nullptr );
	DTTextPersistStream stream( file );
	DTString text;
	text = "kept";
	DTProperty property( "NAME", DTVariant( &text ), false, 0 );
	EXPECT_EQ( property.LoadFromStream( stream ), DT_PERSIST_READ_PAST_END );
	EXPECT_STREQ( text.GetStr(), "kept" );
}

TEST_F( DTPropertyTextTest, ArrayStringsKeepTheirQuotes ) {
	DTFileHandle_* file = OpenText( "2 xx" );
	ASSERT_NE( file, nullptr );
	ScriptedLineStream stream( file );
	stream.lines = { "'q'", "plain" };
	DTVector<DTString> strings;
	DTProperty property( "S", DTVariant( &strings ), false, 0 );
	EXPECT_EQ( property.LoadFromStream( stream ), DT_PERSIST_OK );
	ASSERT_EQ( strings.GetSize(), 2u );
	EXPECT_STREQ( strings[0].GetStr(), "'q'" );
	EXPECT_STREQ( strings[1].GetStr(), "plain" );
}
