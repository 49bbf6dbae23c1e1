#include "DVDTestDisc.h"
#include "platform/dvd/DVDHost.h"

#include <string>

class DVDPath : public DVDTestDisc {};

TEST_F( DVDPath, FindsAFileWhateverItsCaseAndSeparators ) {
	WriteFile( "LEVEL/Gen/Data.bin", Counting( 100 ) );
	WriteFile( "LEVEL/EN/Other.bin", Counting( 7 ) );
	const s32 expected = DVDConvertPathToEntrynum( "LEVEL/Gen/Data.bin" );
	ASSERT_GE( expected, 0 );

	const char* spellings[] = {
		"level/gen/data.bin",
		"LEVEL\\GEN\\DATA.BIN",
		"/Level/gEN/data.BIN",
		"\\level/gen\\Data.bin",
		"level//gen/./data.bin",
		"level/en/../gen/data.bin",
	};
	for ( const char* path : spellings ) {
		SCOPED_TRACE( path );
		EXPECT_EQ( DVDConvertPathToEntrynum( path ), expected );
		DVDFileInfo file;
		ASSERT_TRUE( DVDOpen( path, &file ) );
		EXPECT_EQ( file.entryNum, expected );
		EXPECT_EQ( file.length, 100u );
		EXPECT_EQ( file.cb.state, DVD_STATE_END );
		EXPECT_TRUE( DVDClose( &file ) );
	}
}

TEST_F( DVDPath, RefusesPathsThatNameNoFileOnTheDisc ) {
	WriteFile( "LEVEL/GEN/DATA.BIN", Counting( 10 ) );
	WriteFile( "OUTSIDE.BIN", Counting( 10 ), true );
	const std::string longName( 300, 'x' );

	const char* paths[] = {
		"",
		"/",
		"\\\\",
		"LEVEL",						// a folder is not a file
		"LEVEL/GEN/",
		"LEVEL/GEN/MISSING.BIN",
		"LEVEL/GEN/DATA.BIN/MORE",		// a file used as a folder
		"LEVEL/GEN/DATA.BIN/.",
		"../OUTSIDE.BIN",				// nothing above the disc folder
		"LEVEL/../../OUTSIDE.BIN",
		"LEVEL/GEN/DATA.BI",
		longName.c_str(),
	};
	for ( const char* path : paths ) {
		SCOPED_TRACE( path );
		EXPECT_EQ( DVDConvertPathToEntrynum( path ), -1 );
		DVDFileInfo file;
		EXPECT_FALSE( DVDOpen( path, &file ) );
	}
	EXPECT_EQ( DVDConvertPathToEntrynum( nullptr ), -1 );

	DVDFileInfo file;
	const s32 badEntries[] = { -1, 1, 100000 };
	ASSERT_EQ( DVDConvertPathToEntrynum( "LEVEL/GEN/DATA.BIN" ), 0 );
	for ( const s32 entry : badEntries ) {
		EXPECT_FALSE( DVDFastOpen( entry, &file ) ) << entry;
	}
	EXPECT_TRUE( DVDFastOpen( 0, &file ) );
	EXPECT_FALSE( DVDFastOpen( 0, nullptr ) );
}

TEST_F( DVDPath, KeepsEachFileItsOwnEntryNumber ) {
	const char* names[] = { "A.BIN", "B/C.BIN", "B/D.BIN", "E.BIN" };
	for ( const char* name : names ) {
		WriteFile( name, Counting( 4 ) );
	}
	s32 entries[4];
	for ( u32 i = 0; i < 4; ++i ) {
		entries[i] = DVDConvertPathToEntrynum( names[i] );
		ASSERT_GE( entries[i], 0 );
		for ( u32 j = 0; j < i; ++j ) {
			EXPECT_NE( entries[i], entries[j] );
		}
	}
	// Asked again in another order and spelling, each keeps its number.
	EXPECT_EQ( DVDConvertPathToEntrynum( "e.bin" ), entries[3] );
	EXPECT_EQ( DVDConvertPathToEntrynum( "b\\d.bin" ), entries[2] );
	EXPECT_EQ( DVDConvertPathToEntrynum( "/a.bin" ), entries[0] );
	EXPECT_EQ( DVDConvertPathToEntrynum( "B/c.BIN" ), entries[1] );
}

TEST_F( DVDPath, PrefersTheExactSpellingThenTheFirstInByteOrder ) {
	WriteFile( "x.bin", { 1 } );
	WriteFile( "X.BIN", { 2, 2 } );
	WriteFile( "x.BIN", { 3, 3, 3 } );

	const struct {
		const char*	path;
		u32			length;
	} cases[] = {
		{ "x.bin", 1 },
		{ "X.BIN", 2 },
		{ "x.BIN", 3 },
		{ "X.bin", 2 },		// no exact match: "X.BIN" sorts first
	};
	for ( const auto& c : cases ) {
		SCOPED_TRACE( c.path );
		DVDFileInfo file;
		ASSERT_TRUE( DVDOpen( c.path, &file ) );
		EXPECT_EQ( file.length, c.length );
	}
}

TEST_F( DVDPath, OpensNothingBeforeTheLibraryStarts ) {
	WriteFile( "A.BIN", Counting( 4 ) );
	DVDHostReset();
	DVDFileInfo file;
	EXPECT_EQ( DVDConvertPathToEntrynum( "A.BIN" ), -1 );
	EXPECT_FALSE( DVDOpen( "A.BIN", &file ) );
	DVDInit();
	EXPECT_TRUE( DVDOpen( "A.BIN", &file ) );
}
