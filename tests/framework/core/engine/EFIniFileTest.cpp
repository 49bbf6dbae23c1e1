#include "EFCoreTestBench.h"

#include "framework/core/engine/EFIniFile.h"

#include <cstring>
#include <string>

namespace {

class EFIniFileTest : public EFCoreTestBench {
protected:
	void TearDown() override {
		EFIniFile::GetInstance()->Clear();
		EFCoreTestBench::TearDown();
	}

	EFIniFile* ReadText( const std::string& text ) {
		WriteDiscText( "ENGINE.INI", text );
		EFIniFile* const ini = EFIniFile::GetInstance();
		ini->Read( "ENGINE.INI" );
		return ini;
	}
};

// One file, every look-up rule: each row names a key and what the typed
// getters must hand out for it.
TEST_F( EFIniFileTest, AnswersEachKeyByTheReadersRules ) {
	const std::string text =
		"maxfps = 60\n"
		"FOO\n"
		"BAR = 1\n"
		"YES1 = YES\nTRUE1 = true\nONE = 1\n"
		"NO1 = NO\nFALSE1 = false\nZERO = 0\n"
		"ON1 = ON\nNOBOOL = XQZ\n"
		"NEG = -12.5\nHALF = .5\n"
		"TWICE = FIRST\nTWICE = SECOND\n"
		"HUGE = 99999999999\nNHUGE = -99999999999\n"
		"PATH = LEVEL\\SAMPLE/GEN_1\n"
		"QUOTED = \"SAMPLE.GCR\";\n"
		// The second token of a value starts the next pair's key, so this
		// line comes last.
		"KEY = A B\n";
	EFIniFile* const ini = ReadText( text );

	struct Row {
		const char*	key;
		bool		found;
		const char*	string;
		s32			integer;
		f32			real;
		u32			boolean;
	};
	const Row rows[] = {
		{ "MaxFPS", true, "60", 60, 60.0f, 0 },
		{ "foo", true, "1", 1, 1.0f, 1 },
		{ "BAR", false, "", 0, 0.0f, 0 },
		{ "KEY", true, "A", 0, 0.0f, 0xFFFFFFFF },
		{ "YES1", true, "YES", 0, 0.0f, 1 },
		{ "TRUE1", true, "TRUE", 0, 0.0f, 1 },
		{ "ONE", true, "1", 1, 1.0f, 1 },
		{ "NO1", true, "NO", 0, 0.0f, 0 },
		{ "FALSE1", true, "FALSE", 0, 0.0f, 0 },
		{ "ZERO", true, "0", 0, 0.0f, 0 },
		{ "ON1", true, "ON", 0, 0.0f, 0 },
		{ "NOBOOL", true, "XQZ", 0, 0.0f, 0xFFFFFFFF },
		{ "NEG", true, "-12.5", -12, -12.5f, 1 },
		{ "HALF", true, ".5", 0, 0.5f, 0xFFFFFFFF },
		{ "TWICE", true, "SECOND", 0, 0.0f, 0 },
		{ "HUGE", true, "99999999999", INT32_MAX, 99999999999.0f, 0xFFFFFFFF },
		{ "NHUGE", true, "-99999999999", INT32_MIN, -99999999999.0f, 0xFFFFFFFF },
		{ "path", true, "LEVEL\\SAMPLE/GEN_1", 0, 0.0f, 0 },
		{ "QUOTED", true, "SAMPLE.GCR", 0, 0.0f, 0xFFFFFFFF },
		{ "MISSING", false, "", 0, 0.0f, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.key );
		char string[INI_TOKEN_BUFFER] = "UNTOUCHED";
		s32 integer = 777;
		f32 real = 7.5f;
		u32 boolean = 777;
		ASSERT_EQ( ini->GetIniString( row.key, string ), row.found ? 1 : 0 );
		ASSERT_EQ( ini->GetIniInteger( row.key, &integer ), row.found ? 1 : 0 );
		ASSERT_EQ( ini->GetIniFloat( row.key, &real ), row.found ? 1 : 0 );
		ASSERT_EQ( ini->GetIniBool( row.key, &boolean ), row.found ? 1 : 0 );
		if ( !row.found ) {
			EXPECT_STREQ( string, "UNTOUCHED" );
			EXPECT_EQ( integer, 777 );
			EXPECT_EQ( real, 7.5f );
			EXPECT_EQ( boolean, 777u );
			continue;
		}
		EXPECT_STREQ( string, row.string );
		EXPECT_EQ( integer, row.integer );
		EXPECT_FLOAT_EQ( real, row.real );
		EXPECT_EQ( boolean, row.boolean );
	}
}

TEST_F( EFIniFileTest, CutsOverlongTokensAndStopsAtTheBufferEnd ) {
	const std::string longKey( 300, 'K' );
	const std::string longValue( 300, '7' );
	struct Row {
		const char*		name;
		std::string		text;
		std::string		key;
		std::string		value;	// empty: the key must not exist
		u32				nodes;
	};
	const Row rows[] = {
		{ "300-character key and value", longKey + " = " + longValue + "\n",
		  longKey.substr( 0, 255 ), longValue.substr( 0, 255 ), 1 },
		{ "file ends inside a value", "A = 1\nLAST = VALUE", "LAST", "VALUE", 2 },
		{ "file ends after the equals sign", "A = 1\nLAST =   ", "LAST", "", 1 },
		{ "file ends inside a key", "A = 1\nLAS", "LAS", "", 1 },
		{ "malformed pair keeps the earlier ones", "A = 1\n= = =\n", "A", "1", 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFIniFile* const ini = ReadText( row.text );
		EXPECT_EQ( ini->GetNodeCount(), row.nodes );
		char value[INI_TOKEN_BUFFER] = {};
		if ( row.value.empty() ) {
			EXPECT_EQ( ini->GetIniString( row.key.c_str(), value ), 0 );
			continue;
		}
		ASSERT_EQ( ini->GetIniString( row.key.c_str(), value ), 1 );
		EXPECT_EQ( std::string( value ), row.value );
	}
	// The 300-digit value must still pre-parse to saturated numbers.
	EFIniFile* const ini = ReadText( "BIG = " + longValue );
	s32 integer = 0;
	ASSERT_EQ( ini->GetIniInteger( "BIG", &integer ), 1 );
	EXPECT_EQ( integer, INT32_MAX );
}

TEST_F( EFIniFileTest, AMissingFileLeavesNoPairsBehind ) {
	EFIniFile* const ini = ReadText( "A = 1\n" );
	ASSERT_EQ( ini->GetNodeCount(), 1u );
	std::filesystem::remove( root / "disc" / "ENGINE.INI" );
	ini->Read( "ENGINE.INI" );
	EXPECT_EQ( ini->GetNodeCount(), 0u );
	s32 value = 5;
	EXPECT_EQ( ini->GetIniInteger( "A", &value ), 0 );
	EXPECT_EQ( value, 5 );
}

}
