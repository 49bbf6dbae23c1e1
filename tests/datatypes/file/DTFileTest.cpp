#include "DTFileTestBench.h"
#include "platform/dvd/DVDHost.h"

#include <cstring>

namespace {

class DTFileTest : public DTFileTestBench {
protected:
	// The latest read the drive accepted.
	static DVDHostReadRecord LastRead() {
		DVDHostReadRecord record = {};
		EXPECT_TRUE( DVDHostRecentRead( 0, &record ) );
		return record;
	}
};

TEST_F( DTFileTest, OpensTheSameFileWhateverItsSeparatorsAndCase ) {
	WriteFile( "LEVEL/GEN/DATA.BIN", Pattern( 100 ) );
	const char* spellings[] = {
		"LEVEL/GEN/DATA.BIN",
		"LEVEL\\GEN\\DATA.BIN",
		"level\\Gen/data.bin",
		"\\Level\\gen\\Data.Bin",
	};
	for ( const char* path : spellings ) {
		SCOPED_TRACE( path );
		DTFileHandle_* file = DTFopen( path, "r" );
		ASSERT_NE( file, nullptr );
		EXPECT_EQ( file->offset, 0u );
		EXPECT_EQ( DTFsize( file ), 100u );
		EXPECT_EQ( DTFsize( path ), 100u );
		EXPECT_EQ( std::strchr( gCurrFileName, '\\' ), nullptr );
		u8 bytes[4] = {};
		EXPECT_EQ( DTFread( bytes, 1, 4, file ), 4u );
		EXPECT_EQ( bytes[0], Pattern( 4 )[0] );
		EXPECT_EQ( DTFclose( file ), 1 );
		EXPECT_EQ( file->offset, DT_FILE_OFFSET_NONE );
	}
}

TEST_F( DTFileTest, FailsToOpenMissingAndOverlongPathsLeavingTheHandleFree ) {
	WriteFile( "A.BIN", Pattern( 10 ) );
	// The longest path that fits the name buffer with its terminator, and
	// the shortest that does not; both name a file that exists.
	const std::string fits = std::string( DT_FILE_NAME_MAX - 1 - 5, '/' ) + "A.BIN";
	const std::string tooLong = std::string( DT_FILE_NAME_MAX - 5, '/' ) + "A.BIN";
	ASSERT_EQ( fits.size(), DT_FILE_NAME_MAX - 1 );

	struct Case {
		const char*	path;
		bool		opens;
	};
	const Case cases[] = {
		{ "MISSING.BIN",	false },
		{ "",				false },
		{ nullptr,			false },
		{ tooLong.c_str(),	false },
		{ fits.c_str(),		true },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.path != nullptr ? std::string( c.path ).substr( 0, 20 ) : "null" );
		DTFileHandle_* file = DTFopen( c.path, "r" );
		EXPECT_EQ( file != nullptr, c.opens );
		EXPECT_EQ( DTFsize( c.path ), c.opens ? 10u : 0u );
		EXPECT_EQ( gFileHandleArray[0].mui32InUse, c.opens ? 1u : 0u );
		EXPECT_EQ( gFileHandleArray[0].offset, c.opens ? 0u : DT_FILE_OFFSET_NONE );
		DTFclose( file );
	}
}

TEST_F( DTFileTest, RefusesANinthOpenWithTheFrenchMessageAndCountsLeadingHandles ) {
	WriteFile( "A.BIN", Pattern( 10 ) );
	DTFileHandle_* files[DT_FILE_HANDLE_COUNT];
	for ( u32 i = 0; i < DT_FILE_HANDLE_COUNT; ++i ) {
		files[i] = DTFopen( "A.BIN", "r" );
		ASSERT_EQ( files[i], &gFileHandleArray[i] );
		EXPECT_EQ( DTNbrFileInUse(), i + 1 );
	}
	testing::internal::CaptureStdout();
	EXPECT_EQ( DTFopen( "A.BIN", "r" ), nullptr );
	EXPECT_EQ( testing::internal::GetCapturedStdout(), "Trop de fichiers ouvert en meme temps (> 8).\n" );

	// A gap counts as the end, although later handles are still open.
	EXPECT_EQ( DTFclose( files[2] ), 1 );
	EXPECT_EQ( DTFclose( files[2] ), -1 );
	EXPECT_EQ( DTNbrFileInUse(), 2u );
	EXPECT_EQ( DTFopen( "A.BIN", "r" ), files[2] );
	EXPECT_EQ( DTNbrFileInUse(), DT_FILE_HANDLE_COUNT );
	EXPECT_EQ( DTFclose( nullptr ), -1 );
}

TEST_F( DTFileTest, ReadsThroughChunksStartingADiscReadOnlyWhenNeeded ) {
	const u32 length = 2 * DVD_READ_SIZE + 1000;
	const std::vector<u8> data = Pattern( length );
	WriteFile( "BIG.BIN", data );
	DTFileHandle_* file = DTFopen( "BIG.BIN", "r" );
	ASSERT_NE( file, nullptr );

	struct Step {
		const char*	what;
		u32			setOffset;		// DT_FILE_OFFSET_NONE: keep it
		u32			size;
		u32			count;
		u32			returned;
		u32			newReads;
		u32			lastReadOffset;	// of the latest disc read
		u32			lastReadLength;
	};
	const u32 keep = DT_FILE_OFFSET_NONE;
	const Step steps[] = {
		{ "nothing asked",				keep,  1, 0,		0,		0, 0, 0 },
		{ "zero-size elements",			keep,  0, 9,		0,		0, 0, 0 },
		{ "first bytes",				keep,  4, 25,		100,	1, 0, DVD_READ_SIZE },
		{ "inside the buffered chunk",	keep,  1, 500,		500,	0, 0, DVD_READ_SIZE },
		{ "up to the boundary",			keep,  1, DVD_READ_SIZE - 600, DVD_READ_SIZE - 600, 0, 0, DVD_READ_SIZE },
		{ "across two boundaries",		keep,  1, DVD_READ_SIZE + 10, DVD_READ_SIZE + 10, 2, 2 * DVD_READ_SIZE, 1024 },
		{ "moved back directly",		50,    1, 10,		10,		1, 0, DVD_READ_SIZE },
		{ "moved within the chunk",		20000, 1, 10,		10,		0, 0, DVD_READ_SIZE },
		{ "moved to a boundary",		DVD_READ_SIZE, 1, 10, 10,	1, DVD_READ_SIZE, DVD_READ_SIZE },
		{ "cut at the end",				length - 3, 2, 4,	3,		1, 2 * DVD_READ_SIZE, 1024 },
		{ "at the end",					keep,  1, 1,		0,		0, 2 * DVD_READ_SIZE, 1024 },
		{ "past the end",				length + 40, 1, 8,	0,		0, 2 * DVD_READ_SIZE, 1024 },
		{ "offset of a closed handle",	DT_FILE_OFFSET_NONE - 0, 1, 8, 0, 0, 2 * DVD_READ_SIZE, 1024 },
	};
	for ( const Step& step : steps ) {
		SCOPED_TRACE( step.what );
		if ( step.setOffset != keep || std::strcmp( step.what, "offset of a closed handle" ) == 0 ) {
			file->offset = step.setOffset;
		}
		const u32 start = file->offset;
		const u32 readsBefore = DVDHostReadCount();
		std::vector<u8> out( step.size * step.count + 16, 0xEE );
		EXPECT_EQ( DTFread( out.data(), step.size, step.count, file ), step.returned );
		EXPECT_EQ( DVDHostReadCount() - readsBefore, step.newReads );
		if ( DVDHostReadCount() > 0 ) {
			const DVDHostReadRecord read = LastRead();
			EXPECT_EQ( read.offset, step.lastReadOffset );
			EXPECT_EQ( read.length, step.lastReadLength );
			EXPECT_EQ( read.priority, DVD_PRIO_NORMAL );
		}
		for ( u32 i = 0; i < step.returned; ++i ) {
			ASSERT_EQ( out[i], data[start + i] ) << "byte " << i;
		}
		for ( u32 i = step.returned; i < out.size(); ++i ) {
			ASSERT_EQ( out[i], 0xEE ) << "untouched byte " << i;
		}
		if ( step.returned > 0 ) {
			EXPECT_EQ( file->offset, start + step.returned );
		}
	}
}

TEST_F( DTFileTest, HandlesSizeTimesCountBeyondThirtyTwoBits ) {
	WriteFile( "A.BIN", Pattern( 64 ) );
	DTFileHandle_* file = DTFopen( "A.BIN", "r" );
	ASSERT_NE( file, nullptr );
	// 0x10000 x 0x10001 wraps to 0x10000 in 32 bits; the file has 64 bytes.
	std::vector<u8> out( 64 );
	EXPECT_EQ( DTFread( out.data(), 0x10000, 0x10001, file ), 64u );
	EXPECT_EQ( out, Pattern( 64 ) );
}

TEST_F( DTFileTest, ReadsNothingThroughAClosedHandle ) {
	WriteFile( "A.BIN", Pattern( 64 ) );
	DTFileHandle_* file = DTFopen( "A.BIN", "r" );
	ASSERT_NE( file, nullptr );
	DTFclose( file );
	file->offset = 0;
	u8 out[8] = {};
	EXPECT_EQ( DTFread( out, 1, 8, file ), 0u );
	EXPECT_EQ( DTFread( out, 1, 8, nullptr ), 0u );
	EXPECT_EQ( DVDHostReadCount(), 0u );
}

TEST_F( DTFileTest, RetriesRefusedRequestsAndFailedChunksUntilTheBytesArrive ) {
	const std::vector<u8> data = Pattern( DVD_READ_SIZE + 300 );
	WriteFile( "A.BIN", data );

	struct Case {
		const char*	what;
		u32			startOffset;
		u32			refusals;
		u32			failures;	// the first reads accepted fail
		u32			reads;		// accepted reads in all
	};
	const Case cases[] = {
		{ "refused twice",					0,     2, 0, 1 },
		{ "two failed chunks",				0,     0, 2, 3 },
		{ "failure inside a chunk",			100,   0, 1, 2 },
		{ "failure of the last chunk",		DVD_READ_SIZE + 8, 1, 3, 4 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.what );
		DTFileHandle_* file = DTFopen( "A.BIN", "r" );
		ASSERT_NE( file, nullptr );
		file->offset = c.startOffset;
		DVDHostScriptRefusedReads( c.refusals );
		for ( u32 i = 1; i <= c.failures; ++i ) {
			ASSERT_TRUE( DVDHostScriptFailedRead( i ) );
		}
		const u32 readsBefore = DVDHostReadCount();
		std::vector<u8> out( 200 );
		EXPECT_EQ( DTFread( out.data(), 1, 200, file ), 200u );
		EXPECT_EQ( DVDHostReadCount() - readsBefore, c.reads );
		EXPECT_EQ( geDVDState, DT_DVD_STATE_DONE );
		EXPECT_TRUE( std::equal( out.begin(), out.end(), data.begin() + c.startOffset ) );
		DTFclose( file );
	}
}

TEST_F( DTFileTest, ReadsAgainAfterANewOpenInsteadOfReusingTheLastFilesBytes ) {
	// A new open forgets the buffered chunk: an offset moved into it reads
	// the new file instead of copying the last file's bytes.
	const std::vector<u8> first = Pattern( 4096 );
	WriteFile( "A.BIN", first );
	std::vector<u8> second( 4096, 0x5A );
	WriteFile( "B.BIN", second );
	DTFileHandle_* a = DTFopen( "A.BIN", "r" );
	ASSERT_NE( a, nullptr );
	std::vector<u8> out( 16 );
	ASSERT_EQ( DTFread( out.data(), 1, 16, a ), 16u );
	DTFclose( a );

	// The same handle opens another file: its buffer still holds A's bytes.
	DTFileHandle_* b = DTFopen( "B.BIN", "r" );
	ASSERT_EQ( b, a );
	b->offset = 100;
	const u32 readsBefore = DVDHostReadCount();
	ASSERT_EQ( DTFread( out.data(), 1, 16, b ), 16u );
	EXPECT_EQ( DVDHostReadCount() - readsBefore, 1u );
	EXPECT_EQ( out, std::vector<u8>( 16, 0x5A ) );
}

TEST_F( DTFileTest, KeepsWaitingWhileTheDriveIsIdleBeforeTheCompletionArrives ) {
	const std::vector<u8> first = Pattern( 2 * DVD_READ_SIZE );
	WriteFile( "A.BIN", first );
	DTFileHandle_* file = DTFopen( "A.BIN", "r" );
	ASSERT_NE( file, nullptr );
	std::vector<u8> out( 64 );
	ASSERT_EQ( DTFread( out.data(), 1, 64, file ), 64u );

	// The buffer now holds chunk 0; chunk 1's bytes arrive only with its
	// completion, after the drive has already reported idle five times.
	DVDHostScriptLateCompletion( 5 );
	file->offset = DVD_READ_SIZE;
	ASSERT_EQ( DTFread( out.data(), 1, 64, file ), 64u );
	EXPECT_TRUE( std::equal( out.begin(), out.end(), first.begin() + DVD_READ_SIZE ) );
	EXPECT_EQ( geDVDState, DT_DVD_STATE_DONE );
}

TEST_F( DTFileTest, AsksForTheChunkLengthRoundedUpToThirtyTwo ) {
	struct Case {
		u32		fileLength;
		u32		offset;
		u32		readLength;
	};
	const Case cases[] = {
		{ 1,						0,					32 },
		{ 32,						0,					32 },
		{ 33,						0,					64 },
		{ DVD_READ_SIZE,			0,					DVD_READ_SIZE },
		{ DVD_READ_SIZE + 1,		DVD_READ_SIZE,		32 },
		{ DVD_READ_SIZE + 1,		5,					DVD_READ_SIZE },
		{ 3 * DVD_READ_SIZE - 40,	2 * DVD_READ_SIZE,	DVD_READ_SIZE - 32 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( testing::Message() << c.fileLength << " at " << c.offset );
		const std::vector<u8> data = Pattern( c.fileLength );
		WriteFile( "A.BIN", data );
		DTFileHandle_* file = DTFopen( "A.BIN", "r" );
		ASSERT_NE( file, nullptr );
		file->offset = c.offset;
		u8 out = 0;
		EXPECT_EQ( DTFread( &out, 1, 1, file ), 1u );
		EXPECT_EQ( out, data[c.offset] );
		EXPECT_EQ( LastRead().length, c.readLength );
		EXPECT_EQ( LastRead().offset, c.offset / DVD_READ_SIZE * DVD_READ_SIZE );
		DTFclose( file );
	}
}

TEST_F( DTFileTest, PrintsTheUnimplementedCallsAndDoesNothingElse ) {
	WriteFile( "A.BIN", Pattern( 64 ) );
	DTFileHandle_* file = DTFopen( "A.BIN", "r" );
	ASSERT_NE( file, nullptr );
	char line[16] = "unchanged";
	testing::internal::CaptureStdout();
	DTFwrite( line, 1, 4, file );
	DTFseek( file, 10, 0 );
	DTUnlink( "A.BIN" );
	DTFputs( "x", file );
	EXPECT_EQ( DTFgets( line, sizeof( line ), file ), nullptr );
	EXPECT_EQ( testing::internal::GetCapturedStdout(),
			   "DTFwrite Unimplemented function\n"
			   "DTFseek Unimplemented function\n"
			   "DTUnlink Unimplemented function\n"
			   "DTFputs Unimplemented function\n"
			   "DTFgets Unimplemented function\n" );
	EXPECT_STREQ( line, "unchanged" );
	EXPECT_EQ( file->offset, 0u );
	EXPECT_EQ( DTFsize( "A.BIN" ), 64u );
	EXPECT_EQ( DVDHostReadCount(), 0u );
	EXPECT_EQ( fnFscanf, nullptr );
	EXPECT_EQ( fnFprintf, nullptr );
}

}
