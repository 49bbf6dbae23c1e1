#include "tools/lib/ToolIniWriter.h"

#include <gtest/gtest.h>

#include <string>

TEST( ToolIniWriter, WritesOneKeyEqualsValueLinePerKeyInTheOrderFirstSet ) {
	ToolIniWriter ini;
	EXPECT_TRUE( ini.Set( "StartingLevelToLoad", "SAMPLE.GCR" ) );
	EXPECT_TRUE( ini.SetInteger( "GCVMSARAMSize", -12 ) );
	EXPECT_TRUE( ini.Set( "StartingLevelPath", "LEVEL\\A/B_c-1" ) );
	EXPECT_TRUE( ini.SetInteger( "MaxFPS", 60 ) );
	EXPECT_EQ( ini.Text(), "StartingLevelToLoad = SAMPLE.GCR\n"
						   "GCVMSARAMSize = -12\n"
						   "StartingLevelPath = LEVEL\\A/B_c-1\n"
						   "MaxFPS = 60\n" );
	EXPECT_EQ( ToolIniWriter().Text(), "" );
}

TEST( ToolIniWriter, ReplacesTheValueOfAKeySetAgainInAnyCase ) {
	ToolIniWriter ini;
	EXPECT_TRUE( ini.Set( "MaxFPS", "30" ) );
	EXPECT_TRUE( ini.Set( "Stencil", "1" ) );
	EXPECT_TRUE( ini.Set( "maxfps", "60" ) );
	EXPECT_EQ( ini.Text(), "MaxFPS = 60\nStencil = 1\n" );
}

TEST( ToolIniWriter, RefusesKeysAndValuesThatWouldNotReadBackAsOneToken ) {
	const struct {
		std::string text;
		bool		token;
	} cases[] = {
		{ "A", true },
		{ "-12.5", true },
		{ "LEVEL\\SAMPLE/GEN_1", true },
		{ std::string( TOOL_INI_TOKEN_MAX, 'K' ), true },
		{ std::string( TOOL_INI_TOKEN_MAX + 1, 'K' ), false },
		{ "", false },
		{ "A B", false },
		{ "A=B", false },
		{ "'QUOTED'", false },
		{ "\"QUOTED\"", false },
		{ "A;COMMENT", false },
		{ "#", false },
		{ "TAB\t", false },
		{ "LINE\nBREAK", false },
		{ "CAF\xC9", false },
		{ std::string( "NUL\0X", 5 ), false },
	};
	for ( const auto& c : cases ) {
		EXPECT_EQ( ToolIniWriter::IsToken( c.text ), c.token ) << c.text;

		ToolIniWriter asKey;
		EXPECT_EQ( asKey.Set( c.text, "1" ), c.token ) << c.text;
		EXPECT_EQ( asKey.Text().empty(), !c.token ) << c.text;

		ToolIniWriter asValue;
		EXPECT_TRUE( asValue.Set( "KEY", "OLD" ) );
		EXPECT_EQ( asValue.Set( "KEY", c.text ), c.token ) << c.text;
		EXPECT_EQ( asValue.Text(), c.token ? "KEY = " + c.text + "\n" : std::string( "KEY = OLD\n" ) ) << c.text;
	}
}
