/*
	The small tables: the standard library with a 32-bit runtime's results,
	the quality-assurance table's file and quit services, and the
	handheld link that never delivers.
*/
#include "framework/core/engine/EFCoreTestBench.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTables.h"
#include "framework/video/EFVideoPlayer.h"
#include "platform/runtime/RuntimeRand.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace {

class LogicApiSmallTablesTest : public ::testing::Test {
protected:
	void SetUp() override {
		Init_stdlib();
		Init_GBALink();
	}
};

TEST_F( LogicApiSmallTablesTest, ConversionsClampAndEndAsA32BitRuntimes ) {
	enum Function { STRTOL, STRTOUL, ATOI, ATOL };
	struct Row {
		const char *	text;
		Function		function;
		s32				base;
		u32				value;
		s32				endOffset;		// -1: not checked
		bool			range;
	};
	const Row rows[] = {
		{ "2147483647", STRTOL, 10, 0x7FFFFFFF, 10, false },
		{ "2147483648", STRTOL, 10, 0x7FFFFFFF, 10, true },
		{ "-2147483648", STRTOL, 10, 0x80000000, 11, false },
		{ "-2147483649", STRTOL, 10, 0x80000000, 11, true },
		{ "99999999999999999999999x", STRTOL, 10, 0x7FFFFFFF, 23, true },
		{ "  -0x1fz", STRTOL, 16, static_cast<u32>( -31 ), 7, false },
		{ "z", STRTOL, 10, 0, 0, false },
		{ "4294967295", STRTOUL, 10, 0xFFFFFFFF, 10, false },
		{ "4294967296", STRTOUL, 10, 0xFFFFFFFF, 10, true },
		{ "-1", STRTOUL, 10, 0xFFFFFFFF, 2, false },
		{ "-4294967295", STRTOUL, 10, 1, 11, false },
		{ "-4294967296", STRTOUL, 10, 0xFFFFFFFF, 11, true },
		{ " +ff", STRTOUL, 16, 0xFF, 4, false },
		{ "- 1", STRTOUL, 10, 0, 0, false },
		{ "--1", STRTOUL, 10, 0, 0, false },
		{ "", STRTOUL, 10, 0, 0, false },
		{ "3000000000", ATOI, 10, 0x7FFFFFFF, -1, true },
		{ "-3000000000", ATOL, 10, 0x80000000, -1, true },
		{ " 42abc", ATOI, 10, 42, -1, false },
	};
	for ( const Row & row : rows ) {
		SCOPED_TRACE( row.text );
		std::string text = row.text;
		char * end = nullptr;
		errno = 0;
		u32 value = 0;
		switch ( row.function ) {
		case STRTOL: value = static_cast<u32>( APIstdlib.strtol( text.data(), &end, row.base ) ); break;
		case STRTOUL: value = APIstdlib.strtoul( text.data(), &end, row.base ); break;
		case ATOI: value = static_cast<u32>( APIstdlib.atoi( text.data() ) ); break;
		case ATOL: value = static_cast<u32>( APIstdlib.atol( text.data() ) ); break;
		}
		EXPECT_EQ( value, row.value );
		EXPECT_EQ( errno == ERANGE, row.range );
		if ( row.endOffset >= 0 ) {
			EXPECT_EQ( end - text.data(), row.endOffset );
		}
	}
}

TEST_F( LogicApiSmallTablesTest, AbsoluteValuesAndDivisionsNeverTrap ) {
	const s32 minimum = static_cast<s32>( 0x80000000u );
	EXPECT_EQ( APIstdlib.abs( minimum ), minimum );
	EXPECT_EQ( APIstdlib.labs( minimum ), minimum );
	EXPECT_EQ( APIstdlib.abs( -5 ), 5 );
	EXPECT_EQ( APIstdlib.labs( 7 ), 7 );
	struct Row {
		s32	numerator;
		s32	denominator;
		s32	quot;
		s32	rem;
	};
	const Row rows[] = {
		{ 7, 2, 3, 1 },
		{ -7, 2, -3, -1 },
		{ 7, -2, -3, 1 },
		{ 7, 0, 0, 7 },
		{ minimum, 0, 0, minimum },
		{ minimum, -1, minimum, 0 },
		{ minimum, 1, minimum, 0 },
	};
	for ( const Row & row : rows ) {
		SCOPED_TRACE( std::to_string( row.numerator ) + " / " + std::to_string( row.denominator ) );
		const LogicApiDiv d = APIstdlib.div( row.numerator, row.denominator );
		const LogicApiLDiv l = APIstdlib.ldiv( row.numerator, row.denominator );
		EXPECT_EQ( d.quot, row.quot );
		EXPECT_EQ( d.rem, row.rem );
		EXPECT_EQ( l.quot, row.quot );
		EXPECT_EQ( l.rem, row.rem );
	}
}

TEST_F( LogicApiSmallTablesTest, RandomNumbersFollowTheEnginesSequenceAfterASeed ) {
	APIstdlib.srand( 1234 );
	s32 fromTable[64];
	for ( s32 & value : fromTable ) {
		value = APIstdlib.rand();
	}
	RuntimeSrand( 1234 );
	for ( const s32 value : fromTable ) {
		EXPECT_EQ( value, RuntimeRand() );
		EXPECT_GE( value, 0 );
		EXPECT_LE( value, 32767 );
	}
}

TEST_F( LogicApiSmallTablesTest, TheHandheldLinkAcceptsWordsAndNeverDeliversOne ) {
	u32 word = 0xDEADBEEF;
	EXPECT_EQ( APIgbalink.SendData( 0x1234, 0 ), 1u );
	EXPECT_EQ( APIgbalink.GetData( &word, 0 ), 0u );
	EXPECT_EQ( word, 0xDEADBEEFu );
	const LogicGBALinkConnectionFn connect = []( GBALink_CBConnectionParamDef * ) {};
	APIgbalink.SetConnectionCallBack( connect );
	EXPECT_EQ( gpfCBConnectfunc, connect );
	EXPECT_EQ( EFApiTrace::mFuncName, nullptr );
	APIgbalink.SetConnectionCallBack( nullptr );
}

class LogicApiQATest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		Init_QA();
		std::memset( &context, 0, sizeof( context ) );
		std::strcpy( context.szResFilename, "START.GCR" );
		std::strcpy( context.szLevelPath, "SAMPLE" );
		std::strcpy( context.szLanguagePath, "FR" );
		EFVideoPlayer::GetInstance()->mui32Playing = 0;
	}

	void TearDown() override {
		delete gpoEngineController;
		EFIniFile::GetInstance()->Clear();
		EFCoreTestBench::TearDown();
	}

	EFAppContext	context;
};

TEST_F( LogicApiQATest, AppendingPrintsTheMessageWritesNothingAndClosesOnlyWhatItOpened ) {
	WriteDiscText( "LOG.TXT", "kept" );
	struct Row {
		const char *	path;
	};
	const Row rows[] = { { "LOG.TXT" }, { "MISSING/NOWHERE.TXT" } };
	for ( const Row & row : rows ) {
		SCOPED_TRACE( row.path );
		std::string path = row.path;
		char text[] = "appended";
		const u32 inUse = DTNbrFileInUse();
		testing::internal::CaptureStdout();
		APIqa.AppendToFile( path.data(), text );
		EXPECT_EQ( testing::internal::GetCapturedStdout(), "DTFputs Unimplemented function\n" );
		EXPECT_EQ( DTNbrFileInUse(), inUse );
	}
	EXPECT_EQ( DTFsize( "LOG.TXT" ), 4u );
}

// Quits from inside the logic step of a frame.
s32 QuitFromLogic( void *, void * ) {
	APIqa.CloseGame();
	return 0;
}

TEST_F( LogicApiQATest, ClosingTheGameEndsTheLoopAtTheEndOfTheFrame ) {
	// Without a controller there is nothing to stop.
	APIqa.CloseGame();
	SetFramesToRun( 50 );
	new EFEngineController( context );
	ASSERT_EQ( gpoEngineController->InitializeFramework(), 1u );
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 1, 1, &QuitFromLogic, nullptr );
	gpoEngineController->MainLoop();
	EXPECT_EQ( gpoEngineController->GetFrameCounter(), 1u );
	EXPECT_NE( gpoEngineController->GetFlags() & EF_CONTROLLER_QUIT, 0u );
}

}
