#include "graphics3d/core/RwStrings.h"
#include "graphics3d/core/RwTestEngine.h"

#include <cstring>

namespace {

s32 Sign( const s32 v ) {
	return ( v > 0 ) - ( v < 0 );
}

TEST( RwStringsTest, ComparesIgnoringCaseWithBytesTakenAsSigned ) {
	struct Case {
		const char*	a;
		const char*	b;
		s32			expected;
	};
	const Case cases[] = {
		{ "ABC", "abd", -1 },		   { "abc", "ABC", 0 },		  { nullptr, "abc", 0 },	 { "abc", nullptr, 0 },
		{ "a", "", 'a' },			   { "", "B", -'b' },		  { "[", "a", '[' - 'a' },	// only 'A'..'Z' fold
		{ "\xE9", "a", -23 - 'a' },	   { "Z", "\xDA", 'z' + 38 }, { "Same", "sAME", 0 },
	};
	for ( const Case& c : cases ) {
		const s32 result = StrICmp( c.a, c.b );
		if ( c.expected == -1 ) {
			EXPECT_LT( result, 0 ) << c.a << " " << c.b;
		} else {
			EXPECT_EQ( result, c.expected ) << ( c.a ? c.a : "null" ) << " " << ( c.b ? c.b : "null" );
		}
	}
	EXPECT_EQ( Sign( StrICmp( "abd", "ABC" ) ), 1 );
}

TEST( RwStringsTest, ChangesTheCaseOfLettersOnly ) {
	struct Case {
		const char*	input;
		const char*	upper;
		const char*	lower;
	};
	const Case cases[] = {
		{ "Tex_01.bmp", "TEX_01.BMP", "tex_01.bmp" },
		{ "[@`{]", "[@`{]", "[@`{]" },
		{ "\xE9t\xC9", "\xE9T\xC9", "\xE9t\xC9" },
		{ "", "", "" },
	};
	for ( const Case& c : cases ) {
		char upper[32];
		char lower[32];
		std::strcpy( upper, c.input );
		std::strcpy( lower, c.input );
		EXPECT_EQ( StrUpr( upper ), upper );
		EXPECT_STREQ( upper, c.upper );
		EXPECT_EQ( StrLwr( lower ), lower );
		EXPECT_STREQ( lower, c.lower );
	}
	EXPECT_EQ( StrUpr( nullptr ), nullptr );
	EXPECT_EQ( StrLwr( nullptr ), nullptr );
}

TEST( RwStringsTest, FindsTheFirstAndLastCharacterAndTheTerminator ) {
	const char text[] = "a\\b\\c";
	struct Case {
		s32		c;
		s32		first;	// -1: not found
		s32		last;
	};
	const Case cases[] = { { '\\', 1, 3 }, { 'a', 0, 0 }, { 'c', 4, 4 }, { 'x', -1, -1 }, { 0, 5, 5 }, { 0x15C, 1, 3 } };
	for ( const Case& c : cases ) {
		const char* const first = StrChr( text, c.c );
		const char* const last = StrRChr( text, c.c );
		EXPECT_EQ( first ? first - text : -1, c.first ) << c.c;
		EXPECT_EQ( last ? last - text : -1, c.last ) << c.c;
	}
	EXPECT_EQ( StrChr( nullptr, 'a' ), nullptr );
	EXPECT_EQ( StrRChr( nullptr, 'a' ), nullptr );
}

class RwStringTableTest : public RwTestCase {};

TEST_F( RwStringTableTest, TheTableFormatsScansAndCopiesThroughTheHost ) {
	ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	const RwStringFunctions& s = RwEngineInstance->stringFunctions;
	char buffer[64];
	EXPECT_EQ( s.rwsprintf( buffer, "%s_%d.%x", "tex", 12, 255 ), 9 );
	EXPECT_STREQ( buffer, "tex_12.ff" );
	s32 number = 0;
	char word[16];
	EXPECT_EQ( s.rwsscanf( "name 42", "%15s %d", word, &number ), 2 );
	EXPECT_STREQ( word, "name" );
	EXPECT_EQ( number, 42 );
	EXPECT_EQ( s.rwstrlen( buffer ), 9u );
	s.rwstrcpy( buffer, "abc" );
	s.rwstrcat( buffer, "def" );
	EXPECT_STREQ( buffer, "abcdef" );
	EXPECT_EQ( s.rwstricmp( "ABCDEF", buffer ), 0 );
	EXPECT_EQ( s.rwstrrchr( buffer, 'c' ), buffer + 2 );
	EXPECT_STREQ( s.rwstrupr( buffer ), "ABCDEF" );
}

}	// namespace
