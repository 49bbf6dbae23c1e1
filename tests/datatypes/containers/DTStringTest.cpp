#include "datatypes/containers/DTString.h"

#include <gtest/gtest.h>

#include <string>

TEST( DTString, ConstructsFromAtMostNCharacters ) {
	struct Case {
		const char *	source;
		u32				n;
		const char *	expect;
	};
	const Case cases[] = {
		{ "hello", 5, "hello" },
		{ "hello", 3, "hel" },
		{ "hello", 100, "hello" },
		{ "hello", 0, "" },
		{ "", 10, "" },
		{ nullptr, 10, "" },
	};
	for ( const Case & c : cases ) {
		SCOPED_TRACE( c.expect );
		const DTString s( c.source, c.n );
		EXPECT_STREQ( s.GetStr(), c.expect );
		EXPECT_EQ( s.GetLength(), std::string( c.expect ).size() );
	}
	const DTString empty;
	EXPECT_STREQ( empty.GetStr(), "" );
	EXPECT_EQ( empty.GetLength(), 0u );
}

TEST( DTString, ReadsNoFurtherThanNFromAnUnterminatedSource ) {
	const char bytes[4] = { 'a', 'b', 'c', 'd' };	// no terminator
	const DTString s( bytes, 4 );
	EXPECT_STREQ( s.GetStr(), "abcd" );
}

TEST( DTString, ReusesTheBufferForATextThatIsNotLonger ) {
	DTString s( "abcdef", 6 );
	const char * buffer = s.GetStr();
	s = "abc";
	EXPECT_EQ( s.GetStr(), buffer );
	EXPECT_STREQ( s.GetStr(), "abc" );
	EXPECT_EQ( s.GetLength(), 3u );
	s = "xyz";
	EXPECT_EQ( s.GetStr(), buffer );
	EXPECT_STREQ( s.GetStr(), "xyz" );

	s = "abcdefgh";
	EXPECT_STREQ( s.GetStr(), "abcdefgh" );
	EXPECT_EQ( s.GetLength(), 8u );
}

TEST( DTString, EmptyOrNullSourcesClearTheString ) {
	const DTString empty;
	const char * sources[] = { "", nullptr };
	for ( const char * source : sources ) {
		DTString s( "text", 4 );
		s = source;
		EXPECT_EQ( s.GetLength(), 0u );
		EXPECT_STREQ( s.GetStr(), "" );
		DTString t( "text", 4 );
		t = empty;
		EXPECT_EQ( t.GetLength(), 0u );
	}
	DTString s( "text", 4 );
	s.Clear();
	EXPECT_EQ( s.GetLength(), 0u );
	EXPECT_STREQ( s.GetStr(), "" );
}

TEST( DTString, CopiesOwnTheirText ) {
	DTString a( "first", 5 );
	DTString b( a );
	EXPECT_NE( a.GetStr(), b.GetStr() );
	a = "x";
	EXPECT_STREQ( b.GetStr(), "first" );
	b = a;
	EXPECT_STREQ( b.GetStr(), "x" );
	// Assigned to itself through another name, as a copy through a
	// reference or pointer does.
	const DTString& same = b;
	b = same;
	EXPECT_STREQ( b.GetStr(), "x" );
	DTString c;
	c = b;
	EXPECT_STREQ( c.GetStr(), "x" );
}

TEST( DTString, AssignsAPartOfItsOwnText ) {
	DTString s( "abcdef", 6 );
	s = s.GetStr() + 2;
	EXPECT_STREQ( s.GetStr(), "cdef" );
	s = s.GetStr();
	EXPECT_STREQ( s.GetStr(), "cdef" );
}

TEST( DTstricmp, ComparesWithoutCaseAndBytesAsSigned ) {
	struct Case {
		const char *	a;
		const char *	b;
		s32				expect;
	};
	const Case cases[] = {
		{ "ABC", "abc", 0 },
		{ "abc", "ABC", 0 },
		{ "ab", "abc", -1 },
		{ "abc", "ab", 1 },
		{ "", "", 0 },
		{ "a", "B", -1 },
		{ "Z", "a", 1 },
		{ "[", "a", -1 },			// '[' stays 0x5B, below 'a'
		{ "\xC9", "\xE9", -1 },		// only A-Z are lowered
		{ "\xE9", "a", -1 },		// bytes from 128 up are negative
		{ "\xFF", "", -1 },			// byte 255 counts as -1
		{ "\xFF", "\x80", 1 },
		{ nullptr, "", 0 },
		{ nullptr, "a", -1 },
		{ "a", nullptr, 1 },
	};
	for ( const Case & c : cases ) {
		EXPECT_EQ( DTstricmp( c.a, c.b ), c.expect )
			<< ( c.a ? c.a : "(null)" ) << " vs " << ( c.b ? c.b : "(null)" );
	}
}
