#include "framework/core/engine/EFCoreTestBench.h"
#include "platform/vm/VMHost.h"
#include "platform/vi/VIHost.h"
#include "platform/si/SIHost.h"
#include "platform/pad/PADHost.h"
#include "platform/dvd/DVDHost.h"
#include "platform/card/CARDHost.h"

#include "Engine/implementation/GC/EIStartup.h"
#include "framework/audio/GCLowLevelSound.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "platform/ax/AXHost.h"
#include "platform/host/HostClock.h"
#include "platform/host/HostEventQueue.h"
#include "platform/runtime/RuntimeRand.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class EIStartupTest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		SetFramesToRun( 1 );
		gbDisableAudio = 0;
		GCResetLowLevelSound();
	}

	void TearDown() override {
		delete gpoEngineController;
		EXPECT_EQ( gpoGraphicsMgr, nullptr );
		EFIniFile::GetInstance()->Clear();
		gbDisableAudio = 0;
		GCResetLowLevelSound();
		EFCoreTestBench::TearDown();
	}

	// Runs start-up with the program path first, as the host passes it.
	s32 Run( const std::vector<std::string>& arguments ) {
		std::vector<std::string> words = { "/work/build/engine" };
		words.insert( words.end(), arguments.begin(), arguments.end() );
		std::vector<char*> argv;
		for ( std::string& word : words ) {
			argv.push_back( word.data() );
		}
		return EIMain( static_cast<s32>( argv.size() ), argv.data() );
	}
};

TEST_F( EIStartupTest, TurnsTheArgumentsIntoTheCommandStringAndContext ) {
	const std::string longPath( 1000, 'P' );
	struct Row {
		const char*					name;
		const char*					ini;
		std::vector<std::string>	arguments;
		std::string					command;
		const char*					resFilename;
		std::string					levelPath;
	};
	const Row rows[] = {
		{ "no arguments", "", {}, "/c -", "", "" },
		{ "level from the ini", "StartingLevelToLoad = LEVEL1.GCR\nStartingLevelPath = SAMPLE\n", {},
		  "/c -LEVEL1.GCR", "LEVEL1.GCR", "SAMPLE" },
		{ "-f drops the options before it", "", { "-xFOO", "-fMYLEVEL" }, "/c -MYLEVEL", "MYLEVEL", "" },
		{ "options after -f are handed on, a dashed one inside the value", "", { "-fMYLEVEL", "-v", "/l" }, "/c -MYLEVEL -v /l", "MYLEVEL -v", "" },
		{ "-w replaces the level path", "StartingLevelPath = SAMPLE\n", { "-wOTHER" }, "/c -", "", "OTHER" },
		{ "d s p m are consumed", "", { "-d", "-s", "-pPREFIX", "-m1", "plain" }, "/c -", "", "" },
		{ "a 1000-character -w is cut", "", { "-w" + longPath }, "/c -", "", longPath.substr( 0, 499 ) },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		WriteDiscText( "ENGINE.INI", row.ini );
		ASSERT_EQ( Run( row.arguments ), 0 );
		const EFAppContext& context = EIGetStartupContext();
		EXPECT_EQ( std::string( EIGetCommandString() ), row.command );
		EXPECT_STREQ( context.szResFilename, row.resFilename );
		EXPECT_EQ( std::string( context.szLevelPath ), row.levelPath );
		EXPECT_STREQ( context.szLanguagePath, "FR" );
		EXPECT_STREQ( context.szBaseDirectory, "" );
		EXPECT_EQ( context.uiMaxFPS, 30u );
	}
}

TEST_F( EIStartupTest, FlagsTheControllersHeldInTheResetCombination ) {
	PADStatus held = {};
	held.button = PAD_BUTTON_X | PAD_BUTTON_B | PAD_BUTTON_START;
	PADStatus partial = {};
	partial.button = PAD_BUTTON_X | PAD_BUTTON_START;
	ASSERT_TRUE( PADHostSetStatusFromNow( 0, partial ) );
	ASSERT_TRUE( PADHostSetStatusFromNow( 2, held ) );
	ASSERT_EQ( Run( {} ), 0 );
	const u32 expected[EI_CONTROLLER_PORTS] = { 0, 0, 1, 0 };
	for ( u32 port = 0; port < EI_CONTROLLER_PORTS; port++ ) {
		EXPECT_EQ( gui32ControllerResetDown[port], expected[port] ) << "port " << port;
	}
	EXPECT_TRUE( CARDHostIsInitialised() );
	EXPECT_TRUE( DVDHostAutoFatalMessaging() );
	EXPECT_EQ( SIHostSamplingRate(), 5u );
	EXPECT_NE( pFontData, nullptr );
	EXPECT_EQ( reinterpret_cast<uintptr_t>( pFontData ) % 32, 0u );
}

TEST_F( EIStartupTest, MapsVirtualMemoryOnlyForASizeThatFits ) {
	struct Row {
		const char*	ini;
		u32			auxBytes;	// 0: no virtual memory
	};
	const Row rows[] = {
		{ "", 12288u * 1024u },
		{ "GCVMSARAMSize = 4096\n", 4096u * 1024u },
		{ "GCVMSARAMSize = 16384\n", 16384u * 1024u },
		{ "GCVMSARAMSize = 0\n", 0 },
		{ "GCVMSARAMSize = -5\n", 0 },
		{ "GCVMSARAMSize = 20000\n", 0 },
		{ "GCVMSARAMSize = 99999999999\n", 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.ini );
		MMSetVMWindow( nullptr, 0 );
		VMHostReset();
		WriteDiscText( "ENGINE.INI", row.ini );
		ASSERT_EQ( Run( {} ), 0 );
		EXPECT_EQ( VMHostAuxBytes(), row.auxBytes );
		EXPECT_EQ( VMHostWindowSize(), row.auxBytes );
		if ( row.auxBytes != 0 ) {
			EXPECT_EQ( VMHostPageCacheBytes(), 0x280000u );
			EXPECT_EQ( VMHostAuxStart(), 0x1000000u - row.auxBytes );
		}
	}
}

TEST_F( EIStartupTest, StartsTheSoundBackEndUnlessTheIniSwitchesItOff ) {
	struct Row {
		const char*	ini;
		u8			disabled;
	};
	const Row rows[] = {
		{ "", 0 },
		{ "DisableSoundEngine = 0\n", 0 },
		{ "DisableSoundEngine = 1\n", 1 },
		{ "DisableSoundEngine = XQZ\n", 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.ini );
		gbDisableAudio = 0;
		GCResetLowLevelSound();
		WriteDiscText( "ENGINE.INI", row.ini );
		ASSERT_EQ( Run( {} ), 0 );
		EXPECT_EQ( gbDisableAudio, row.disabled );
		EXPECT_EQ( GCGetSoundCompletionCallback() != nullptr, row.disabled == 0 );
	}
}

TEST_F( EIStartupTest, SeedsTheRandomGeneratorFromTheClockOfDay ) {
	// 01:02:03 on the first day of the epoch.
	HostClockUseVirtual( HostSecondsToTicks( 3723.0 ) );
	ASSERT_EQ( Run( {} ), 0 );
	const s32 drawn = RuntimeRand();
	RuntimeSrand( 3 * 1000 + 2 * 60 + 1 * 24 );
	EXPECT_EQ( drawn, RuntimeRand() );
}

TEST_F( EIStartupTest, PanicsOnAnUnknownTvFormat ) {
	VIHostSetTvFormat( 3 );
	EXPECT_THROW( Run( {} ), std::runtime_error );
	ASSERT_EQ( EFCoreTestSeen().panics.size(), 1u );
	EXPECT_EQ( EFCoreTestSeen().panics[0], "EIMain:325:DEMOInit: invalid TV format\n" );
}

TEST_F( EIStartupTest, ReportsAFailedInitialisationAsAFailure ) {
	EFRessourcesMgr::smbFailNextInitialize = 1;
	EXPECT_NE( Run( {} ), 0 );
	EXPECT_NE( gpoEngineController, nullptr );
}

TEST_F( EIStartupTest, RefusesToBootWithoutADiscFolder ) {
	ASSERT_TRUE( disc.WriteText( "ENGINE.INI", "StartingLevelToLoad = LEVEL1.GCR\n" ) );
	const struct {
		const char*				what;
		std::filesystem::path	folder;
		const char*				said;
	} rows[] = {
		{ "a missing folder", root / "no" / "such" / "disc", "does not exist" },
		{ "a file in its place", disc.DiscFolder() / "ENGINE.INI", "is not a folder" },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.what );
		HostSettings settings = HostGetSettings();
		std::snprintf( settings.discFolder, sizeof( settings.discFolder ), "%s", row.folder.c_str() );
		HostSettingsOverride( settings );
		testing::internal::CaptureStderr();
		const s32 code = Run( {} );
		const std::string said = testing::internal::GetCapturedStderr();
		EXPECT_EQ( code, 1 );
		EXPECT_EQ( gpoEngineController, nullptr ) << "nothing is started";
		EXPECT_EQ( std::count( said.begin(), said.end(), '\n' ), 1 ) << said;
		EXPECT_EQ( said.rfind( "host: ", 0 ), 0u ) << said;
		for ( const std::string& part : { "\"" + row.folder.string() + "\"", std::string( "ENGINE_DISC" ), std::string( row.said ),
										  std::string( "build/default/disc" ) } ) {
			EXPECT_NE( said.find( part ), std::string::npos ) << part << " in " << said;
		}
	}
}

TEST_F( EIStartupTest, RunsOnDefaultsWithoutEngineIni ) {
	SetFramesToRun( 120 );
	EXPECT_EQ( Run( {} ), 0 );
	EXPECT_EQ( gpoEngineController, nullptr );
	EXPECT_EQ( VMHostAuxBytes(), 12288u * 1024u );
}

TEST_F( EIStartupTest, AnExitWithAnAudioFrameAndARetraceDueRunsNoCallbackDuringTeardown ) {
	// Static teardown frees engine memory, and every free restores
	// interrupts: an audio frame delivered then would walk the destroyed
	// voices. The mix file holds every audio frame rendered, so one
	// rendered after the exit decision shows in its length.
	struct Row {
		const char*	name;
		void		( *exit )( s32 code );
		s32			status;
	};
	const Row rows[] = {
		{ "the end of the run", []( const s32 code ) { EIExit( code ); }, 0 },
		{ "a panic", []( s32 ) { OSHostSetPanicHook( nullptr ); OSPanic( "EIStartupTest", 1, "exit\n" ); }, 1 },
		{ "a console reset", []( s32 ) { OSHostSetResetHook( nullptr ); OSResetSystem( 0, 0, 0 ); }, 0 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const std::string wav = ( root / "exit.wav" ).native();
		const std::string frames = ( root / "exit.frames" ).native();
		EXPECT_EXIT(
			{
				AXHostSetWavPath( wav.c_str() );
				SetFramesToRun( 3 );
				const s32 code = Run( {} );
				// The audio frames go on after the run, as on the real
				// clock; then one more frame and a retrace fall due.
				HostAdvanceTime( HostMillisecondsToTicks( 20 ) );
				HostClockSet( HostClockNow() + HostMillisecondsToTicks( 40 ) );
				std::ofstream( frames ) << AXHostFrameCount() << ' ' << HostPendingEventCount();
				row.exit( code );
			},
			::testing::ExitedWithCode( row.status ), "" );
		u64 rendered = 0;
		u32 pending = 0;
		std::ifstream( frames ) >> rendered >> pending;
		EXPECT_GT( rendered, 0u );
		EXPECT_GE( pending, 2u ) << "an audio frame and a retrace were due at the exit";
		EXPECT_EQ( std::filesystem::file_size( wav ), 44 + rendered * AX_SAMPLES_PER_FRAME * 4 )
			<< "no audio frame after the exit decision";
	}
}

}
