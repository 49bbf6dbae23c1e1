/*
	The sample disc booted in-process on the console driver with the
	engine executable's allocator routing: the graphics manager opens the
	library itself at NTSC 640 x 448 (PAL 640 x 496), each engine frame
	shows one picture, paced at 30 a second, the cameras draw into windows
	of the main rasters, the level loads its pictures, its lit static
	world and its collision map and changes twice, a screen grab leaves the
	frame buffers as they were, and at the end the library is down.
*/
#include "SampleDriverTestBench.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"

#include "framework/core/engine/EFIniFile.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/EFPaletteDictionary.h"
#include "framework/graphics/EFPaletteMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/hud/EFHudWindow.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFPhysicMgr.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "platform/gx/GXHost.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// Frames queued behind the one on screen when a run stops.
constexpr u32 IN_FLIGHT = 3;

class SampleDriverTest : public SampleDriverTestBench {
protected:
	void TearDown() override {
		delete gpoEngineController;
		EXPECT_EQ( gpoGraphicsMgr, nullptr );
		// What the manager brought up is down again.
		EXPECT_EQ( RwDlTestEngineState(), RWENGINE_STATE_IDLE );
		SampleDriverTestBench::TearDown();
	}

	void Boot( const u32 frames, const std::string& ini ) {
		ASSERT_NO_FATAL_FAILURE( WriteSampleDisc() );
		WriteDiscText( "ENGINE.INI", ini );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		ASSERT_NO_FATAL_FAILURE( StartSampleDisc( frames ) );
		ASSERT_NE( gpoGraphicsMgr, nullptr );
	}

	// Runs frames more of the engine and gives the display copies the VI
	// showed meanwhile and the retraces that passed.
	void Run( const u32 frames, u32* pictures, u32* retraces ) {
		VIHostClearRetraceLog();
		RunMoreFrames( frames );
		std::set<u32> copies;
		const std::vector<VIHostRetrace> log = VIHostRetraceLog();
		for ( const VIHostRetrace& r : log ) {
			if ( r.copySerial != 0 ) {
				copies.insert( r.copySerial );
			}
		}
		*pictures = static_cast<u32>( copies.size() );
		*retraces = static_cast<u32>( log.size() );
	}
};

TEST_F( SampleDriverTest, TheSampleRunsOnePicturePerFrameThroughTwoLevelChanges ) {
	ASSERT_NO_FATAL_FAILURE( Boot( 1, "" ) );
	EFGraphicsMgr* const manager = gpoGraphicsMgr;
	EXPECT_EQ( manager->GetScreenWidth(), 640u );
	EXPECT_EQ( manager->GetScreenHeight(), 448u );
	ASSERT_EQ( manager->GetDriverNames().GetSize(), 1u );
	EXPECT_STREQ( manager->GetDriverNames()[0], "Only rendering sub system" );
	bool listed = false;
	for ( u32 i = 0; i < manager->GetDisplayModes().GetSize(); i++ ) {
		const EFDisplayMode_s& mode = manager->GetDisplayModes()[i];
		listed = listed || ( mode.width == 640 && mode.height == 448 && mode.depth == 24 && mode.exclusive == 1 );
	}
	EXPECT_TRUE( listed );
	ASSERT_NE( manager->GetCameraRaster(), nullptr );

	// A camera covers the screen through a window of the main rasters; its
	// default view window has the screen's aspect.
	EFCamera* const camera = manager->GetCamera( manager->CreateCamera( nullptr ) );
	ASSERT_NE( camera, nullptr );
	f32 width = 0.0f;
	f32 height = 0.0f;
	camera->GetViewWindow( width, height );
	EXPECT_EQ( width, 0.5f );
	EXPECT_EQ( height, 0.35f );
	EXPECT_EQ( camera->mpoRwCamera->frameBuffer->parent, manager->GetCameraRaster() );
	EXPECT_EQ( camera->mpoRwCamera->frameBuffer->height, 448 );

	constexpr u32 FRAMES = 60;
	for ( u32 level = 0; level < 3; level++ ) {
		SCOPED_TRACE( level );
		u32 pictures = 0;
		u32 retraces = 0;
		Run( FRAMES, &pictures, &retraces );
		// One picture per frame, two retraces each at 30 a second; up to
		// three frames are still on their way to the screen at the end.
		EXPECT_LE( pictures, FRAMES );
		EXPECT_GE( pictures, FRAMES - IN_FLIGHT );
		EXPECT_NEAR( static_cast<f64>( retraces ), 2.0 * pictures, 2.0 );
		EXPECT_EQ( camera->GetFrameCount(), ( level + 1 ) * FRAMES );
		// Each load registered the level's collision map once, the change
		// having deleted the one before.
		const EFCollisionMap* const map = EFPhysicMgr::moPhysicMgr.GetFirstMap();
		ASSERT_NE( map, nullptr );
		EXPECT_EQ( map->mpoNextMap, nullptr );
		if ( level < 2 ) {
			// The level's HUD fonts and texts go before its heap (ASan
			// would see them used after it otherwise).
			gpoEngineController->LoadLevel( 0 );
			EXPECT_EQ( gpoRessourcesMgr->GetLoadCount(), level + 2 );
		}
	}
	FinishSampleDisc();
}

// The textures of the current dictionary by name.
std::multiset<std::string> DictionaryNames() {
	std::multiset<std::string> names;
	RwTexDictionaryForAllTextures( RwTexDictionaryGetCurrent(), []( RwTexture* texture, void* data ) -> RwTexture* {
		static_cast<std::multiset<std::string>*>( data )->insert( texture->name );
		return texture;
	}, &names );
	return names;
}

// The ids of the light manager's lights, newest first.
std::vector<u32> LightIds() {
	std::vector<u32> ids;
	for ( EFLight* light = gpoEFLightMgr->moLights.mpFirst; light != nullptr; light = light->mpNextLight ) {
		ids.push_back( light->GetUID() );
	}
	return ids;
}

TEST_F( SampleDriverTest, TheLevelLoadsItsPicturesBehindALoadingScreenAndAChangeLeavesNoneBehind ) {
	ASSERT_NO_FATAL_FAILURE( Boot( 1, "" ) );
	// The loading screen showed pictures while the level loaded, then went
	// with its own two textures.
	std::set<u32> copies;
	for ( const VIHostRetrace& r : VIHostRetraceLog() ) {
		if ( r.copySerial != 0 ) {
			copies.insert( r.copySerial );
		}
	}
	EXPECT_GE( copies.size(), 1u );
	const std::multiset<std::string> level = { "DefaultDropShadow", "FONT0", "LAMP", "LensFlareTex1",
											   "LensFlareTex2", "LensFlareTex3", "SPARK" };
	EXPECT_EQ( DictionaryNames(), level );
	EFPaletteDictionary* const palettes = goPaletteMgr.GetPaletteDictionary();
	ASSERT_NE( palettes, nullptr );
	EXPECT_NE( palettes->GetPalette( "lamp", 1, 16 ), nullptr );
	// The static world came with its point and spot light.
	ASSERT_NE( gpoWorldMgr->GetCurrentWorld(), nullptr );
	const std::vector<u32> lights = { 0x12800001, 0x12800000 };
	EXPECT_EQ( LightIds(), lights );

	u32 pictures = 0;
	u32 retraces = 0;
	Run( 2, &pictures, &retraces );
	gpoEngineController->LoadLevel( 0 );
	EXPECT_EQ( DictionaryNames(), level );
	EXPECT_EQ( LightIds(), lights );
	EXPECT_NE( goPaletteMgr.GetPaletteDictionary(), nullptr );
	EXPECT_EQ( goPaletteMgr.mi32TargetState, EF_PALETTE_NO_TARGET );
	Run( 2, &pictures, &retraces );
	FinishSampleDisc();
	EXPECT_EQ( goPaletteMgr.GetPaletteDictionary(), nullptr );
}

TEST_F( SampleDriverTest, SixtyAFrameWithMaxFpsSixtyAndPalIsTallerScreen ) {
	VIHostSetTvFormat( VI_PAL );
	ASSERT_NO_FATAL_FAILURE( Boot( 1, "MaxFPS = 60\n" ) );
	EXPECT_EQ( gpoGraphicsMgr->GetScreenHeight(), 496u );
	u32 pictures = 0;
	u32 retraces = 0;
	Run( 60, &pictures, &retraces );
	EXPECT_LE( pictures, 60u );
	EXPECT_GE( pictures, 60u - IN_FLIGHT );
	EXPECT_NEAR( static_cast<f64>( retraces ), static_cast<f64>( pictures ), 1.0 );
	FinishSampleDisc();
	VIHostSetTvFormat( VI_NTSC );
}

TEST_F( SampleDriverTest, AScreenGrabLeavesTheFrameBuffersAsTheyWere ) {
	ASSERT_NO_FATAL_FAILURE( Boot( 1, "" ) );
	u32 pictures = 0;
	u32 retraces = 0;
	Run( 4, &pictures, &retraces );
	void* displayed = nullptr;
	void* copyTarget = nullptr;
	RwGameCubeGetXFBs( &displayed, &copyTarget );
	ASSERT_NE( displayed, nullptr );
	ASSERT_NE( copyTarget, nullptr );
	const u32 bytes = _rwDlXfbWidth() * g_rmode.xfbHeight * 2;
	const std::vector<u8> before[] = { { static_cast<u8*>( displayed ), static_cast<u8*>( displayed ) + bytes },
									   { static_cast<u8*>( copyTarget ), static_cast<u8*>( copyTarget ) + bytes } };
	GXHostFillEfb( 0, 0, 640, 512, 0xFF204060 );
	EFCamera_SP::smui32ShotCounter = 0;
	EFCamera camera( nullptr );
	camera.TakeSnapShot( ( root / "grab%d.bmp" ).native().c_str() );
	EXPECT_TRUE( std::filesystem::exists( root / "grab0.bmp" ) );
	EXPECT_EQ( std::filesystem::file_size( root / "grab0.bmp" ), 54u + 640u * 512u * 3u );
	EXPECT_TRUE( std::memcmp( displayed, before[0].data(), bytes ) == 0 );
	EXPECT_TRUE( std::memcmp( copyTarget, before[1].data(), bytes ) == 0 );
	FinishSampleDisc();
}

}

namespace {

u32 DrawsLogged() {
	u32 draws = 0;
	for ( const GXHostFrame& frame : GXHostFrames() ) {
		draws += static_cast<u32>( frame.draws.size() );
	}
	return draws;
}

}

TEST_F( SampleDriverTest, TheLevelsHudTreeShowsItsTextAndImageEveryFrame ) {
	ASSERT_NO_FATAL_FAILURE( Boot( 1, "" ) );
	EFCamera* const camera = gpoGraphicsMgr->GetCamera( gpoGraphicsMgr->CreateCamera( nullptr ) );
	ASSERT_NE( camera, nullptr );
	for ( u32 level = 0; level < 2; level++ ) {
		SCOPED_TRACE( level );
		const EFHudWindow* const text = gpoHudMgr->GetRootWindow()->mpoFirstChild;
		ASSERT_NE( text, nullptr );
		ASSERT_EQ( text->meType, HUD_WIN_TEXT );
		ASSERT_NE( text->mpoNextSibling, nullptr );
		EXPECT_EQ( text->mpoNextSibling->meType, HUD_WIN_2D );
		EXPECT_NE( gpoHudMgr->GetFont( 0 ), nullptr );
		EXPECT_NE( gpoHudMgr->GetTextTable(), nullptr );
		EXPECT_NE( gpoHudMgr->GetPalette( 0 ), nullptr );
		constexpr u32 FRAMES = 4;
		camera->muiRenderFlags &= ~0x80u;
		GXHostClearLog();
		RunMoreFrames( FRAMES );
		const u32 without = DrawsLogged();
		camera->muiRenderFlags |= 0x80u;
		GXHostClearLog();
		RunMoreFrames( FRAMES );
		// The image's strip and one batch of the text's glyphs a frame (the
		// log's frames need not line up with the engine's exactly).
		EXPECT_GE( DrawsLogged(), without + 2 * ( FRAMES - 1 ) );
		EXPECT_LE( DrawsLogged(), without + 2 * ( FRAMES + 1 ) );
		gpoEngineController->LoadLevel( 0 );
	}
	FinishSampleDisc();
}
