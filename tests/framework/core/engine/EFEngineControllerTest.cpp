#include "EFCoreTestBench.h"

#include "datatypes/streamable/DTGlo.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/audio/EFNewSoundGC.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/graphics/animation/EFTexFader_BC.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/save/EFLoadSaveMgr.h"
#include "framework/logic/EFGameBuffer.h"
#include "framework/logic/EFGameMemoryMgr.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/effects/EFFBEffectMgr.h"
#include "framework/graphics/effects/EFFBEffect_FrameDistortion_BC.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFBillboardMgr.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/graphics/effects/EFFBEffectRW.h"
#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/EFLinesMgr.h"
#include "framework/graphics/EFPaletteMgr.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "graphics3d/core/RwCamera.h"
#include "platform/pad/PAD.h"
#include "platform/pad/PADHost.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwTexture.h"
#include "framework/video/EFVideoPlayer.h"
#include "tools/lib/demo/ToolDemoFile.h"

#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr u32 COMPLETING_VOICE = 3;
constexpr u32 COMPLETION_ID = 0x10000042;

EFSoundEventData gCompletingRecord = {};

// An active sound event whose voice completes with a completion queued
// now: the next audio update reaches it and frees the voice.
EFSoundEvent* QueueSoundCompletion() {
	gCompletingRecord.mui32NbElements = 1;
	EFSoundEvent* const event = gpoNewAudioMgr->GetEvent( 0 );
	event->mpoRecord = &gCompletingRecord;
	event->mui32Voice = COMPLETING_VOICE;
	event->mui32CompletionId = COMPLETION_ID;
	gpoNewAudioMgr->RegisterActiveSoundEvent( event );
	EFNewAudioMgr_SP::SoundCompletionCallback( COMPLETION_ID );
	return event;
}

}

namespace {

u32 gLogicSteps = 0;
f32 gLogicStep = 0.0f;

u32 gCardCallbacks = 0;

void CountCardCallback( SG_CBParamDef* ) {
	gCardCallbacks++;
}

s32 CountLogicStep( void*, void* ) {
	gLogicSteps++;
	gLogicStep = gpoGameLogicMgr->GetDeltaTime();
	return 0;
}

// Asks for a recording from the first frame's logic.
s32 RecordOnce( void*, void* ) {
	if ( gLogicSteps++ == 0 ) {
		char path[] = "DEMO.DEM";
		gpoEngineController->GetDemoLoop().Record( path );
	}
	return 0;
}

// A demo of two frames whose steps no measured time gives.
constexpr f32 DEMO_STEP = 0.125f;

class EFEngineControllerTest : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		std::memset( &context, 0, sizeof( context ) );
		std::strcpy( context.szResFilename, "START.GCR" );
		std::strcpy( context.szLevelPath, "SAMPLE" );
		std::strcpy( context.szLanguagePath, "FR" );
		EFVideoPlayer::GetInstance()->mui32Playing = 0;
		EFCallTraceEnable( true );
	}

	void TearDown() override {
		delete gpoEngineController;
		EXPECT_EQ( gpoEngineController, nullptr );
		EXPECT_EQ( gpoGraphicsMgr, nullptr );
		EXPECT_EQ( gpoRessourcesMgr, nullptr );
		EXPECT_EQ( gpoEFLightMgr, nullptr );
		EXPECT_EQ( gpoLogicStack, nullptr );
		EXPECT_EQ( gpoPLParticleMgr, nullptr );
		EXPECT_EQ( gpoTestCamera, nullptr );
		EFVideoPlayer::GetInstance()->mui32Playing = 0;
		EFCallTraceEnable( false );
		EFIniFile::GetInstance()->Clear();
		EFCoreTestBench::TearDown();
	}

	EFEngineController* MakeController() {
		new EFEngineController( context );
		return gpoEngineController;
	}

	// The names traced since the last EFCallTraceEnable.
	static std::vector<std::string> Trace() {
		std::vector<std::string> names;
		for ( u32 i = 0; i < EFCallTraceCount(); i++ ) {
			names.push_back( EFCallTraceAt( i ) );
		}
		return names;
	}

	static s32 IndexOf( const std::vector<std::string>& names, const std::string& name ) {
		for ( size_t i = 0; i < names.size(); i++ ) {
			if ( names[i] == name ) {
				return static_cast<s32>( i );
			}
		}
		return -1;
	}

	EFAppContext	context;
};

TEST_F( EFEngineControllerTest, SmoothsTheFrameTimeOverTenClampedEntries ) {
	struct Row {
		const char*	name;
		f32			raw;
		f32			expected;
	};
	// Rows run in order on one controller: each raw time enters the ring.
	const Row rows[] = {
		{ "first frame averages with the initial entries", 0.02f, 0.02f },
		{ "a 0.5 s frame counts as 0.05 s", 0.5f, ( 8 * 0.02f + 0.02f + 0.05f ) / 10.0f },
		{ "a 0 s frame counts as 0.0001 s", 0.0f, ( 7 * 0.02f + 0.02f + 0.05f + 0.0001f ) / 10.0f },
	};
	EFEngineController* const controller = MakeController();
	f32 gameTime = 0.0f;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		const f32 dt = controller->AddFrameTime( row.raw );
		gameTime += dt;
		EXPECT_NEAR( dt, row.expected, 1e-6f );
		EXPECT_EQ( controller->GetFrameDeltaTime(), dt );
	}
	EXPECT_NEAR( controller->GetGameTime(), gameTime, 1e-6f );
	// Ten long frames later every entry holds the ceiling.
	for ( u32 i = 0; i < EF_FRAME_TIME_RING_SIZE; i++ ) {
		controller->AddFrameTime( 3.0f );
	}
	EXPECT_NEAR( controller->GetFrameDeltaTime(), EF_FRAME_TIME_MAX, 1e-6f );
}

TEST_F( EFEngineControllerTest, StartsWithTheDocumentedStateAndPublishesEveryManager ) {
	std::memset( context.szResFilename, 'N', sizeof( context.szResFilename ) );	// unterminated
	EFEngineController* const controller = MakeController();
	EXPECT_EQ( controller->GetFlags(), EF_CONTROLLER_RUNNING );
	EXPECT_STREQ( controller->GetLanguage(), "FR" );
	EXPECT_STREQ( controller->GetLevelPath(), "SAMPLE" );
	EXPECT_EQ( std::strlen( controller->GetResFilename() ), EF_CONTROLLER_PATH_SIZE - 1 );
	EXPECT_STREQ( controller->GetPathPrefix(), "" );
	for ( u32 i = 0; i < EF_DEMO_LAUNCH_WORDS; i++ ) {
		EXPECT_EQ( controller->GetDemoLaunchData( i ), 0xFFFFFFFFu );
	}
	EXPECT_NE( gpoGraphicsMgr, nullptr );
	EXPECT_NE( gpoEFLightMgr, nullptr );
	EXPECT_NE( gpoLinesMgr, nullptr );
	EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), controller->GetResFilename() );
}

TEST_F( EFEngineControllerTest, InitialisesInOrderAndStopsAtTheFirstFailure ) {
	// The OS interface manager, which does no work of its own on the
	// console, runs before these untraced, and the game logic manager,
	// which always succeeds, between the player devices and load/save; the
	// handheld-link manager, which has no effect here, after load/save.
	// The audio manager starts first (its completion ids start again).
	const std::vector<std::string> fullOrder = {
		"EFRessourcesMgr::Initialize", "EFRessourcesMgr::LoadLevel",
	};
	struct Row {
		const char*	name;
		bool		failResources;
		u32			result;
		size_t		steps;
	};
	const Row rows[] = {
		{ "every manager succeeds", false, 1, fullOrder.size() },
		{ "the resources manager fails", true, 0, 1 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.name );
		EFEngineController* const controller = MakeController();
		EXPECT_EQ( gpoGameLogicMgr->Initialize(), 1u );
		gpoRessourcesMgr->mbFailInitialize = row.failResources ? 1 : 0;
		// Callbacks set before start-up belong to no module: the load/save
		// manager's start clears them.
		goLoadSaveMgr.SetErrorCallBack( CountCardCallback );
		goLoadSaveMgr.SetCompleteCallBack( CountCardCallback );
		gCardCallbacks = 0;
		gpoNewAudioMgr->mui32CompletionCounter = 5;
		EFCallTraceEnable( true );
		EXPECT_EQ( controller->InitializeFramework(), row.result );
		EXPECT_EQ( gpoNewAudioMgr->mui32CompletionCounter, EF_COMPLETION_ID_BASE );
		EXPECT_EQ( Trace(), std::vector<std::string>( fullOrder.begin(), fullOrder.begin() + static_cast<long>( row.steps ) ) );
		if ( !row.failResources ) {
			ASSERT_EQ( goLoadSaveMgr.RegisterGetCardStatus(), 1u );
			goLoadSaveMgr.Update();
			EXPECT_EQ( goLoadSaveMgr.IsAction(), 0u );
			EXPECT_EQ( gCardCallbacks, 0u );
		}
		// The player devices make the input manager right after the level.
		EXPECT_EQ( gpoInputMgr != nullptr, !row.failResources );
		delete controller;
		EXPECT_EQ( gpoInputMgr, nullptr );
	}
}

TEST_F( EFEngineControllerTest, AsksForATallerEffectTextureInPalMode ) {
	struct Row {
		const char*	ini;
		u32			height;
	};
	const Row rows[] = {
		{ "", 448 },
		{ "DisplayMode = PAL\n", 512 },
		{ "DisplayMode = ntsc\n", 448 },
	};
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.ini );
		WriteDiscText( "ENGINE.INI", row.ini );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		EFEngineController* const controller = MakeController();
		ASSERT_EQ( controller->InitializeFramework(), 1u );
		EXPECT_EQ( EFFBEffect_SP::mui32RequestedWidth, 640u );
		EXPECT_EQ( EFFBEffect_SP::mui32RequestedHeight, row.height );
		EXPECT_EQ( EFFBEffect_SP::mui32RequestedDepth, 24u );
		EXPECT_EQ( EFFBEffect_SP::mui32RequestedFlags, 0x605u );
		// The graphics manager opened the library: the texture is made.
		EXPECT_NE( EFFBEffect_SP::mpoRaster, nullptr );
		delete controller;
	}
}

TEST_F( EFEngineControllerTest, CreatesTheEffectCameraTextureWhileTheLibraryRuns ) {
	struct Row {
		const char*	ini;
		s32			height;
	};
	const Row rows[] = {
		{ "", 448 },
		{ "DisplayMode = PAL\n", 512 },
	};
	const RwMemoryFunctions memory = { MMMalloc, MMFree, MMRealloc, MMCalloc };
	u32 deviceConfiguration = 0;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.ini );
		WriteDiscText( "ENGINE.INI", row.ini );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		ASSERT_TRUE( RwEngineInit( &memory, RWENGINE_INIT_NO_FREE_LISTS, 0 ) );
		ASSERT_TRUE( RwEngineOpen( &deviceConfiguration ) );
		ASSERT_TRUE( RwEngineStart() );
		EFEngineController* const controller = MakeController();
		ASSERT_EQ( controller->InitializeFramework(), 1u );

		RwRaster* const raster = EFFBEffect_SP::mpoRaster;
		ASSERT_NE( raster, nullptr );
		EXPECT_EQ( raster->width, 640 );
		EXPECT_EQ( raster->height, row.height );
		EXPECT_EQ( raster->depth, 24 );
		EXPECT_EQ( raster->cType, rwRASTERTYPECAMERATEXTURE );
		EXPECT_EQ( raster->cFormat, 0x06 );
		RwCamera* const camera = EFFBEffect_SP::mpoCamera;
		ASSERT_NE( camera, nullptr );
		EXPECT_EQ( camera->frameBuffer, raster );
		RwFrame* const frame = static_cast<RwFrame*>( camera->object.object.parent );
		EXPECT_NE( frame, nullptr );
		RwTexture* const texture = EFFBEffect_SP::mpoTexture;
		ASSERT_NE( texture, nullptr );
		EXPECT_EQ( texture->raster, raster );
		EXPECT_EQ( texture->filterAddressing, 0x3302u );

		// The controller gives the effect's library objects back.
		delete controller;
		EXPECT_EQ( EFFBEffect_SP::mpoCamera, nullptr );
		EXPECT_EQ( EFFBEffect_SP::mpoTexture, nullptr );
		RwEngineStop();
		RwEngineClose();
		RwEngineTerm();
	}
}

TEST_F( EFEngineControllerTest, AMoviePlayingFreezesTheGameButNotInputOrRender ) {
	ASSERT_TRUE( UseWriteFolder() );
	ToolDemoFile demo;
	demo.blocks.resize( 2 );
	demo.blocks[0].step = DEMO_STEP;
	demo.blocks[1].step = DEMO_STEP;
	ASSERT_TRUE( disc.WriteFile( "DEMO.DEM", ToolWriteDemoFile( demo ) ) );
	SetFramesToRun( 1 );
	for ( const bool playing : { true, false } ) {
		SCOPED_TRACE( playing ? "playing" : "not playing" );
		EFEngineController* const controller = MakeController();
		ASSERT_EQ( controller->InitializeFramework(), 1u );
		EFVideoPlayer::GetInstance()->mui32Playing = playing ? 1 : 0;
		gpoLinesMgr->mui32LineCount = 7;
		controller->SetFlags( EF_CONTROLLER_CLOCK_SLAVING );
		gLogicSteps = 0;
		gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 1, 1, &CountLogicStep, nullptr );
		// A configuration switched on before the frame comes on either way.
		EFInputConfig* const config = gpoInputMgr->InputConfigAdd( 7 );
		config->SetActive( false );
		gpoInputMgr->StartFrame();
		config->SetActive( true );
		ASSERT_FALSE( config->IsActive() );
		// The player devices read the controllers once a frame either way.
		// A replay in its countdown: a movie holds it where it is.
		char path[] = "DEMO.DEM";
		controller->GetDemoLoop().Play( path, nullptr );
		ASSERT_NE( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
		controller->ClearFlags( EF_CONTROLLER_LEVEL_PENDING );
		PADHostReset();
		gLogicStep = 0.0f;
		// A queued card command advances only in frames without a movie.
		ASSERT_EQ( goLoadSaveMgr.RegisterGetCardStatus(), 1u );
		const u32 probes = CARDHostCallCount( CARD_HOST_CALL_PROBE );
		EFSoundEvent* const sound = QueueSoundCompletion();
		// The palette transition advances either way: one of duration 0 ends.
		_sPaletteTransitionData transition = { 0, 1, 0.0f };
		goPaletteMgr.StartTransition( &transition );
		// Trails sample every frame either way.
		const u32 trail = goMotionTrailMgr.CreateSystem( 1, 4, EF_TRAIL_STORED_POSITIONS );
		goMotionTrailMgr.Start( trail );
		goMotionTrailMgr.SetFrequency( trail, 0.0f );
		// The world update drives the texture fader: a fade's clock runs.
		_TFEntry* const fade = EFTexFader_BC::AddEntry();
		ASSERT_NE( fade, nullptr );
		fade->mfTime = 100.0f;
		EFCallTraceEnable( true );
		controller->MainLoop();
		EXPECT_EQ( fade->mfElapsed > 0.0f, !playing );
		EFTexFader_BC::DelEntry( fade );
		EXPECT_EQ( goMotionTrailMgr.GetSystem( trail )->ui32Head, 1u );
		goMotionTrailMgr.DestroySystem( trail );
		// The audio update runs only in frames without a movie.
		EXPECT_EQ( sound->mui32Voice, playing ? COMPLETING_VOICE : EF_NO_VOICE );
		EXPECT_EQ( goPaletteMgr.mi32TargetState, EF_PALETTE_NO_TARGET );
		EXPECT_EQ( goPaletteMgr.mui32CurrentState, 1u );
		EXPECT_EQ( controller->GetDemoLoop().GetFrameCounter(), playing ? 0u : 1u );
		EXPECT_EQ( controller->GetDemoLoop().GetState(), EF_DEMO_PLAY_COUNTDOWN );
		EXPECT_EQ( gLogicStep, playing ? 0.0f : DEMO_STEP );
		EXPECT_EQ( PADHostReadCount(), 1u );
		EXPECT_EQ( CARDHostCallCount( CARD_HOST_CALL_PROBE ) - probes, playing ? 0u : 1u );
		EXPECT_EQ( goLoadSaveMgr.IsAction(), playing ? 1u : 0u );
		goLoadSaveMgr.ResetAction();
		EXPECT_EQ( config->GetActivity(), EF_INPUT_CONFIG_ACTIVE );
		EXPECT_EQ( gLogicSteps, playing ? 0u : 1u );
		EXPECT_EQ( gpoLinesMgr->mui32LineCount, 0u );
		EXPECT_EQ( controller->GetFrameCounter(), 1u );
		// An idle cut-scene player clears clock slaving; a movie skips it.
		EXPECT_EQ( ( controller->GetFlags() & EF_CONTROLLER_CLOCK_SLAVING ) != 0, playing );
		delete controller;
	}
}

TEST_F( EFEngineControllerTest, ChangesTheLevelOnlyAfterTheFramesLastStep ) {
	SetFramesToRun( 2 );
	EFEngineController* const controller = MakeController();
	ASSERT_EQ( controller->InitializeFramework(), 1u );
	controller->SetFlags( EF_CONTROLLER_LEVEL_PENDING | EF_CONTROLLER_MOVIE_PENDING );
	// No such movie: the player returns at once, its file name made.
	std::snprintf( EFVideoPlayer::GetInstance()->mszVideoPath, EF_VIDEO_PATH_SIZE, "MOVIES\\NONE" );
	EFSoundEvent* const sound = QueueSoundCompletion();
	EFCallTraceEnable( true );
	controller->MainLoop();
	EXPECT_EQ( sound->mui32Voice, EF_NO_VOICE );
	const std::vector<std::string> names = Trace();
	const s32 load = IndexOf( names, "EFRessourcesMgr::LoadLevel" );
	ASSERT_GE( load, 0 );
	EXPECT_EQ( EFCallTraceCountOf( "EFRessourcesMgr::LoadLevel" ), 1u );
	EXPECT_STREQ( EFVideoPlayer::GetInstance()->mszVideoPath, "MOVIES/NONE.vid" );
	EXPECT_EQ( EFVideoPlayer::GetInstance()->mui32Playing, 0u );
	EXPECT_LT( IndexOf( names, "EFRessourcesMgr::Terminate" ), load );
	EXPECT_EQ( controller->GetFlags() & ( EF_CONTROLLER_LEVEL_PENDING | EF_CONTROLLER_MOVIE_PENDING ), 0u );
	EXPECT_EQ( controller->GetFrameCounter(), 2u );
	EXPECT_EQ( gpoRessourcesMgr->GetLoadCount(), 2u );
}

TEST_F( EFEngineControllerTest, ARecordingAskedForInAFrameRestartsTheLevelAtItsEnd ) {
	SetFramesToRun( 1 );
	EFEngineController* const controller = MakeController();
	ASSERT_EQ( controller->InitializeFramework(), 1u );
	gLogicSteps = 0;
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_PRELOGIC, 1, 1, &RecordOnce, nullptr );
	EFSoundEvent* const sound = QueueSoundCompletion();
	EFCallTraceEnable( true );
	controller->MainLoop();
	EXPECT_EQ( sound->mui32Voice, EF_NO_VOICE );
	// The frame runs to its end; the recorder's restart, then the level
	// change's own, empty the level twice before it loads.
	const std::vector<std::string> names = Trace();
	const s32 load = IndexOf( names, "EFRessourcesMgr::LoadLevel" );
	ASSERT_GE( load, 0 );
	const s32 firstReset = IndexOf( names, "EFRessourcesMgr::Terminate" );
	EXPECT_GE( firstReset, 0 );
	EXPECT_EQ( EFCallTraceCountOf( "EFRessourcesMgr::Terminate" ), 2u );
	EXPECT_EQ( controller->GetDemoLoop().GetState(), EF_DEMO_RECORD_COUNTDOWN );
	controller->GetDemoLoop().Stop();
}

TEST_F( EFEngineControllerTest, ResetRunsAHundredAndEighteenEmptyFramesAroundTheTerminations ) {
	EFEngineController* const controller = MakeController();
	// The game logic's termination ends its latent template (untraced).
	EFGameObject* const latent = new EFGameObject;
	gpoGameLogicMgr->AddLatent( 0x2a800001, latent, new DTGlo( latent ) );
	// A texture of the level in the current dictionary.
	ASSERT_NE( RwTexDictionaryGetCurrent(), nullptr );
	RwTexture* const texture = RwTextureCreate( RwRasterCreate( 4, 4, 0, rwRASTERTYPETEXTURE ) );
	ASSERT_NE( texture, nullptr );
	RwTexDictionaryAddTexture( RwTexDictionaryGetCurrent(), texture );
	// A projector of the level.
	EFProjector* const projector = goProjectorMgr.CreateProjector();
	ASSERT_NE( projector, nullptr );
	const u32 projectorHandle = projector->GetHandle();
	// A handle of the level still in use.
	gpoNewAudioMgr->maoHandles[7] = { 1, gpoNewAudioMgr->GetEvent( 1 ), nullptr, 1, 0 };
	// A light of the level and a palette transition under way.
	ASSERT_NE( gpoEFLightMgr, nullptr );
	ASSERT_NE( gpoEFLightMgr->CreateDynamicLight( nullptr, LIGHT_TYPE_POINT ), EF_LIGHT_NO_ID );
	_sPaletteTransitionData transition = { 2, 3, 1.0f };
	goPaletteMgr.StartTransition( &transition );
	// A slide show of the level (its files are missing: it stays loading).
	EFSlideShow::Create( 3 );
	ASSERT_NE( EFSlideShow::poSlideShow, nullptr );
	// A screen effect of each kind, and a budget the logic changed.
	ASSERT_NE( goSpriteMgr.AddSpriteGroup(), nullptr );
	ASSERT_NE( goFBEffectMgr.AddEffect( EF_FB_EFFECT_FRAME_DISTORTION, 4 ), nullptr );
	ASSERT_NE( goMotionTrailMgr.CreateSystem( 2, 2, 0 ), EF_TRAIL_NO_SYSTEM );
	gpoBillboardMgr->SetBudget( 7 );
	goLensFlareFX.mbActive = 1;
	goLensFlareFX.mui32AttachedObject = 0x2a800001;
	EFCallTraceEnable( true );
	controller->Reset();
	EXPECT_EQ( EFSlideShow::poSlideShow, nullptr );
	EXPECT_EQ( goSpriteMgr.mpoGroups, nullptr );
	EXPECT_EQ( goFBEffectMgr.mpoEffects[0], nullptr );
	EXPECT_EQ( goMotionTrailMgr.moSystems.GetCount(), 0u );
	EXPECT_EQ( gpoBillboardMgr->GetBudget(), EF_BILLBOARD_BUDGET );
	EXPECT_EQ( goLensFlareFX.mbActive, 0u );
	EXPECT_EQ( goLensFlareFX.mui32AttachedObject, 0x2a800001u );
	goLensFlareFX.mui32AttachedObject = 0;
	EXPECT_EQ( gpoTestCamera->GetFrameCount(), 118u );
	for ( u32 handle = 0; handle < EF_SOUND_HANDLE_COUNT; handle++ ) {
		EXPECT_EQ( gpoNewAudioMgr->maoHandles[handle].ui8InUse, 0u ) << handle;
	}
	// Both are gone: no light, no transition, state 0.
	EXPECT_EQ( gpoEFLightMgr == nullptr || gpoEFLightMgr->moLights.IsEmpty(), true );
	EXPECT_EQ( goPaletteMgr.mi32TargetState, EF_PALETTE_NO_TARGET );
	EXPECT_EQ( goPaletteMgr.mui32CurrentState, 0u );
	// Between levels the dictionary is a fresh empty one.
	ASSERT_NE( RwTexDictionaryGetCurrent(), nullptr );
	u32 textures = 0;
	RwTexDictionaryForAllTextures( RwTexDictionaryGetCurrent(), []( RwTexture* each, void* count ) -> RwTexture* {
		++*static_cast<u32*>( count );
		return each;
	}, &textures );
	EXPECT_EQ( textures, 0u );
	// The projector map is empty.
	EXPECT_EQ( goProjectorMgr.GetProjector( projectorHandle ), nullptr );
	// The world's termination (the light and particle managers it drives),
	// the game logic's and player devices' terminations (without an
	// initialised framework), the audio manager's (checked above) and the
	// release of the splines leave no trace.
	const std::vector<std::vector<std::string>> terminations = {
		{}, {},
		{}, {},
		{},
		{},
		{}, {}, {},
		{}, {}, { "EFCustomLibBank::Destroy" },
		{}, {}, {},
		{ "EFRessourcesMgr::Terminate" },
	};
	std::vector<std::string> expected;
	for ( const std::vector<std::string>& step : terminations ) {
		expected.insert( expected.end(), step.begin(), step.end() );
	}
	EXPECT_EQ( Trace(), expected );
}

TEST_F( EFEngineControllerTest, RefusedSaveImageKeepsTheGameAndIsFreed ) {
	EFEngineController* const controller = MakeController();
	char* const image = static_cast<char*>( MMMalloc( 1200 ) );
	ASSERT_NE( image, nullptr );
	std::memset( image, 'X', 1200 );	// level name field left unterminated
	controller->SetPendingSaveImage( image, 1200 );
	controller->SetFlags( EF_CONTROLLER_LEVEL_PENDING );
	// A persistent buffer outlives the level's end, but not a restore.
	void* const kept = gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( 7, 16, 1 );
	ASSERT_NE( kept, nullptr );
	EFCallTraceEnable( true );
	controller->LoadLevel( 0 );
	EXPECT_EQ( gpoGameLogicMgr->GetGameMemoryMgr().GetGameBuffer( 7, 16, 1 ), kept );
	EXPECT_EQ( EFCallTraceCountOf( "EFRessourcesMgr::LoadLevel" ), 1u );
	EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), "START.GCR" );
	EXPECT_EQ( controller->GetPendingSaveImage(), nullptr );
	EXPECT_EQ( controller->GetFlags() & EF_CONTROLLER_LEVEL_PENDING, 0u );
}

TEST_F( EFEngineControllerTest, AnAcceptedSaveImageReplacesTheBuffersAndNamesTheLevelBeforeItLoads ) {
	EFEngineController* const controller = MakeController();
	EFGameMemoryMgr& memory = gpoGameLogicMgr->GetGameMemoryMgr();
	std::memcpy( memory.GetGameBuffer( 7, 4, 1 ), "save", 4 );
	char* const image = goLoadSaveMgr.CreateBuffer( "TITLE", "START.GCR" );
	ASSERT_NE( image, nullptr );
	// The game goes on after the save: buffer 7 changes, buffer 8 appears.
	memory.GetGameBufferObject( 7 )->GetData()[0] = 'X';
	ASSERT_NE( memory.GetGameBuffer( 8, 4, 1 ), nullptr );
	gpoRessourcesMgr->SetResFilename( "OTHER.GCR" );
	controller->SetPendingSaveImage( image, EF_SAVE_IMAGE_OVERHEAD + EF_GAME_BUFFER_HEADER_BYTES + 4 );
	controller->SetFlags( EF_CONTROLLER_LEVEL_PENDING );
	controller->LoadLevel( 0 );
	EXPECT_EQ( memory.GetGameBufferObject( 8 ), nullptr );
	ASSERT_NE( memory.GetGameBufferObject( 7 ), nullptr );
	EXPECT_EQ( std::memcmp( memory.GetGameBufferObject( 7 )->GetData(), "save", 4 ), 0 );
	EXPECT_EQ( memory.GetGameBufferObject( 7 )->GetCount(), 0u );
	EXPECT_STREQ( gpoRessourcesMgr->GetResFilename(), "START.GCR" );
	EXPECT_EQ( controller->GetPendingSaveImage(), nullptr );
}

TEST_F( EFEngineControllerTest, StartEngineRunsTheFrameCountAndTakesEverythingDown ) {
	SetFramesToRun( 3 );
	EXPECT_EQ( EFEngineController::StartEngine( context ), 1u );
	EXPECT_EQ( gpoEngineController, nullptr );
	EXPECT_EQ( EFCallTraceCountOf( "EFRessourcesMgr::Terminate" ), 1u );
}

TEST_F( EFEngineControllerTest, KeepsTheResourceNameExtensionAcrossNames ) {
	struct Row {
		const char*	set;
		const char*	name;
		const char*	extension;
	};
	// Rows run in order on one manager.
	const Row rows[] = {
		{ "LEVEL1.GCR", "LEVEL1.GCR", ".GCR" },
		{ "LEVEL2", "LEVEL2.GCR", ".GCR" },
		{ "A.TOOLONG", "A.TOOLONG", ".TOO" },
		{ "B", "B.TOO", ".TOO" },
		{ "C.X", "C.X", ".X" },
	};
	EFRessourcesMgr manager;
	for ( const Row& row : rows ) {
		SCOPED_TRACE( row.set );
		manager.SetResFilename( row.set );
		EXPECT_STREQ( manager.GetResFilename(), row.name );
		EXPECT_STREQ( manager.GetCurrentExtension(), row.extension );
	}
	// Handing back the name it holds changes nothing.
	const char* const held = manager.GetResFilename();
	manager.SetResFilename( held );
	EXPECT_EQ( manager.GetResFilename(), held );
}

}
