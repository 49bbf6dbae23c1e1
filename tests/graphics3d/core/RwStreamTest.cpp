#include "RwTestChunks.h"

#include "tools/lib/ToolChunkWriter.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class RwStreamTest : public RwStartedTestCase {
protected:
	void TearDown() override {
		for ( const std::string& path : paths ) {
			std::remove( path.c_str() );
		}
		RwStartedTestCase::TearDown();
	}

	// A temporary file holding bytes.
	std::string TempFile( const RwTestBytes& bytes ) {
		char path[] = "/tmp/rwstreamXXXXXX";
		const int fd = mkstemp( path );
		EXPECT_GE( fd, 0 );
		if ( !bytes.empty() ) {
			EXPECT_EQ( write( fd, bytes.data(), bytes.size() ), static_cast<ssize_t>( bytes.size() ) );
		}
		close( fd );
		paths.push_back( path );
		return path;
	}

	std::vector<std::string> paths;
};

struct Error {
	u32 pluginID;
	u32 code;
};

void ExpectError( const Error expected ) {
	const RwError error = RwTestReadError();
	EXPECT_EQ( error.pluginID, expected.pluginID );
	EXPECT_EQ( error.errorCode, expected.code );
}

const Error NO_ERROR = { 0, RWERR_NONE };
const Error END_OF_STREAM = { RWPLUGIN_CORE, RWERR_END_OF_STREAM };

TEST_F( RwStreamTest, AMemoryWriteStreamStartsAt512AndGrowsBy512OrByTheWrite ) {
	struct Case {
		std::vector<u32>	writes;
		std::vector<u32>	sizes;		// block size after each write
	};
	const Case cases[] = {
		{ { 10 }, { 512 } },
		{ { 10, 600 }, { 512, 1112 } },
		{ { 500, 20 }, { 512, 1024 } },
		{ { 1000 }, { 1512 } },
		{ { 512, 0, 1 }, { 512, 512, 1024 } },
	};
	for ( const Case& c : cases ) {
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMWRITE, nullptr );
		ASSERT_NE( stream, nullptr );
		EXPECT_EQ( stream->Type.memory.memBlock, nullptr );
		RwTestBytes expected;
		for ( size_t i = 0; i < c.writes.size(); i++ ) {
			RwTestBytes data( c.writes[i] );
			for ( size_t b = 0; b < data.size(); b++ ) {
				data[b] = static_cast<u8>( expected.size() + b );
			}
			ASSERT_EQ( RwStreamWrite( stream, data.data(), c.writes[i] ), stream );
			expected.insert( expected.end(), data.begin(), data.end() );
			EXPECT_EQ( stream->Type.memory.nSize, c.sizes[i] ) << i;
		}
		RwMemory written = { nullptr, 0 };
		EXPECT_TRUE( RwStreamClose( stream, &written ) );
		EXPECT_EQ( RwTestBytes( written.start, written.start + written.length ), expected );
		RwEngineInstance->memoryFunctions.rwfree( written.start );
	}
	ExpectError( NO_ERROR );
}

TEST_F( RwStreamTest, ReadingMoreThanIsLeftCopiesTheRestAndRecordsCoreError5 ) {
	const RwTestBytes bytes = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 };
	RwStream* const stream = RwTestOpenRead( bytes );
	ASSERT_NE( RwStreamSkip( stream, 4 ), nullptr );
	u8 buffer[20] = {};
	EXPECT_EQ( RwStreamRead( stream, buffer, 20 ), 8u );
	EXPECT_EQ( RwTestBytes( buffer, buffer + 8 ), RwTestBytes( bytes.begin() + 4, bytes.end() ) );
	EXPECT_EQ( buffer[8], 0 );
	EXPECT_EQ( RwTestReadPosition( stream ), 12u );
	ExpectError( END_OF_STREAM );
	RwStreamClose( stream, nullptr );
}

TEST_F( RwStreamTest, SkippingPastTheEndOfMemoryStopsAtTheEndAndFails ) {
	const RwTestBytes bytes( 10 );
	RwStream* const stream = RwTestOpenRead( bytes );
	ASSERT_NE( RwStreamSkip( stream, 4 ), nullptr );
	EXPECT_EQ( RwStreamSkip( stream, 0xFFFFFFFFu ), nullptr );
	EXPECT_EQ( RwTestReadPosition( stream ), 10u );
	ExpectError( END_OF_STREAM );
	RwStreamClose( stream, nullptr );
}

TEST_F( RwStreamTest, OpeningRefusesWhatTheStreamTypeCannotDo ) {
	RwMemory memory = { nullptr, 0 };
	const std::string existing = TempFile( { 1 } );
	struct Case {
		RwStreamType		type;
		RwStreamAccessType	access;
		const void*			data;
		Error				error;
	};
	const Case cases[] = {
		{ rwNASTREAM, rwSTREAMREAD, &memory, { RWPLUGIN_CORE, RWERR_BAD_STREAM_TYPE } },
		{ static_cast<RwStreamType>( 7 ), rwSTREAMREAD, &memory, { RWPLUGIN_CORE, RWERR_BAD_STREAM_TYPE } },
		{ rwSTREAMMEMORY, rwNASTREAMACCESS, &memory, { RWPLUGIN_CORE, RWERR_BAD_ACCESS } },
		{ rwSTREAMFILENAME, rwNASTREAMACCESS, existing.c_str(), { RWPLUGIN_CORE, RWERR_BAD_ACCESS } },
		{ rwSTREAMFILENAME, rwSTREAMREAD, "/nonexistent/dir/file.bin", { 0, RWERR_BAD_OPEN } },
		{ rwSTREAMMEMORY, rwSTREAMREAD, nullptr, { 0, RWERR_NULL_ARGUMENT } },
	};
	for ( const Case& c : cases ) {
		EXPECT_EQ( RwStreamOpen( c.type, c.access, c.data ), nullptr );
		ExpectError( c.error );
	}
}

TEST_F( RwStreamTest, AFileHandleTheTableCannotTellIsRefusedWithoutAnError ) {
	RwEngineInstance->fileFunctions.rwftell = []( void* ) -> s32 { return -1; };
	std::FILE* const file = std::fopen( TempFile( {} ).c_str(), "rb" );
	EXPECT_EQ( RwStreamOpen( rwSTREAMFILE, rwSTREAMREAD, file ), nullptr );
	ExpectError( NO_ERROR );
	std::fclose( file );
}

// Counts the file table's closes.
u32 fileCloses = 0;
s32 CountingClose( void* file ) {
	fileCloses++;
	return std::fclose( static_cast<std::FILE*>( file ) );
}

TEST_F( RwStreamTest, ClosingAHandleStreamKeepsTheHandleOpenAndAFileNameStreamClosesIt ) {
	RwEngineInstance->fileFunctions.rwfclose = CountingClose;
	fileCloses = 0;
	const std::string path = TempFile( { 1, 2, 3, 4 } );
	std::FILE* const file = std::fopen( path.c_str(), "rb" );
	RwStream* const handleStream = RwStreamOpen( rwSTREAMFILE, rwSTREAMREAD, file );
	ASSERT_NE( handleStream, nullptr );
	u8 byte = 0;
	EXPECT_EQ( RwStreamRead( handleStream, &byte, 1 ), 1u );
	EXPECT_TRUE( RwStreamClose( handleStream, nullptr ) );
	EXPECT_EQ( fileCloses, 0u );
	EXPECT_EQ( std::fgetc( file ), 2 );
	std::fclose( file );

	RwStream* const nameStream = RwStreamOpen( rwSTREAMFILENAME, rwSTREAMREAD, path.c_str() );
	ASSERT_NE( nameStream, nullptr );
	EXPECT_TRUE( RwStreamClose( nameStream, nullptr ) );
	EXPECT_EQ( fileCloses, 1u );
}

TEST_F( RwStreamTest, FileStreamsReadWriteAndSkipThroughTheFileTable ) {
	const std::string path = TempFile( {} );
	RwStream* const out = RwStreamOpen( rwSTREAMFILENAME, rwSTREAMWRITE, path.c_str() );
	ASSERT_NE( out, nullptr );
	const u8 data[] = { 10, 20, 30, 40, 50 };
	EXPECT_EQ( RwStreamWrite( out, data, sizeof( data ) ), out );
	EXPECT_TRUE( RwStreamClose( out, nullptr ) );

	RwStream* const in = RwStreamOpen( rwSTREAMFILENAME, rwSTREAMREAD, path.c_str() );
	ASSERT_NE( in, nullptr );
	EXPECT_EQ( RwStreamSkip( in, 2 ), in );
	u8 buffer[8] = {};
	EXPECT_EQ( RwStreamRead( in, buffer, 8 ), 3u );
	EXPECT_EQ( buffer[0], 30 );
	ExpectError( END_OF_STREAM );
	EXPECT_EQ( RwStreamWrite( in, data, 1 ), nullptr );
	ExpectError( { 0, RWERR_WRITE } );
	EXPECT_TRUE( RwStreamClose( in, nullptr ) );
}

// Custom functions that log their calls.
struct CustomLog {
	u32 closes = 0;
	u32 reads = 0;
	u32 writes = 0;
	u32 skips = 0;
};

RwStreamCustom LoggingCustom( CustomLog* log ) {
	return RwStreamCustom{
		[]( void* data ) -> s32 { static_cast<CustomLog*>( data )->closes++; return 0; },
		[]( void* data, void*, u32 length ) -> u32 { static_cast<CustomLog*>( data )->reads++; return length / 2; },
		[]( void* data, const void*, u32 ) -> bool { static_cast<CustomLog*>( data )->writes++; return false; },
		[]( void* data, u32 ) -> bool { static_cast<CustomLog*>( data )->skips++; return true; },
		log,
		nullptr,
	};
}

TEST_F( RwStreamTest, CustomStreamsHandEveryOperationToTheirFunctions ) {
	CustomLog log;
	const RwStreamCustom custom = LoggingCustom( &log );
	RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMREAD, &custom );
	ASSERT_NE( stream, nullptr );
	u8 buffer[8];
	EXPECT_EQ( RwStreamRead( stream, buffer, 8 ), 4u );
	EXPECT_EQ( RwStreamWrite( stream, buffer, 8 ), nullptr );
	EXPECT_EQ( RwStreamSkip( stream, 3 ), stream );
	EXPECT_TRUE( RwStreamClose( stream, nullptr ) );
	EXPECT_EQ( log.reads, 1u );
	EXPECT_EQ( log.writes, 1u );
	EXPECT_EQ( log.skips, 1u );
	EXPECT_EQ( log.closes, 1u );
}

TEST_F( RwStreamTest, AZeroSkipReturnsAtOnceOnEveryStreamType ) {
	const RwTestBytes bytes( 4 );
	const std::string path = TempFile( bytes );
	std::FILE* const file = std::fopen( path.c_str(), "rb" );
	RwMemory memory = { const_cast<u8*>( bytes.data() ), 4 };
	CustomLog log;
	const RwStreamCustom custom = LoggingCustom( &log );
	struct Case {
		RwStreamType	type;
		const void*		data;
	};
	const Case cases[] = {
		{ rwSTREAMFILE, file },
		{ rwSTREAMFILENAME, path.c_str() },
		{ rwSTREAMMEMORY, &memory },
		{ rwSTREAMCUSTOM, &custom },
	};
	for ( const Case& c : cases ) {
		RwStream* const stream = RwStreamOpen( c.type, rwSTREAMREAD, c.data );
		ASSERT_NE( stream, nullptr ) << c.type;
		EXPECT_EQ( RwStreamSkip( stream, 0 ), stream ) << c.type;
		EXPECT_TRUE( RwStreamClose( stream, nullptr ) );
	}
	// A stream record of no known type still takes a zero skip.
	RwStream unknown = {};
	EXPECT_EQ( RwStreamSkip( &unknown, 0 ), &unknown );
	EXPECT_EQ( log.skips, 0u );
	EXPECT_EQ( std::ftell( file ), 0 );
	std::fclose( file );
	ExpectError( NO_ERROR );
}

TEST_F( RwStreamTest, ClosingAStreamOfNoKnownTypeFailsAndKeepsTheRecord ) {
	RwStream record = {};
	record.type = static_cast<RwStreamType>( 9 );
	record.rwOwned = false;
	EXPECT_FALSE( RwStreamClose( &record, nullptr ) );
	ExpectError( { RWPLUGIN_CORE, RWERR_BAD_STREAM_TYPE } );
}

TEST_F( RwStreamTest, AnAppendStreamWritesAfterTheGivenLength ) {
	u8* const block = static_cast<u8*>( RwEngineInstance->memoryFunctions.rwmalloc( 8 ) );
	for ( u8 i = 0; i < 8; i++ ) {
		block[i] = i;
	}
	RwMemory memory = { block, 6 };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMAPPEND, &memory );
	ASSERT_NE( stream, nullptr );
	const u8 more[] = { 0xA0, 0xA1, 0xA2, 0xA3 };
	EXPECT_EQ( RwStreamWrite( stream, more, 4 ), stream );
	RwMemory written = { nullptr, 0 };
	EXPECT_TRUE( RwStreamClose( stream, &written ) );
	EXPECT_EQ( written.length, 10u );
	EXPECT_EQ( RwTestBytes( written.start, written.start + 10 ), ( RwTestBytes{ 0, 1, 2, 3, 4, 5, 0xA0, 0xA1, 0xA2, 0xA3 } ) );
	RwEngineInstance->memoryFunctions.rwfree( written.start );
}

// Runs with the host allocator so that the leak checker sees every block.
TEST_F( RwStreamTest, AWriteStreamClosedWithoutADescriptionFreesItsBlockAndAnAppendStreamNeverFreesTheCallers ) {
	RwTestShutDown();
	ASSERT_TRUE( RwTestBringUp( &rwTestCountingMemory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
	const u32 freesBefore = RwTestCountingMemory::freeCalls;
	RwStream* const writer = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMWRITE, nullptr );
	const u8 data[600] = {};
	ASSERT_EQ( RwStreamWrite( writer, data, sizeof( data ) ), writer );
	EXPECT_TRUE( RwStreamClose( writer, nullptr ) );
	// The block and the stream record.
	EXPECT_EQ( RwTestCountingMemory::freeCalls, freesBefore + 2 );

	u8 callers[16] = { 1, 2, 3, 4, 5, 6, 7, 8 };
	RwMemory memory = { callers, 8 };
	RwStream* const appender = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMAPPEND, &memory );
	ASSERT_NE( appender, nullptr );
	EXPECT_TRUE( RwStreamClose( appender, nullptr ) );
	EXPECT_EQ( RwTestCountingMemory::freeCalls, freesBefore + 3 );
	EXPECT_EQ( RwTestBytes( callers, callers + 8 ), ( RwTestBytes{ 1, 2, 3, 4, 5, 6, 7, 8 } ) );
}

TEST_F( RwStreamTest, StampsDecodeOldAndNewFormsAndEncodeThisSystemsVersion ) {
	struct Case {
		u32 stamp;
		u32 version;
		u32 build;
	};
	const Case cases[] = {
		{ 0x310, 0x31000, 0 },
		{ 0x340, 0x34000, 0 },
		{ 0xFFFF, 0xFFFF00, 0 },
		{ 0x1003FFFF, 0x34003, 0xFFFF },
		{ 0x0C02FFFF, 0x33002, 0xFFFF },
		{ 0x10000001, 0x34000, 1 },
	};
	for ( const Case& c : cases ) {
		u32 version = 0;
		u32 build = 0;
		_rwStreamDecodeStamp( c.stamp, &version, &build );
		EXPECT_EQ( version, c.version ) << std::hex << c.stamp;
		EXPECT_EQ( build, c.build ) << std::hex << c.stamp;
		if ( c.stamp > 0xFFFF ) {
			EXPECT_EQ( _rwStreamEncodeStamp( c.version, c.build ), c.stamp );
		}
	}
	EXPECT_EQ( _rwStreamEncodeStamp( RWLIBRARY_VERSION, RWLIBRARY_BUILD ), 0x1003FFFFu );
}

TEST_F( RwStreamTest, WritesChunkHeadersAsTheToolsDoAndAsPinnedBytes ) {
	const RwTestBytes written = RwTestHeader( rwID_FRAMELIST, 0x1234 );
	EXPECT_EQ( written, ( RwTestBytes{ 0x0E, 0, 0, 0, 0x34, 0x12, 0, 0, 0xFF, 0xFF, 0x03, 0x10 } ) );

	ToolChunkWriter tools;
	tools.BeginChunk( rwID_STRUCT );
	tools.WriteU32( 0xCAFEF00D );
	tools.WriteF32( 1.5f );
	ASSERT_TRUE( tools.EndChunk() );
	RwTestBytes image;
	ASSERT_TRUE( tools.Finish( image ) );
	EXPECT_EQ( RwTestChunk( rwID_STRUCT, RwTestConcat( { RwTestWords( { 0xCAFEF00D } ), RwTestReals( { 1.5f } ) } ) ), image );
}

TEST_F( RwStreamTest, FindChunkAcceptsVersionsInTheWindowAndRefusesTheOthers ) {
	// Hand-made: a struct chunk of 4 bytes with the old stamp 0x310.
	const RwTestBytes oldStamp = { 0x01, 0, 0, 0, 0x04, 0, 0, 0, 0x10, 0x03, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD };
	struct Case {
		RwTestBytes	data;
		bool		found;
		u32			version;
	};
	const Case cases[] = {
		{ oldStamp, true, 0x31000 },
		{ RwTestChunk( rwID_STRUCT, RwTestWords( { 7 } ), 0x34003 ), true, 0x34003 },
		{ RwTestChunk( rwID_STRUCT, RwTestWords( { 7 } ), 0x31000 ), true, 0x31000 },
		{ RwTestChunk( rwID_STRUCT, RwTestWords( { 7 } ), 0x30FFF ), false, 0 },
		{ RwTestChunk( rwID_STRUCT, RwTestWords( { 7 } ), 0x34004 ), false, 0 },
	};
	for ( const Case& c : cases ) {
		RwStream* const stream = RwTestOpenRead( c.data );
		u32 length = 0;
		u32 version = 0;
		EXPECT_EQ( RwStreamFindChunk( stream, rwID_STRUCT, &length, &version ), c.found );
		if ( c.found ) {
			EXPECT_EQ( version, c.version );
			EXPECT_EQ( length, 4u );
			EXPECT_EQ( RwTestReadPosition( stream ), 12u );
			ExpectError( NO_ERROR );
		} else {
			ExpectError( { 0, RWERR_BAD_VERSION } );
		}
		RwStreamClose( stream, nullptr );
	}
}

TEST_F( RwStreamTest, FindChunkSkipsOtherChunksWithoutCheckingTheirVersions ) {
	const RwTestBytes data = RwTestConcat( {
		RwTestChunk( rwID_STRING, RwTestBytes( 5, 'x' ), 0x20000 ),
		RwTestChunk( rwID_EXTENSION, {} ),
		RwTestChunk( rwID_STRUCT, RwTestWords( { 1, 2 } ) ),
	} );
	RwStream* const stream = RwTestOpenRead( data );
	EXPECT_TRUE( RwStreamFindChunk( stream, rwID_STRUCT, nullptr, nullptr ) );
	EXPECT_EQ( RwTestReadPosition( stream ), data.size() - 8 );
	ExpectError( NO_ERROR );
	RwStreamClose( stream, nullptr );
}

TEST_F( RwStreamTest, FindChunkFailsWhenTheChunksRunOutAndTheFirstErrorStays ) {
	const RwTestBytes data = RwTestConcat( { RwTestChunk( rwID_STRING, RwTestBytes( 3, 'a' ) ), RwTestChunk( rwID_EXTENSION, {} ) } );
	RwStream* const stream = RwTestOpenRead( data );
	EXPECT_FALSE( RwStreamFindChunk( stream, rwID_STRUCT, nullptr, nullptr ) );
	// The short header read from memory recorded error 5 first.
	ExpectError( END_OF_STREAM );
	RwStreamClose( stream, nullptr );
}

TEST_F( RwStreamTest, AShortHeaderFromACustomStreamRecordsAReadFailure ) {
	CustomLog log;
	const RwStreamCustom custom = LoggingCustom( &log );
	RwStream* const stream = RwStreamOpen( rwSTREAMCUSTOM, rwSTREAMREAD, &custom );
	u32 type = 0;
	EXPECT_FALSE( _rwStreamReadChunkHeader( stream, &type, nullptr, nullptr, nullptr ) );
	ExpectError( { 0, RWERR_READ } );
	RwStreamClose( stream, nullptr );
}

}	// namespace
