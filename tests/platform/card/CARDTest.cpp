/*
	The host memory cards: polled asynchronous calls, the results of
	misuse and of full or missing cards, scripted faults, and cards that
	survive in their folders from one run to the next.
*/
#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"
#include "support/HostTestDisc.h"
#include "tools/lib/ToolFile.h"
#include "tools/lib/save/ToolCardFileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<u8> ReadHostFile( const std::filesystem::path& path ) {
	std::ifstream in( path, std::ios::binary );
	return std::vector<u8>( std::istreambuf_iterator<char>( in ), {} );
}

class CARDTest : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open( { .prefix = "card_test_" } ) );
		CARDHostReset();
		CARDInit();
	}
	void TearDown() override {
		CARDHostReset();
		disc.Close();
	}

	// Polls an asynchronous call to its end; the number of busy answers.
	static s32 Wait( const s32 chan, u32* busy = nullptr ) {
		u32 polls = 0;
		s32 result = CARD_RESULT_BUSY;
		while ( ( result = CARDGetResultCode( chan ) ) == CARD_RESULT_BUSY && polls < 100 ) {
			polls++;
		}
		if ( busy != nullptr ) {
			*busy = polls;
		}
		return result;
	}

	s32 Mount( const s32 chan = CARD_SLOT_A ) {
		return CARDMount( chan, workArea.data() );
	}

	// Creates a file of sectors whole sectors, open in info.
	s32 Create( const char* name, const u32 sectors, CARDFileInfo& info ) {
		const s32 started = CARDCreateAsync( CARD_SLOT_A, name, sectors * CARD_HOST_DEFAULT_SECTOR_SIZE, &info );
		return started != CARD_RESULT_READY ? started : Wait( CARD_SLOT_A );
	}

	std::filesystem::path Slot( const char* name ) const { return disc.Root() / "card" / name; }

	HostTestDisc		disc;
	std::vector<u8>		workArea = std::vector<u8>( CARD_WORKAREA_SIZE );
};

TEST_F( CARDTest, StartMakesSlotAOnlyWhenNoCardExists ) {
	EXPECT_TRUE( std::filesystem::is_directory( Slot( "A" ) ) );
	std::filesystem::remove_all( Slot( "A" ) );
	std::filesystem::create_directories( Slot( "B" ) );
	CARDHostReset();
	CARDInit();
	EXPECT_FALSE( std::filesystem::exists( Slot( "A" ) ) );
	s32 memSize = 0, sectorSize = 0;
	EXPECT_EQ( CARDProbeEx( CARD_SLOT_A, &memSize, &sectorSize ), CARD_RESULT_NOCARD );
	EXPECT_EQ( CARDProbeEx( CARD_SLOT_B, &memSize, &sectorSize ), CARD_RESULT_READY );
	EXPECT_EQ( memSize, 4 );
	EXPECT_EQ( sectorSize, 8192 );
}

TEST_F( CARDTest, AsynchronousCallsAnswerBusyForTheirPollsThenTheirResult ) {
	struct Row {
		const char*	name;
		bool		setNext;
		u32			polls;
	};
	const Row rows[] = {
		{ "default", false, CARD_HOST_DEFAULT_BUSY_POLLS },
		{ "none", true, 0 },
		{ "five for the next call", true, 5 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		if ( row.setNext ) {
			CARDHostSetNextBusyPolls( row.polls );
		}
		ASSERT_EQ( CARDMountAsync( CARD_SLOT_A, workArea.data() ), CARD_RESULT_READY );
		// A second start while one is in flight.
		EXPECT_EQ( CARDCheckAsync( CARD_SLOT_A ), CARD_RESULT_BUSY );
		u32 busy = 0;
		EXPECT_EQ( Wait( CARD_SLOT_A, &busy ), CARD_RESULT_READY );
		EXPECT_EQ( busy, row.polls );
		// The result stays the channel's code.
		EXPECT_EQ( CARDGetResultCode( CARD_SLOT_A ), CARD_RESULT_READY );
	}
}

TEST_F( CARDTest, MisuseAndMissingThingsGiveTheirResults ) {
	ASSERT_EQ( Mount(), CARD_RESULT_READY );
	CARDFileInfo info = {};
	ASSERT_EQ( Create( "FILE", 2, info ), CARD_RESULT_READY );
	std::vector<u8> buffer( 3 * CARD_HOST_DEFAULT_SECTOR_SIZE );
	CARDFileInfo closed = info;
	closed.chan = -1;
	CARDStat unused = {};
	struct Row {
		const char*	name;
		s32			started;	// the start's result, or 0 and then the completion's
		s32			completed;
	};
	auto create = [&]( const char* name, const u32 size ) {
		CARDFileInfo other = {};
		const s32 started = CARDCreateAsync( CARD_SLOT_A, name, size, &other );
		return Row{ name, started, started == 0 ? Wait( CARD_SLOT_A ) : started };
	};
	auto read = [&]( const s32 length, const s32 offset, CARDFileInfo* file ) {
		const s32 started = CARDReadAsync( file, buffer.data(), length, offset );
		return Row{ "read", started, started == 0 ? Wait( CARD_SLOT_A ) : started };
	};
	auto write = [&]( const s32 length, const s32 offset ) {
		const s32 started = CARDWriteAsync( &info, buffer.data(), length, offset );
		return Row{ "write", started, started == 0 ? Wait( CARD_SLOT_A ) : started };
	};
	struct Case {
		Row			row;
		s32			expected;
	};
	const Case cases[] = {
		{ create( "FILE", 8192 ), CARD_RESULT_EXIST },
		{ create( "0123456789012345678901234567890123", 8192 ), CARD_RESULT_NAMETOOLONG },
		{ create( "PART", 100 ), CARD_RESULT_FATAL_ERROR },
		{ create( "HUGE", 58 * 8192 ), CARD_RESULT_INSSPACE },
		{ read( 1000, 0, &info ), CARD_RESULT_FATAL_ERROR },
		{ read( 512, 16384, &info ), CARD_RESULT_LIMIT },
		{ read( 512, 0, &closed ), CARD_RESULT_FATAL_ERROR },
		{ write( 4096, 0 ), CARD_RESULT_FATAL_ERROR },
		{ write( 8192, 4096 ), CARD_RESULT_FATAL_ERROR },
		{ write( 3 * 8192, 0 ), CARD_RESULT_LIMIT },
		{ { "open", CARDOpen( CARD_SLOT_A, "NONE", &closed ), 0 }, CARD_RESULT_NOFILE },
		{ { "delete", CARDDeleteAsync( CARD_SLOT_A, "NONE" ), Wait( CARD_SLOT_A ) }, CARD_RESULT_NOFILE },
		{ { "status", CARDGetStatus( CARD_SLOT_A, 127, nullptr ), 0 }, CARD_RESULT_FATAL_ERROR },
		{ { "unused status", CARDGetStatus( CARD_SLOT_A, 5, &unused ), 0 }, CARD_RESULT_NOFILE },
		{ { "mount without work area", CARDMount( CARD_SLOT_B, nullptr ), 0 }, CARD_RESULT_FATAL_ERROR },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.row.name );
		EXPECT_EQ( c.row.started < 0 ? c.row.started : c.row.completed, c.expected );
	}
	// Unmounted and pulled cards.
	EXPECT_EQ( CARDUnmount( CARD_SLOT_A ), CARD_RESULT_READY );
	EXPECT_EQ( CARDOpen( CARD_SLOT_A, "FILE", &closed ), CARD_RESULT_NOCARD );
	EXPECT_EQ( Mount(), CARD_RESULT_READY );
	CARDHostPullCard( CARD_SLOT_A );
	EXPECT_EQ( CARDReadAsync( &info, buffer.data(), 512, 0 ), CARD_RESULT_NOCARD );
	EXPECT_EQ( CARDProbeEx( CARD_SLOT_A, nullptr, nullptr ), CARD_RESULT_NOCARD );
	ASSERT_TRUE( CARDHostInsertCard( CARD_SLOT_A ) );
	EXPECT_EQ( Mount(), CARD_RESULT_READY );
	s32 bytes = 0, files = 0;
	EXPECT_EQ( CARDFreeBlocks( CARD_SLOT_A, &bytes, &files ), CARD_RESULT_READY );
	EXPECT_EQ( bytes, 57 * 8192 );
	EXPECT_EQ( files, 126 );
}

TEST_F( CARDTest, FilesAndStatusSurviveAFreshLibraryOverTheFolder ) {
	ASSERT_EQ( Mount(), CARD_RESULT_READY );
	CARDFileInfo info = {};
	const char* const name = "Save 1/a";
	ASSERT_EQ( Create( name, 1, info ), CARD_RESULT_READY );
	std::vector<u8> bytes( 8192 );
	for ( size_t i = 0; i < bytes.size(); i++ ) {
		bytes[i] = static_cast<u8>( i * 7 );
	}
	ASSERT_EQ( CARDWriteAsync( &info, bytes.data(), 8192, 0 ), CARD_RESULT_READY );
	EXPECT_EQ( Wait( CARD_SLOT_A ), CARD_RESULT_READY );
	CARDStat stat = {};
	ASSERT_EQ( CARDGetStatus( CARD_SLOT_A, info.fileNo, &stat ), CARD_RESULT_READY );
	stat.commentAddr = 4;
	stat.iconAddr = 68;
	stat.iconFormat = CARD_STAT_ICON_RGB5A3;
	stat.iconSpeed = CARD_STAT_SPEED_SLOW;
	ASSERT_EQ( CARDSetStatus( CARD_SLOT_A, info.fileNo, &stat ), CARD_RESULT_READY );
	EXPECT_EQ( CARDClose( &info ), CARD_RESULT_READY );

	// The host file carries the escaped name.
	EXPECT_EQ( ReadHostFile( Slot( "A" ) / ToolCardStoredName( name ) ), bytes );
	EXPECT_EQ( ToolCardStoredName( name ), "Save%201%2Fa" );

	CARDHostReset();
	CARDInit();
	ASSERT_EQ( Mount(), CARD_RESULT_READY );
	ASSERT_EQ( CARDOpen( CARD_SLOT_A, name, &info ), CARD_RESULT_READY );
	CARDStat again = {};
	ASSERT_EQ( CARDGetStatus( CARD_SLOT_A, info.fileNo, &again ), CARD_RESULT_READY );
	EXPECT_EQ( std::string( again.fileName ), name );
	EXPECT_EQ( again.length, 8192u );
	EXPECT_EQ( again.commentAddr, 4u );
	EXPECT_EQ( again.iconAddr, 68u );
	EXPECT_EQ( again.iconFormat, CARD_STAT_ICON_RGB5A3 );
	EXPECT_EQ( again.iconSpeed, CARD_STAT_SPEED_SLOW );
	std::vector<u8> read( 8192 );
	ASSERT_EQ( CARDReadAsync( &info, read.data(), 8192, 0 ), CARD_RESULT_READY );
	EXPECT_EQ( Wait( CARD_SLOT_A ), CARD_RESULT_READY );
	EXPECT_EQ( read, bytes );

	// Deleting removes the host file and the directory line.
	ASSERT_EQ( CARDDeleteAsync( CARD_SLOT_A, name ), CARD_RESULT_READY );
	EXPECT_EQ( Wait( CARD_SLOT_A ), CARD_RESULT_READY );
	EXPECT_FALSE( std::filesystem::exists( Slot( "A" ) / ToolCardStoredName( name ) ) );
	EXPECT_TRUE( ReadHostFile( Slot( "A" ) / "directory.txt" ).empty() );
}

TEST_F( CARDTest, GeometryComesFromTheCardsConfiguration ) {
	std::string error;
	ASSERT_TRUE( ToolWriteTextFile( Slot( "B" ) / "card.cfg", "sectorSize 16384\nsectors 128\n", error ) ) << error;
	s32 memSize = 0, sectorSize = 0;
	ASSERT_EQ( CARDProbeEx( CARD_SLOT_B, &memSize, &sectorSize ), CARD_RESULT_READY );
	EXPECT_EQ( memSize, 16 );
	EXPECT_EQ( sectorSize, 16384 );
	ASSERT_EQ( Mount( CARD_SLOT_B ), CARD_RESULT_READY );
	s32 bytes = 0, files = 0;
	EXPECT_EQ( CARDFreeBlocks( CARD_SLOT_B, &bytes, &files ), CARD_RESULT_READY );
	EXPECT_EQ( bytes, 123 * 16384 );
	EXPECT_EQ( files, 127 );
}

TEST_F( CARDTest, DamagedDirectoriesMakeTheCardBrokenUntilCheckedOrFormatted ) {
	const char* const directories[] = {
		"0 FILE 8192\n",					// too few fields
		"0 FILE 8192 0 4 44 2 3 0",			// no line end
		"0 FILE 100 0 4 44 2 3 0\n",		// not whole sectors
		"127 FILE 8192 0 4 44 2 3 0\n",		// file number past the directory
		"0 A 8192 0 4 44 2 3 0\n0 B 8192 0 4 44 2 3 0\n",	// one number twice
		"0 A 8192 0 4 44 2 3 0\n1 A 8192 0 4 44 2 3 0\n",	// one name twice
		"0 A%2 8192 0 4 44 2 3 0\n",		// cut escape
		"0 A 491520 0 4 44 2 3 0\n",		// more sectors than the card has
	};
	for ( size_t i = 0; i < std::size( directories ); i++ ) {
		SCOPED_TRACE( directories[i] );
		std::string error;
		ASSERT_TRUE( ToolWriteTextFile( Slot( "A" ) / "directory.txt", directories[i], error ) ) << error;
		CARDHostSetCheckResult( CARD_SLOT_A, CARD_RESULT_BROKEN );
		EXPECT_EQ( Mount(), CARD_RESULT_BROKEN );
		EXPECT_EQ( CARDCheck( CARD_SLOT_A ), CARD_RESULT_BROKEN );
		CARDHostSetCheckResult( CARD_SLOT_A, CARD_RESULT_READY );
		EXPECT_EQ( CARDCheck( CARD_SLOT_A ), CARD_RESULT_READY );
		EXPECT_EQ( CARDUnmount( CARD_SLOT_A ), CARD_RESULT_READY );
		EXPECT_EQ( Mount(), CARD_RESULT_READY );
	}
	// Encoded cards mount with an error until formatted.
	CARDHostSetCardState( CARD_SLOT_A, CARD_HOST_CARD_ENCODING );
	EXPECT_EQ( Mount(), CARD_RESULT_ENCODING );
	EXPECT_EQ( CARDFormat( CARD_SLOT_A ), CARD_RESULT_READY );
	EXPECT_EQ( Mount(), CARD_RESULT_READY );
}

TEST_F( CARDTest, ScriptedResultsAndInterruptedWrites ) {
	ASSERT_EQ( Mount(), CARD_RESULT_READY );
	CARDFileInfo info = {};
	// A queued result is the next call's, with no effect.
	CARDHostQueueResult( CARD_HOST_CALL_CREATE, CARD_RESULT_IOERROR );
	EXPECT_EQ( CARDCreateAsync( CARD_SLOT_A, "FILE", 8192, &info ), CARD_RESULT_READY );
	EXPECT_EQ( Wait( CARD_SLOT_A ), CARD_RESULT_IOERROR );
	EXPECT_EQ( CARDOpen( CARD_SLOT_A, "FILE", &info ), CARD_RESULT_NOFILE );
	ASSERT_EQ( Create( "FILE", 1, info ), CARD_RESULT_READY );

	CARDHostSetCardState( CARD_SLOT_A, CARD_HOST_CARD_FULL );
	CARDFileInfo other = {};
	EXPECT_EQ( Create( "OTHER", 1, other ), CARD_RESULT_INSSPACE );
	CARDHostSetCardState( CARD_SLOT_A, CARD_HOST_CARD_GOOD );

	std::vector<u8> bytes( 8192, 0xAB );
	CARDHostArmInterruptedWrite( CARD_SLOT_A, 100 );
	ASSERT_EQ( CARDWriteAsync( &info, bytes.data(), 8192, 0 ), CARD_RESULT_READY );
	EXPECT_EQ( Wait( CARD_SLOT_A ), CARD_RESULT_NOCARD );
	EXPECT_EQ( CARDProbeEx( CARD_SLOT_A, nullptr, nullptr ), CARD_RESULT_NOCARD );
	const std::vector<u8> kept = ReadHostFile( Slot( "A" ) / "FILE" );
	ASSERT_EQ( kept.size(), 8192u );
	EXPECT_EQ( kept[99], 0xAB );
	EXPECT_EQ( kept[100], 0 );
}

} // namespace
