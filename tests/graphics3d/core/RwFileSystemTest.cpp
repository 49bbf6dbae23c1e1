#include "graphics3d/core/RwFileSystem.h"
#include "graphics3d/core/RwTestEngine.h"
#include "support/TestScratchFolder.h"

#include <cstdio>
#include <filesystem>

namespace {

TEST( RwFileSystemTest, KnowsDriveLettersAndLeadingBackslashesAsAbsolute ) {
	struct Case {
		const char*	path;
		bool		absolute;
	};
	const Case cases[] = {
		{ "C:\\textures\\a.bmp", true }, { "z:", true }, { "\\textures", true }, { "textures\\a.bmp", false },
		{ "1:\\a", false },				 { ":\\a", false }, { "/usr/share", false }, { "", false },
		{ "C", false },					 { "@:", false },	{ "[:", false },
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( _rwpathisabsolute( c.path ), c.absolute ) << c.path;
	}
	EXPECT_FALSE( _rwpathisabsolute( nullptr ) );
}

class RwFileTableTest : public RwTestCase {
protected:
	void SetUp() override {
		RwTestCase::SetUp();
		ASSERT_TRUE( RwEngineInit( nullptr, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		ASSERT_TRUE( scratch.Make( "rwfile-" ) );
		path = ( scratch / "file.bin" ).string();
	}
	TestScratchFolder scratch;
	std::string path;
};

TEST_F( RwFileTableTest, TellsWhetherAFileExists ) {
	const RwFileFunctions& f = RwEngineInstance->fileFunctions;
	EXPECT_FALSE( f.rwfexist( path.c_str() ) );
	void* const file = f.rwfopen( path.c_str(), "wb" );
	ASSERT_NE( file, nullptr );
	EXPECT_EQ( f.rwfclose( file ), 0 );
	EXPECT_TRUE( f.rwfexist( path.c_str() ) );
	EXPECT_TRUE( rwfexist( path.c_str() ) );
}

TEST_F( RwFileTableTest, ReadsWritesSeeksAndTellsThroughTheTable ) {
	const RwFileFunctions& f = RwEngineInstance->fileFunctions;
	void* file = f.rwfopen( path.c_str(), "wb" );
	ASSERT_NE( file, nullptr );
	const u8 bytes[] = { 1, 2, 3, 4, 5, 6, 7, 8 };
	EXPECT_EQ( f.rwfwrite( bytes, 1, sizeof( bytes ), file ), sizeof( bytes ) );
	EXPECT_GE( f.rwfputs( "line\n", file ), 0 );
	EXPECT_EQ( f.rwfflush( file ), 0 );
	EXPECT_EQ( f.rwftell( file ), 13 );
	f.rwfclose( file );

	file = f.rwfopen( path.c_str(), "rb" );
	ASSERT_NE( file, nullptr );
	EXPECT_EQ( f.rwfseek( file, 2, SEEK_CUR ), 0 );
	u8 read[4] = {};
	EXPECT_EQ( f.rwfread( read, 2, 2, file ), 2u );
	EXPECT_EQ( read[0], 3 );
	EXPECT_EQ( read[3], 6 );
	EXPECT_EQ( f.rwfseek( file, 8, SEEK_SET ), 0 );
	char line[16];
	EXPECT_STREQ( f.rwfgets( line, sizeof( line ), file ), "line\n" );
	EXPECT_EQ( f.rwfread( read, 1, 4, file ), 0u );
	EXPECT_NE( f.rwfeof( file ), 0 );
	f.rwfclose( file );
}

}	// namespace
