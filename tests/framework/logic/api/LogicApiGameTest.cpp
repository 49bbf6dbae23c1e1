/*
	The game table: level changes with their transition movie and extra
	files, where every copy is bounded by its field; the cut-scene volume,
	the TV system and quitting.
*/
#include "framework/core/engine/EFCoreTestBench.h"

#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "framework/logic/api/LogicApiTables.h"
#include "framework/video/EFVideoPlayer.h"

#include <cstring>
#include <string>

namespace {

class LogicApiGameTest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		std::strcpy( context.szLevelPath, "SAMPLE" );
		std::strcpy( context.szLanguagePath, "FR" );
		controller = new EFEngineController( context );
		Init_game();
		gpoRessourcesMgr->SetResFilename( "OLD.GCR" );
	}

	void TearDown() override {
		delete controller;
		EFIniFile::GetInstance()->Clear();
		EFCoreTestBench::TearDown();
	}

	void UseIni( const ToolIniWriter& ini ) {
		WriteIni( ini );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
	}

	EFAppContext		context{};
	EFEngineController*	controller = nullptr;
};

TEST_F( LogicApiGameTest, AnEmptyPathKeepsTheLevelAndANameWithoutExtensionTakesTheLastOne ) {
	char empty[] = "";
	char level2[] = "LEVEL2";
	APIgame.LoadLevel( empty, level2, nullptr );
	EXPECT_STREQ( controller->GetLevelPath(), "SAMPLE" );
	EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), "LEVEL2.GCR" );
	EXPECT_NE( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
	EXPECT_EQ( controller->GetFlags() & EF_CONTROLLER_MOVIE_PENDING, 0u );
}

TEST_F( LogicApiGameTest, TheTransitionMovieTakesTheLanguagesAudioTrack ) {
	ToolIniWriter ini;
	ini.SetInteger( "VideoAudioTrack_FR", 3 );
	UseIni( ini );
	char path[] = "OTHER";
	char file[] = "OTHER.GCR";
	char movie[] = "\\MOVIES\\IP";
	stleveltransitionparams params{};
	params.muiTransitionFlags = 0x2;
	params.mszVideoName = movie;
	APIgame.LoadLevel( path, file, &params );
	EXPECT_STREQ( controller->GetLevelPath(), "OTHER" );
	EXPECT_NE( controller->GetFlags() & EF_CONTROLLER_MOVIE_PENDING, 0u );
	EXPECT_STREQ( EFVideoPlayer::GetInstance()->mszVideoPath, "MOVIES\\IP" );
	EXPECT_EQ( EFVideoPlayer::GetInstance()->mi32AudioTrack, 3 );
}

TEST_F( LogicApiGameTest, EveryCopyStaysInsideItsField ) {
	// A 600-character path and language are cut to their fields.
	std::string longText( 600, 'P' );
	APIgame.LoadLevel( longText.data(), longText.data(), nullptr );
	EXPECT_EQ( std::strlen( controller->GetLevelPath() ), EF_CONTROLLER_PATH_SIZE - 1 );
	APIgame.SetGameLanguage( longText.data() );
	EXPECT_EQ( std::strlen( APIgame.GetGameLanguage() ), EF_CONTROLLER_LANGUAGE_SIZE - 1 );
	char empty[] = "";
	APIgame.SetGameLanguage( empty );
	EXPECT_EQ( std::strlen( APIgame.GetGameLanguage() ), EF_CONTROLLER_LANGUAGE_SIZE - 1 );

	// Twelve files asked for, ten taken; a name filling its field whole
	// ends there.
	stleveltransitionparams params{};
	params.muiTransitionFlags = 0x4 | 0x2;
	params.mszVideoName = nullptr;	// no movie: no movie step at all
	params.muiNumberOfExternalFilesToLoad = 12;
	for ( auto& name : params.mpszExternalFiles ) {
		std::memset( name, 'F', sizeof( name ) );
	}
	controller->ClearFlags( EF_CONTROLLER_MOVIE_PENDING );
	char file[] = "NEXT.GCR";
	APIgame.LoadLevel( empty, file, &params );
	EXPECT_EQ( gpoRessourcesMgr->GetRequestedExternalFileCount(), 10u );
	EXPECT_EQ( controller->GetFlags() & EF_CONTROLLER_MOVIE_PENDING, 0u );
}

TEST_F( LogicApiGameTest, VolumeRegionAndQuit ) {
	const struct {
		f32 given;
		f32 kept;
	} volumes[] = { { 1.5f, 1.0f }, { -0.2f, 0.0f }, { 0.25f, 0.25f } };
	for ( const auto& volume : volumes ) {
		APIgame.SetCutSceneVolume( volume.given );
		EXPECT_EQ( EFCutScenePlayer::mInstance.mfCSVolume, volume.kept );
	}
	EXPECT_EQ( APIgame.GetSystemRegion(), 0u );
	const struct {
		const char* mode;
		u32			region;
	} regions[] = { { "PAL", 4 }, { "NTSC", 1 }, { "SECAM", 0 } };
	for ( const auto& row : regions ) {
		ToolIniWriter ini;
		ini.Set( "DisplayMode", row.mode );
		UseIni( ini );
		EXPECT_EQ( APIgame.GetSystemRegion(), row.region ) << row.mode;
	}
	APIgame.QuitGame();
	EXPECT_NE( controller->GetFlags() & EF_CONTROLLER_QUIT, 0u );
}

}

namespace {

// The extra table's demo slot reads the controller's demo loop.
TEST_F( LogicApiGameTest, TheDemoLoopPlaysInItsFourBusyStates ) {
	Init_extra();
	const u32 playing[] = { 0, 1, 1, 1, 1, 0 };
	for ( u32 state = 0; state < 6; state++ ) {
		controller->GetDemoLoop().SetStateForTesting( state );
		EXPECT_EQ( APIextra.DemoLoopIsPlaying(), playing[state] ) << state;
	}
	controller->GetDemoLoop().SetStateForTesting( 0 );
	// Nothing to step through without a slide show.
	APIextra.SlideNext();
	APIextra.SlidePrev();
	APIextra.SlideReadyRegisterNotify( 0x2A000999, 1 );
	EXPECT_EQ( gpoGameLogicMgr->GetNotificationMgr().GetTargetCount( NO_SLIDE ), 0u );
}

}
