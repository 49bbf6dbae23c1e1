/*
	The load/save table over the save manager and the host cards: a write
	then a read reported through the completion callback, a full queue, the
	commands the card does not support, and resets held off while a save
	runs.
*/
#include "datatypes/file/DTConsoleReset.h"
#include "framework/core/save/EFLoadSaveMgr.h"
#include "framework/logic/api/LogicApiTables.h"
#include "platform/card/CARD.h"
#include "platform/card/CARDHost.h"
#include "platform/os/OSHost.h"
#include "support/HostTestDisc.h"
#include "tools/lib/save/ToolCardFileWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Seen {
	std::vector<SG_CBParamDef>	errors;
	std::vector<SG_CBParamDef>	completions;
	std::vector<u8>				readData;
	u32							resets = 0;
};

Seen gSeen;

void OnError( SG_CBParamDef* params ) {
	gSeen.errors.push_back( *params );
}

void OnComplete( SG_CBParamDef* params ) {
	gSeen.completions.push_back( *params );
	const u8* const data = static_cast<const u8*>( APILoadSave.GetReadBuffer() );
	gSeen.readData.assign( data, data != nullptr ? data + goLoadSaveMgr.GetDataSize() : data );
}

void OnReset( s32, u32, BOOL ) {
	gSeen.resets++;
}

class LogicApiLoadSaveTest : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_TRUE( disc.Open( { .prefix = "api_load_save_test_" } ) );
		ASSERT_TRUE( disc.WriteFile( "icon.rgb", ToolWriteCardIcon() ) );
		CARDHostReset();
		CARDInit();
		Init_loadsave();
		ASSERT_EQ( goLoadSaveMgr.Initialize(), 1u );
		APILoadSave.SetErrorCallBack( OnError );
		APILoadSave.SetCompleteCallBack( OnComplete );
		char comment[64] = "API TEST";
		APILoadSave.SetCommentGC( comment );
		gSeen = Seen();
	}
	void TearDown() override {
		goLoadSaveMgr.Initialize();
		gui32EnableReset = 1;
		CARDHostReset();
		disc.Close();
	}

	static void RunUntilIdle() {
		for ( u32 frame = 0; frame < 200 && ( frame == 0 || goLoadSaveMgr.IsAction() ); frame++ ) {
			goLoadSaveMgr.Update();
		}
	}

	HostTestDisc	disc;
};

TEST_F( LogicApiLoadSaveTest, AWriteThenAReadCompleteWithTheDataWritten ) {
	std::vector<u8> data( 3000 );
	for ( size_t i = 0; i < data.size(); i++ ) {
		data[i] = static_cast<u8>( i * 7 + 1 );
	}
	char name[] = "SAVE0";
	APILoadSave.Write( name, data.data(), static_cast<s32>( data.size() ), 0, EF_LS_OPEN_CREATE );
	RunUntilIdle();
	ASSERT_EQ( gSeen.completions.size(), 1u );
	ASSERT_TRUE( gSeen.errors.empty() );

	APILoadSave.Read( name, static_cast<s32>( data.size() ), 0 );
	RunUntilIdle();
	ASSERT_EQ( gSeen.completions.size(), 2u );
	EXPECT_TRUE( gSeen.errors.empty() );
	EXPECT_EQ( gSeen.readData, data );
	EXPECT_EQ( APILoadSave.GetStatus() & EF_LS_STATUS_ERROR, 0 );
	// The last command is the last one that finished a card step: the read
	// of the file the Read pushed, not the Read itself.
	EXPECT_EQ( APILoadSave.GetLastCommand(), EF_LS_CMD_READ_FILE );
	EXPECT_EQ( gSeen.completions[1].uiState, static_cast<u32>( EF_LS_CMD_READ_FILE ) );
	EXPECT_EQ( APILoadSave.GetLastAction(), 0 );
}

TEST_F( LogicApiLoadSaveTest, AFullQueueQueuesNothingAndPointersStayWhole ) {
	char name[] = "SAVE1";
	u8 data[16] = {};
	// Seven writes of eight words leave eight of the 64 words behind the middle.
	for ( int i = 0; i < 7; i++ ) {
		APILoadSave.Write( name, data, sizeof( data ), 0, 0 );
	}
	const EFLoadSaveWord* const head = goLoadSaveMgr.GetArgPtr();
	EXPECT_EQ( head[0], EFLoadSaveCommandWord( EF_LS_CMD_WRITE, 7 ) );
	EXPECT_EQ( head[1], reinterpret_cast<EFLoadSaveWord>( name ) );
	EXPECT_EQ( head[2], reinterpret_cast<EFLoadSaveWord>( data ) );
	APILoadSave.IsMyFileFit( 10 );		// three words: five left
	APILoadSave.Write( name, data, sizeof( data ), 0, 0 );	// eight: refused
	const EFLoadSaveWord five[5] = { EFLoadSaveCommandWord( EF_LS_CMD_GET_CARD_STATUS, 4 ), 0, 0, 0, 0 };
	EXPECT_EQ( goLoadSaveMgr.RegisterAction( five, EF_LS_APPEND ), 1u );
	EXPECT_EQ( goLoadSaveMgr.RegisterAction( five, EF_LS_APPEND ), 0u );
}

TEST_F( LogicApiLoadSaveTest, UnsupportedCommandsEndTheQueueWithMinus128 ) {
	char name[] = "DIR";
	char text[] = "TEXT";
	struct Row {
		const char*	slot;
		void		( *queue )( char* name, char* text );
	};
	const Row rows[] = {
		{ "CreateDirectory", []( char* n, char* ) { APILoadSave.CreateDirectory( n ); } },
		{ "ChangeDirectory", []( char* n, char* ) { APILoadSave.ChangeDirectory( n ); } },
		{ "DeleteDirectory", []( char* n, char* ) { APILoadSave.DeleteDirectory( n ); } },
		{ "WriteSaveGame", []( char* n, char* t ) { APILoadSave.WriteSaveGame( n, t, t ); } },
		{ "ReadSaveGame", []( char* n, char* t ) { APILoadSave.ReadSaveGame( n, t ); } },
		{ "DeleteAllFiles", []( char*, char* ) { APILoadSave.DeleteAllFiles(); } },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.slot );
		gSeen = Seen();
		row.queue( name, text );
		// A second action behind it is dropped with the queue.
		APILoadSave.GetCardStatus();
		goLoadSaveMgr.Update();
		ASSERT_EQ( gSeen.errors.size(), 1u );
		EXPECT_EQ( static_cast<s32>( gSeen.errors[0].uiLastError ), EF_LS_ERROR_UNSUPPORTED );
		EXPECT_EQ( APILoadSave.GetError(), EF_LS_ERROR_UNSUPPORTED );
		EXPECT_EQ( APILoadSave.GetStatus() & EF_LS_STATUS_ERROR, static_cast<s32>( EF_LS_STATUS_ERROR ) );
		EXPECT_EQ( goLoadSaveMgr.IsAction(), 0u );
		EXPECT_TRUE( gSeen.completions.empty() );
	}
}

TEST_F( LogicApiLoadSaveTest, EnableResetZeroHoldsOffTheResetButtonUntilEnabled ) {
	const OSHostResetHook previous = OSHostSetResetHook( OnReset );
	gbConsoleResetPushed = 0;
	APILoadSave.EnableReset( 0 );
	OSHostSetResetButton( true );
	CheckReset();
	OSHostSetResetButton( false );
	CheckReset();
	EXPECT_EQ( gSeen.resets, 0u );
	APILoadSave.EnableReset( 1 );
	CheckReset();
	EXPECT_EQ( gSeen.resets, 1u );
	gbConsoleResetPushed = 0;
	OSHostSetResetHook( previous );
}

} // namespace
