#include "support/TestScratchFolder.h"
#include "tools/lib/ToolDiscBuilder.h"
#include "tools/lib/ToolDiscLayout.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/ToolIniWriter.h"
#include "tools/lib/ToolSampleDisc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A scratch folder of its own for each test, removed afterwards.
class ToolDiscTest : public ::testing::Test {
protected:
	void SetUp() override { ASSERT_TRUE( scratch.Make( "tool-disc-" ) ); }

	TestScratchFolder scratch;
};

std::string ReadText( const fs::path& path ) {
	std::ifstream file( path, std::ios::binary );
	return std::string( std::istreambuf_iterator<char>( file ), std::istreambuf_iterator<char>() );
}

// Every entry under root: relative path -> file content, or "<dir>".
std::map<std::string, std::string> Snapshot( const fs::path& root ) {
	std::map<std::string, std::string> tree;
	for ( const fs::directory_entry& entry : fs::recursive_directory_iterator( root ) ) {
		const std::string name = fs::relative( entry.path(), root ).generic_string();
		tree[name]			   = entry.is_directory() ? std::string( "<dir>" ) : ReadText( entry.path() );
	}
	return tree;
}

// Stand-ins for the sample logic modules: the disc carries them as given.
const ToolSampleModules gModules = { { 0x7F, 'E', 'L', 'F' }, { 0x7F, 'E', 'L', 'F', 2 } };

std::vector<std::string> Generic( const std::vector<fs::path>& paths ) {
	std::vector<std::string> names;
	for ( const fs::path& path : paths ) {
		names.push_back( path.generic_string() );
	}
	return names;
}

} // namespace

TEST( ToolDiscLayout, NamesEveryFolderOfALevelUpperCase ) {
	const ToolDiscLayout layout( "sample", "fr" );
	ASSERT_TRUE( layout.IsValid() );
	EXPECT_EQ( layout.Level(), "SAMPLE" );
	EXPECT_EQ( layout.LevelLanguageFolder().generic_string(), "LEVEL/SAMPLE/FR" );
	EXPECT_EQ( layout.LevelNeutralFolder().generic_string(), "LEVEL/SAMPLE/GEN" );
	EXPECT_EQ( layout.GlobalLanguageFolder().generic_string(), "GLOBAL/FR" );
	const std::vector<std::string> expected = { "LEVEL",	 "LEVEL/SAMPLE", "LEVEL/SAMPLE/FR", "LEVEL/SAMPLE/GEN",
												"GLOBAL",	 "GLOBAL/FR",	 "GLOBAL/GEN",		"STREAM",
												"MOVIES",	 "SLIDE" };
	EXPECT_EQ( Generic( layout.Folders() ), expected );
	EXPECT_EQ( ToolDiscLayout( "Level_2" ).Language(), "FR" );
}

TEST( ToolDiscLayout, RefusesNamesThatAreNotOneFolder ) {
	const struct {
		std::string level;
		std::string language;
	} cases[] = {
		{ "", "FR" },		   { "SAMPLE", "" },		{ "..", "FR" },		  { ".", "FR" },
		{ "A/B", "FR" },	   { "A\\B", "FR" },		{ "SAMPLE", "../X" }, { "TWO WORDS", "FR" },
		{ "A=B", "FR" },	   { std::string( 256, 'L' ), "FR" },
	};
	for ( const auto& c : cases ) {
		const ToolDiscLayout layout( c.level, c.language );
		EXPECT_FALSE( layout.IsValid() ) << c.level << " / " << c.language;
		EXPECT_TRUE( layout.Folders().empty() ) << c.level << " / " << c.language;
		EXPECT_TRUE( layout.LevelNeutralFolder().empty() ) << c.level << " / " << c.language;
		EXPECT_TRUE( layout.GlobalLanguageFolder().empty() ) << c.level << " / " << c.language;
	}
	EXPECT_TRUE( ToolDiscLayout( "A.B-C_1" ).IsValid() );
}

TEST_F( ToolDiscTest, BuilderCreatesTheLayoutAndRefusesAnInvalidOne ) {
	ToolDiscBuilder disc( scratch / "disc" );
	std::string		error;
	ASSERT_TRUE( disc.CreateLayout( ToolDiscLayout( "LVL", "DE" ), error ) ) << error;
	EXPECT_TRUE( fs::is_directory( scratch / "disc/LEVEL/LVL/DE" ) );
	EXPECT_TRUE( fs::is_directory( scratch / "disc/GLOBAL/GEN" ) );
	EXPECT_TRUE( fs::is_directory( scratch / "disc/SLIDE" ) );

	ToolDiscBuilder other( scratch / "other" );
	EXPECT_FALSE( other.CreateLayout( ToolDiscLayout( "../ESCAPE" ), error ) );
	EXPECT_NE( error.find( "ESCAPE" ), std::string::npos );
	EXPECT_FALSE( fs::exists( scratch / "other" ) );
	EXPECT_FALSE( fs::exists( scratch / "ESCAPE" ) );
}

TEST_F( ToolDiscTest, BuilderWritesFilesOnlyInsideTheDisc ) {
	const struct {
		const char* path;
		bool		accepted;
	} cases[] = {
		{ "LEVEL/X/GEN/A.BIN", true }, { "TOP.BIN", true },	 { "", false },		   { "../OUT.BIN", false },
		{ "A/../../OUT.BIN", false },  { "/tmp/ABS", false }, { "A/./B.BIN", false }, { "FOLDER/", false },
	};
	ToolDiscBuilder disc( scratch / "disc" );
	const u8		bytes[] = { 1, 2, 3 };
	for ( const auto& c : cases ) {
		std::string error;
		EXPECT_EQ( disc.WriteFile( c.path, bytes, error ), c.accepted ) << c.path;
		EXPECT_EQ( error.empty(), c.accepted ) << c.path << ": " << error;
		if ( c.accepted ) {
			EXPECT_EQ( ReadText( scratch / "disc" / c.path ), std::string( "\x01\x02\x03" ) ) << c.path;
		}
	}
	EXPECT_FALSE( fs::exists( scratch / "OUT.BIN" ) );
}

TEST_F( ToolDiscTest, FileHelperReplacesAFileWholeAndReportsFailures ) {
	std::string error;
	const fs::path path = scratch / "deep/er/FILE.BIN";
	ASSERT_TRUE( ToolWriteTextFile( path, "a long first version", error ) ) << error;
	ASSERT_TRUE( ToolWriteTextFile( path, "short", error ) ) << error;
	EXPECT_EQ( ReadText( path ), "short" );
	ASSERT_TRUE( ToolWriteFile( path, {}, error ) ) << error;
	EXPECT_EQ( fs::file_size( path ), 0u );

	// A file where a folder should be.
	EXPECT_FALSE( ToolWriteTextFile( path / "INSIDE.BIN", "x", error ) );
	EXPECT_NE( error.find( "FILE.BIN" ), std::string::npos ) << error;
	error.clear();
	EXPECT_FALSE( ToolMakeFolders( path, error ) );
	EXPECT_FALSE( error.empty() );
	error.clear();
	EXPECT_FALSE( ToolWriteTextFile( scratch / "deep", "x", error ) );
	EXPECT_FALSE( error.empty() );
}

TEST_F( ToolDiscTest, SampleDiscHoldsEngineIniTheSampleLevelLayoutAndTheLevelFiles ) {
	std::string error;
	ASSERT_TRUE( ToolWriteSampleDisc( scratch / "disc", gModules, error ) ) << error;

	const std::map<std::string, std::string> folders = {
		{ "GLOBAL", "<dir>" },
		{ "GLOBAL/FR", "<dir>" },
		{ "GLOBAL/GEN", "<dir>" },
		{ "LEVEL", "<dir>" },
		{ "LEVEL/SAMPLE", "<dir>" },
		{ "LEVEL/SAMPLE/FR", "<dir>" },
		{ "LEVEL/SAMPLE/FR/AUDIO", "<dir>" },
		{ "LEVEL/SAMPLE/GEN", "<dir>" },
		{ "MOVIES", "<dir>" },
		{ "SLIDE", "<dir>" },
		{ "STREAM", "<dir>" },
		{ "STREAM/SAMPLE", "<dir>" },
	};
	const std::vector<std::string> files = {
		"ENGINE.INI",
		"LEVEL/SAMPLE/FR/AUDIO/AMBIENT.SBH",
		"LEVEL/SAMPLE/FR/AUDIO/AMBIENT.TSC",
		"LEVEL/SAMPLE/FR/AUDIO/AMBIENT.TSE",
		"LEVEL/SAMPLE/FR/AUDIO/AMBIENT.sbb",
		"LEVEL/SAMPLE/FR/AUDIO/EFFECTS.SBH",
		"LEVEL/SAMPLE/FR/AUDIO/EFFECTS.TSC",
		"LEVEL/SAMPLE/FR/AUDIO/EFFECTS.TSE",
		"LEVEL/SAMPLE/FR/AUDIO/EFFECTS.sbb",
		"LEVEL/SAMPLE/FR/AUDIO/MUSIC.SBH",
		"LEVEL/SAMPLE/FR/AUDIO/MUSIC.TSC",
		"LEVEL/SAMPLE/FR/AUDIO/MUSIC.TSE",
		"LEVEL/SAMPLE/FR/FONT0.FT",
		"LEVEL/SAMPLE/FR/FONT0.PAL",
		"LEVEL/SAMPLE/FR/GLOBAL.PAL",
		"LEVEL/SAMPLE/FR/LOAD.LS",
		"LEVEL/SAMPLE/FR/LOADNTSC.TXD",
		"LEVEL/SAMPLE/FR/LOADPAL.TXD",
		"LEVEL/SAMPLE/FR/TEXDIC_0.TXD",
		"LEVEL/SAMPLE/FR/TEXT.TX",
		"LEVEL/SAMPLE/GEN/SAMPLE.GCR",
		"STREAM/SAMPLE/TONE.DSP",
		"icon.rgb",
	};
	std::map<std::string, std::string> seenFolders;
	std::vector<std::string> seenFiles;
	for ( const auto& [name, content] : Snapshot( scratch / "disc" ) ) {
		if ( content == "<dir>" ) {
			seenFolders[name] = content;
		} else {
			seenFiles.push_back( name );
		}
	}
	EXPECT_EQ( seenFolders, folders );
	EXPECT_EQ( seenFiles, files );
	EXPECT_EQ( ReadText( scratch / "disc/ENGINE.INI" ), "StartingLevelToLoad = SAMPLE.GCR\nStartingLevelPath = SAMPLE\n" );
}

TEST_F( ToolDiscTest, SampleDiscWrittenTwiceGivesTheSameBytesAndKeepsForeignFiles ) {
	std::string error;
	ASSERT_TRUE( ToolWriteSampleDisc( scratch / "disc", gModules, error ) ) << error;
	const std::map<std::string, std::string> first = Snapshot( scratch / "disc" );

	ASSERT_TRUE( ToolWriteSampleDisc( scratch / "disc", gModules, error ) ) << error;
	EXPECT_EQ( Snapshot( scratch / "disc" ), first );

	// A changed ENGINE.INI is put back; a file the builder does not own stays.
	ASSERT_TRUE( ToolWriteTextFile( scratch / "disc/ENGINE.INI", "MaxFPS = 60\n", error ) );
	ASSERT_TRUE( ToolWriteTextFile( scratch / "disc/STREAM/MUSIC.STR", "keep", error ) );
	ASSERT_TRUE( ToolWriteSampleDisc( scratch / "disc", gModules, error ) ) << error;
	std::map<std::string, std::string> withForeign = first;
	withForeign["STREAM/MUSIC.STR"]				   = "keep";
	EXPECT_EQ( Snapshot( scratch / "disc" ), withForeign );
}

TEST_F( ToolDiscTest, SampleDiscFailsWithAMessageWhereItCannotWrite ) {
	std::string error;
	ASSERT_TRUE( ToolWriteTextFile( scratch / "file", "x", error ) );
	EXPECT_FALSE( ToolWriteSampleDisc( scratch / "file", gModules, error ) );
	EXPECT_NE( error.find( "file" ), std::string::npos ) << error;

	// ENGINE.INI itself blocked by a folder of that name.
	fs::create_directories( scratch / "disc/ENGINE.INI" );
	error.clear();
	EXPECT_FALSE( ToolWriteSampleDisc( scratch / "disc", gModules, error ) );
	EXPECT_NE( error.find( "ENGINE.INI" ), std::string::npos ) << error;
}
