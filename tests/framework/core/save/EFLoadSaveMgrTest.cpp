/*
	The memory-card save manager on the host cards: queued commands carried
	out one step a frame, never waiting on the card, files laid out as the
	card-file writer lays them out, and every failure ending the queue with
	the error callback.
*/
#include "framework/core/save/EFLoadSaveMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"
#include "support/HostTestDisc.h"
#include "tools/lib/save/ToolCardFileWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Seen {
	std::vector<SG_CBParamDef>	errors;
	std::vector<SG_CBParamDef>	completions;
	std::vector<u8>				readData;	// the read buffer when completed
	EFLoadSaveMgr*				manager = nullptr;
};

Seen gSeen;

void OnError( SG_CBParamDef* params ) {
	gSeen.errors.push_back( *params );
}

void OnComplete( SG_CBParamDef* params ) {
	gSeen.completions.push_back( *params );
	const u8* const data = static_cast<const u8*>( gSeen.manager->GetReadBuffer() );
	gSeen.readData.assign( data, data != nullptr ? data + gSeen.manager->GetDataSize() : data );
}

std::vector<u8> ReadHostFile( const std::filesystem::path& path ) {
	std::ifstream in( path, std::ios::binary );
	return std::vector<u8>( std::istreambuf_iterator<char>( in ), {} );
}

std::vector<u8> Pattern( const size_t size, const u8 seed ) {
	std::vector<u8> bytes( size );
	for ( size_t i = 0; i < size; i++ ) {
		bytes[i] = static_cast<u8>( seed + i * 13 + ( i >> 8 ) );
	}
	return bytes;
}

EFLoadSaveWord Word( const void* pointer ) {
	return reinterpret_cast<EFLoadSaveWord>( pointer );
}

// SetComment takes 64 readable bytes: the writer's two lines, padded.
std::string PaddedComment() {
	std::string comment = ToolCardFile().comment;
	comment.resize( TOOL_CARD_COMMENT_BYTES, '\0' );
	return comment;
}

const std::string gComment = PaddedComment();

class EFLoadSaveMgrTest : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open( { .prefix = "load_save_test_" } ) );
		ASSERT_TRUE( disc.WriteFile( "icon.rgb", ToolWriteCardIcon() ) );
		CARDHostReset();
		CARDInit();
		Fresh();
	}
	void TearDown() override {
		manager.reset();
		CARDHostReset();
		disc.Close();
	}

	// A manager as start-up leaves it, with the test's callbacks.
	void Fresh() {
		manager = std::make_unique<EFLoadSaveMgr>();
		ASSERT_EQ( manager->Initialize(), 1u );
		manager->SetErrorCallBack( OnError );
		manager->SetCompleteCallBack( OnComplete );
		manager->SetComment( gComment.c_str() );
		gSeen = Seen();
		gSeen.manager = manager.get();
	}

	u32 QueueWrite( const char* name, const void* data, const u32 size, const u32 mode ) {
		const EFLoadSaveWord action[8] = { EFLoadSaveCommandWord( EF_LS_CMD_WRITE, 7 ), Word( name ), Word( data ), size, 0, mode, 0, 0 };
		return manager->RegisterAction( action, EF_LS_APPEND );
	}

	u32 QueueRead( const char* name, const s32 size ) {
		const EFLoadSaveWord action[5] = { EFLoadSaveCommandWord( EF_LS_CMD_READ, 4 ), Word( name ), static_cast<EFLoadSaveWord>( size ), 0, 0 };
		return manager->RegisterAction( action, EF_LS_APPEND );
	}

	u32 Queue( const u32 id, const EFLoadSaveWord argument = 0 ) {
		const EFLoadSaveWord action[3] = { EFLoadSaveCommandWord( id, 2 ), argument, 0 };
		return manager->RegisterAction( action, EF_LS_APPEND );
	}

	static u32 AsyncStarts() {
		return CARDHostAsyncStartCount();
	}

	// Frames until the queue is worked off (at most limit); each frame
	// starts at most one card call and leaves a started call in flight.
	u32 RunUntilIdle( const u32 limit = 200 ) {
		u32 frames = 0;
		while ( frames < limit && ( frames == 0 || manager->IsAction() ) ) {
			const u32 before = AsyncStarts();
			manager->Update();
			const u32 started = AsyncStarts() - before;
			EXPECT_LE( started, 1u ) << "frame " << frames;
			// Still in flight: the frame did not wait for it.
			if ( started == 1 ) {
				EXPECT_TRUE( CARDHostIsBusy( manager->GetChannel() ) ) << "frame " << frames;
			}
			frames++;
		}
		return frames;
	}

	// Writes a save the card-file writer made into slot A.
	void PutCardFile( const char* name, const std::vector<u8>& bytes, const u32 iconAddr = TOOL_CARD_ICON_OFFSET ) {
		ToolCardEntry entry;
		entry.name = name;
		entry.iconAddr = iconAddr;
		entry.bytes = bytes;
		std::string error;
		ASSERT_TRUE( ToolWriteCardFolder( disc.Root() / "card" / "A", { entry }, error ) ) << error;
	}

	HostTestDisc					disc;
	std::unique_ptr<EFLoadSaveMgr>	manager;
};

TEST_F( EFLoadSaveMgrTest, WritesTheWritersCardFileAndAFreshStartReadsItBack ) {
	const std::vector<u8> data = Pattern( 10000, 3 );
	ASSERT_EQ( QueueWrite( "SAVE01", data.data(), 10000, EF_LS_OPEN_CREATE ), 1u );
	RunUntilIdle();
	ASSERT_EQ( gSeen.errors.size(), 0u );
	ASSERT_EQ( gSeen.completions.size(), 1u );
	// The last command to finish a card step is the verifying read's.
	EXPECT_EQ( gSeen.completions[0].uiState, static_cast<u32>( EF_LS_CMD_READ_FILE ) );
	EXPECT_EQ( gSeen.completions[0].uiLastError, 0u );
	// The written buffer was freed once: nothing is left to read.
	EXPECT_EQ( manager->GetReadBuffer(), nullptr );
	manager->DestroyReadBuffer();

	// 10000 bytes on 8192-byte sectors: two sectors, as the writer lays them.
	ToolCardFile expected;
	expected.data = data;
	const std::vector<u8> file = ReadHostFile( disc.Root() / "card" / "A" / "SAVE01" );
	EXPECT_EQ( file.size(), 16384u );
	EXPECT_EQ( file, ToolWriteCardFile( expected ) );

	// A fresh library and manager over the folder: the first read after
	// start loads the icon itself.
	CARDHostReset();
	CARDInit();
	Fresh();
	ASSERT_EQ( QueueRead( "SAVE01", 0 ), 1u );
	RunUntilIdle();
	ASSERT_EQ( gSeen.errors.size(), 0u );
	ASSERT_EQ( gSeen.completions.size(), 1u );
	EXPECT_EQ( gSeen.readData, data );
	EXPECT_EQ( manager->GetReadBuffer(), nullptr );
	manager->DestroyReadBuffer();
	CARDStat stat = {};
	std::vector<u8> workArea( CARD_WORKAREA_SIZE );
	ASSERT_EQ( CARDMount( CARD_SLOT_A, workArea.data() ), CARD_RESULT_READY );
	ASSERT_EQ( CARDGetStatus( CARD_SLOT_A, 0, &stat ), CARD_RESULT_READY );
	EXPECT_EQ( stat.commentAddr, 4u );
	EXPECT_EQ( stat.iconAddr, 68u );
	EXPECT_EQ( stat.iconFormat, CARD_STAT_ICON_RGB5A3 );
	EXPECT_EQ( stat.iconSpeed, CARD_STAT_SPEED_SLOW );
	EXPECT_EQ( stat.bannerFormat, CARD_STAT_BANNER_NONE );
	EXPECT_EQ( stat.length, 16384u );
}

TEST_F( EFLoadSaveMgrTest, SubActionsRunBeforeTheActionThatPushedThemResumes ) {
	const std::vector<u8> data = Pattern( 100, 9 );
	ASSERT_EQ( QueueWrite( "SAVE", data.data(), 100, EF_LS_OPEN_CREATE ), 1u );
	std::vector<u32> worked;
	for ( u32 frame = 0; frame < 100 && ( frame == 0 || manager->IsAction() ); frame++ ) {
		manager->Update();
		if ( worked.empty() || worked.back() != manager->GetLastAction() ) {
			worked.push_back( manager->GetLastAction() );
		}
	}
	// The write pushes mount, check, open, write the file and close, which
	// run before its next step pushes the verifying read, whose own
	// sub-actions run before the read and then the write end.
	const std::vector<u32> expected = { 9, 28, 29, 16, 18, 9, 10, 28, 29, 16, 19, 0 };
	EXPECT_EQ( worked, expected );
	EXPECT_EQ( gSeen.completions.size(), 1u );
}

TEST_F( EFLoadSaveMgrTest, ABusyChannelHoldsTheQueue ) {
	for ( const u32 polls : { 0u, 1u, 4u } ) {
		SCOPED_TRACE( polls );
		CARDHostReset();
		CARDInit();
		Fresh();
		CARDHostSetBusyPolls( CARD_HOST_CALL_MOUNT, polls );
		ASSERT_EQ( Queue( EF_LS_CMD_IS_MY_FILE_FIT, 100 ), 1u );
		u32 frame = 0;
		while ( CARDHostCallCount( CARD_HOST_CALL_CHECK ) == 0 && frame < 20 ) {
			manager->Update();
			frame++;
		}
		// Frame 1 pushes mount and check, frame 2 starts the mount, each
		// busy answer costs a frame; the frame after, the mount ends and
		// the check starts.
		EXPECT_EQ( frame, polls + 3 );
	}
}

TEST_F( EFLoadSaveMgrTest, ACorruptFileEndsTheQueueWithError1 ) {
	ToolCardFile good;
	good.data = Pattern( 300, 1 );
	const std::vector<u8> goodBytes = ToolWriteCardFile( good );
	auto edited = [&]( const size_t offset, const u8 value ) {
		std::vector<u8> bytes = goodBytes;
		bytes[offset] = value;
		return bytes;
	};
	auto withLength = [&]( const u32 length ) {
		std::vector<u8> bytes = goodBytes;
		for ( u32 i = 0; i < 4; i++ ) {
			bytes[i] = static_cast<u8>( length >> ( 24 - 8 * i ) );
		}
		return bytes;
	};
	struct Row {
		const char*			name;
		std::vector<u8>		bytes;
		u32					iconAddr;
		bool				iconOnDisc;
		u32					error;
	};
	const u32 longest = static_cast<u32>( goodBytes.size() ) - 2120;
	const Row rows[] = {
		{ "good", goodBytes, TOOL_CARD_ICON_OFFSET, true, 0 },
		{ "comment starting with 0", edited( 4, 0 ), TOOL_CARD_ICON_OFFSET, true, 1 },
		{ "another icon", edited( 100, 0x11 ), TOOL_CARD_ICON_OFFSET, true, 1 },
		{ "a changed data byte", edited( 2116 + 5, 0x55 ), TOOL_CARD_ICON_OFFSET, true, 1 },
		{ "no icon address", goodBytes, TOOL_CARD_ADDRESS_NONE, true, 1 },
		{ "no icon on the disc", goodBytes, TOOL_CARD_ICON_OFFSET, false, 1 },
		{ "a length past the file", withLength( longest + 1 ), TOOL_CARD_ICON_OFFSET, true, 1 },
		{ "a length near 4 GB", withLength( 0xFFFFFFF0u ), TOOL_CARD_ICON_OFFSET, true, 1 },
		// Data up to the checksum in the last word: read, checksum fails.
		{ "the longest length", withLength( longest ), TOOL_CARD_ICON_OFFSET, true, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		if ( !row.iconOnDisc ) {
			std::filesystem::remove( disc.DiscFolder() / "icon.rgb" );
		}
		CARDHostReset();
		CARDInit();
		Fresh();
		PutCardFile( "SAVE", row.bytes, row.iconAddr );
		ASSERT_EQ( QueueRead( "SAVE", 0 ), 1u );
		ASSERT_EQ( Queue( EF_LS_CMD_GET_CARD_STATUS ), 1u );
		RunUntilIdle();
		EXPECT_EQ( manager->IsAction(), 0u );
		EXPECT_EQ( manager->GetReadBuffer(), nullptr );
		if ( row.error == 0 ) {
			EXPECT_EQ( gSeen.errors.size(), 0u );
			EXPECT_EQ( gSeen.readData, good.data );
			continue;
		}
		ASSERT_EQ( gSeen.errors.size(), 1u );
		EXPECT_EQ( gSeen.completions.size(), 0u );
		EXPECT_EQ( gSeen.errors[0].uiLastError, row.error );
		// The status probe queued behind never ran: one probe, the mount's.
		EXPECT_EQ( CARDHostCallCount( CARD_HOST_CALL_PROBE ), 1u );
		ASSERT_TRUE( disc.WriteFile( "icon.rgb", ToolWriteCardIcon() ) );
	}
}

TEST_F( EFLoadSaveMgrTest, CardStatesAndUnsupportedCommandsGiveTheirErrors ) {
	struct Row {
		const char*			name;
		CARDHostCardState	state;
		s32					checkResult;
		u32					command;
		EFLoadSaveWord		argument;
		s32					error;		// 0: completed
		u32					lastCommand;
	};
	const Row rows[] = {
		{ "broken, repaired by the check", CARD_HOST_CARD_BROKEN, 0, EF_LS_CMD_IS_MY_FILE_FIT, 100, 0, EF_LS_CMD_CHECK },
		{ "broken for good", CARD_HOST_CARD_BROKEN, CARD_RESULT_BROKEN, EF_LS_CMD_IS_MY_FILE_FIT, 100, CARD_RESULT_BROKEN, EF_LS_CMD_MOUNT },
		{ "encoded", CARD_HOST_CARD_ENCODING, 0, EF_LS_CMD_IS_MY_FILE_FIT, 100, CARD_RESULT_ENCODING, EF_LS_CMD_MOUNT },
		{ "encoded, formatted", CARD_HOST_CARD_ENCODING, 0, EF_LS_CMD_FORMAT_CARD, 0, 0, 0 },
		{ "broken, formatted", CARD_HOST_CARD_BROKEN, CARD_RESULT_BROKEN, EF_LS_CMD_FORMAT_CARD, 0, 0, 0 },
		{ "full", CARD_HOST_CARD_FULL, 0, EF_LS_CMD_IS_MY_FILE_FIT, 100, EF_LS_ERROR_DOES_NOT_FIT, EF_LS_CMD_CHECK },
		{ "create directory", CARD_HOST_CARD_GOOD, 0, EF_LS_CMD_CREATE_DIRECTORY, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
		{ "change directory", CARD_HOST_CARD_GOOD, 0, EF_LS_CMD_CHANGE_DIRECTORY, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
		{ "delete directory", CARD_HOST_CARD_GOOD, 0, EF_LS_CMD_DELETE_DIRECTORY, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
		{ "delete all files", CARD_HOST_CARD_GOOD, 0, EF_LS_CMD_DELETE_ALL_FILES, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
		{ "read save game", CARD_HOST_CARD_GOOD, 0, EF_LS_CMD_READ_SAVE_GAME, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
		{ "write save game", CARD_HOST_CARD_GOOD, 0, EF_LS_CMD_WRITE_SAVE_GAME, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
		{ "no handler", CARD_HOST_CARD_GOOD, 0, 15, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
		{ "slot 2", CARD_HOST_CARD_GOOD, 0, EF_LS_CMD_SET_WORKING_CARD, 0, EF_LS_ERROR_UNSUPPORTED, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		CARDHostReset();
		CARDInit();
		Fresh();
		CARDHostSetCardState( CARD_SLOT_A, row.state );
		CARDHostSetCheckResult( CARD_SLOT_A, row.checkResult );
		if ( row.command == EF_LS_CMD_SET_WORKING_CARD ) {
			const EFLoadSaveWord action[4] = { EFLoadSaveCommandWord( row.command, 3 ), 0, 2, 0 };
			ASSERT_EQ( manager->RegisterAction( action, EF_LS_APPEND ), 1u );
		} else {
			ASSERT_EQ( Queue( row.command, row.argument ), 1u );
		}
		const u32 frames = RunUntilIdle();
		if ( row.error == 0 ) {
			EXPECT_EQ( gSeen.errors.size(), 0u );
			EXPECT_EQ( gSeen.completions.size(), 1u );
			EXPECT_EQ( CARDHostGetCardState( CARD_SLOT_A ), row.state == CARD_HOST_CARD_FULL ? row.state : CARD_HOST_CARD_GOOD );
			continue;
		}
		ASSERT_EQ( gSeen.errors.size(), 1u );
		EXPECT_EQ( gSeen.errors[0].uiLastError, static_cast<u32>( row.error ) );
		EXPECT_EQ( gSeen.errors[0].uiState, row.lastCommand );
		if ( row.error == EF_LS_ERROR_UNSUPPORTED ) {
			// At once: the first frame, with no card call started.
			EXPECT_EQ( frames, 1u );
			EXPECT_EQ( AsyncStarts(), 0u );
		}
	}
}

TEST_F( EFLoadSaveMgrTest, AFileFitsOnlyWhenItsWholeSectorsAreFree ) {
	// An empty card: 59 sectors of 8192 bytes free.
	struct Row {
		u32			size;
		bool		fits;
	};
	const Row rows[] = {
		{ 58 * 8192 - 2120, true },		// an exact multiple takes one more sector: all 59
		{ 59 * 8192 - 2121, true },
		{ 59 * 8192 - 2120, false },	// size + 2120 equals the free bytes, the file needs 60
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.size );
		Fresh();
		ASSERT_EQ( Queue( EF_LS_CMD_IS_MY_FILE_FIT, row.size ), 1u );
		RunUntilIdle();
		EXPECT_EQ( gSeen.completions.size(), row.fits ? 1u : 0u );
		EXPECT_EQ( gSeen.errors.size(), row.fits ? 0u : 1u );
	}
}

TEST_F( EFLoadSaveMgrTest, AnInterruptedWriteFailsAndTheFileThenReadsAsCorrupt ) {
	const std::vector<u8> data = Pattern( 500, 4 );
	CARDHostArmInterruptedWrite( CARD_SLOT_A, 1000 );
	ASSERT_EQ( QueueWrite( "SAVE", data.data(), 500, EF_LS_OPEN_CREATE ), 1u );
	RunUntilIdle();
	ASSERT_EQ( gSeen.errors.size(), 1u );
	EXPECT_EQ( gSeen.errors[0].uiState, static_cast<u32>( EF_LS_CMD_WRITE_FILE ) );
	EXPECT_EQ( gSeen.errors[0].uiLastError, static_cast<u32>( CARD_RESULT_NOCARD ) );

	ASSERT_TRUE( CARDHostInsertCard( CARD_SLOT_A ) );
	Fresh();
	ASSERT_EQ( QueueRead( "SAVE", 0 ), 1u );
	RunUntilIdle();
	ASSERT_EQ( gSeen.errors.size(), 1u );
	EXPECT_EQ( gSeen.errors[0].uiLastError, 1u );
}

TEST_F( EFLoadSaveMgrTest, AQueuedWriteKeepsItsDataWhenTheTemporaryBufferGrows ) {
	u8* const first = static_cast<u8*>( manager->GetUserTempBuffer( 256 ) );
	ASSERT_NE( first, nullptr );
	const std::vector<u8> data = Pattern( 256, 7 );
	std::memcpy( first, data.data(), data.size() );
	ASSERT_EQ( QueueWrite( "SAVE", first, 256, EF_LS_OPEN_CREATE ), 1u );
	manager->Update();
	u8* const larger = static_cast<u8*>( manager->GetUserTempBuffer( 20000 ) );
	ASSERT_NE( larger, nullptr );
	EXPECT_EQ( std::vector<u8>( larger, larger + 256 ), data );
	EXPECT_EQ( manager->GetUserTempBuffer( 100 ), larger );
	std::memset( larger, 0xEE, 20000 );
	RunUntilIdle();
	ASSERT_EQ( gSeen.completions.size(), 1u );
	ToolCardFile expected;
	expected.data = data;
	EXPECT_EQ( ReadHostFile( disc.Root() / "card" / "A" / "SAVE" ), ToolWriteCardFile( expected ) );
	manager->DestroyUserTempBuffer();
	manager->DestroyUserTempBuffer();
}

TEST_F( EFLoadSaveMgrTest, TheQueueTakesActionsBehindAndInFrontUntilItsEnds ) {
	// 64 words on each side of the middle.
	const EFLoadSaveWord eight[8] = { EFLoadSaveCommandWord( EF_LS_CMD_GET_CARD_STATUS, 7 ) };
	for ( u32 i = 0; i < 8; i++ ) {
		EXPECT_EQ( manager->RegisterAction( eight, EF_LS_APPEND ), 1u ) << i;
	}
	EXPECT_EQ( manager->RegisterAction( eight, EF_LS_APPEND ), 0u );
	for ( u32 i = 0; i < 8; i++ ) {
		EXPECT_EQ( manager->RegisterAction( eight, EF_LS_PUSH ), 1u ) << i;
	}
	EXPECT_EQ( manager->RegisterAction( eight, EF_LS_PUSH ), 0u );
	// Pushed in front, in its own word order; a marked id is remembered.
	const EFLoadSaveWord marked[3] = { EFLoadSaveCommandWord( EF_LS_CMD_DELETE_FILE, 2 ) | EF_LS_COMMAND_MARK, 5, 0 };
	manager->ResetAction();
	ASSERT_EQ( manager->RegisterAction( eight, EF_LS_APPEND ), 1u );
	ASSERT_EQ( manager->RegisterAction( marked, EF_LS_PUSH ), 1u );
	EXPECT_EQ( manager->GetAction(), static_cast<u32>( EF_LS_CMD_DELETE_FILE ) );
	EXPECT_EQ( manager->GetArgPtr()[1], 5u );
	EXPECT_EQ( manager->UnRegisterAction(), 1u );
	EXPECT_EQ( manager->GetAction(), static_cast<u32>( EF_LS_CMD_GET_CARD_STATUS ) );
	EXPECT_EQ( manager->UnRegisterAction(), 1u );
	EXPECT_EQ( manager->IsAction(), 0u );
	EXPECT_EQ( manager->UnRegisterAction(), 0u );

	// Finished while another was pushed in front: marked, then skipped.
	ASSERT_EQ( manager->RegisterAction( eight, EF_LS_APPEND ), 1u );
	ASSERT_EQ( manager->GetAction(), static_cast<u32>( EF_LS_CMD_GET_CARD_STATUS ) );
	ASSERT_EQ( manager->RegisterAction( marked, EF_LS_PUSH ), 1u );
	EXPECT_EQ( manager->UnRegisterAction(), 1u );
	EXPECT_EQ( manager->GetAction(), static_cast<u32>( EF_LS_CMD_DELETE_FILE ) );
	EXPECT_EQ( manager->UnRegisterAction(), 1u );
	EXPECT_EQ( manager->GetAction(), 0u );
	EXPECT_EQ( manager->IsAction(), 0u );
}

TEST_F( EFLoadSaveMgrTest, TheDirectoryListsTheFilesOfAMountedCardOnly ) {
	const std::string longName( 32, 'N' );
	std::vector<ToolCardEntry> entries( 2 );
	entries[0].fileNo = 3;
	entries[0].name = longName;
	entries[0].time = 1234;
	entries[0].bytes.assign( 8192, 0 );
	entries[1].fileNo = 1;
	entries[1].name = "FIRST";
	entries[1].time = 99;
	entries[1].bytes.assign( 16384, 0 );
	std::string error;
	ASSERT_TRUE( ToolWriteCardFolder( disc.Root() / "card" / "A", entries, error ) ) << error;
	static char name[] = "ignored";
	auto list = [&]() {
		ASSERT_EQ( Queue( EF_LS_CMD_GET_DIRECTORY, Word( name ) ), 1u );
		RunUntilIdle();
	};
	std::memset( manager->GetFileDescriptor(), 0x7F, sizeof( FILEDESCRIPTOR ) * EF_LS_DIRECTORY_ENTRIES );
	list();
	EXPECT_EQ( manager->GetFileDescriptor()[0].cName[0], 0 );

	std::vector<u8> workArea( CARD_WORKAREA_SIZE );
	ASSERT_EQ( CARDMount( CARD_SLOT_A, workArea.data() ), CARD_RESULT_READY );
	list();
	const FILEDESCRIPTOR* const directory = manager->GetFileDescriptor();
	EXPECT_EQ( std::string( directory[0].cName, 5 ), "FIRST" );
	EXPECT_EQ( directory[0].iSize, 16384 );
	EXPECT_EQ( directory[0].iCreateDate, 99 );
	// A 32-character name fills the record, unterminated.
	EXPECT_EQ( std::string( directory[1].cName, 32 ), longName );
	EXPECT_EQ( directory[1].iSize, 8192 );
	EXPECT_EQ( directory[1].iCreateDate, 1234 );
	EXPECT_EQ( directory[2].cName[0], 0 );
	EXPECT_EQ( gSeen.completions.size(), 2u );
}

TEST_F( EFLoadSaveMgrTest, ALevelChangeClearsTheCallbacksOfTheModulesItDeletes ) {
	goLoadSaveMgr.Initialize();
	goLoadSaveMgr.SetErrorCallBack( OnError );
	goLoadSaveMgr.SetCompleteCallBack( OnComplete );
	gSeen.manager = &goLoadSaveMgr;
	{
		EFGameLogicMgr logic;
		logic.Terminate();
	}
	const EFLoadSaveWord status[2] = { EFLoadSaveCommandWord( EF_LS_CMD_GET_CARD_STATUS, 1 ), 0 };
	const EFLoadSaveWord unsupported[2] = { EFLoadSaveCommandWord( EF_LS_CMD_DELETE_ALL_FILES, 1 ), 0 };
	for ( const EFLoadSaveWord* action : { status, unsupported } ) {
		ASSERT_EQ( goLoadSaveMgr.RegisterAction( action, EF_LS_APPEND ), 1u );
		goLoadSaveMgr.Update();
		EXPECT_EQ( goLoadSaveMgr.IsAction(), 0u );
	}
	EXPECT_TRUE( gSeen.errors.empty() );
	EXPECT_TRUE( gSeen.completions.empty() );
}

} // namespace
