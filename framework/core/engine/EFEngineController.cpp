#include "framework/core/engine/EFEngineController.h"

#include "datatypes/file/DTConsoleReset.h"
#include "framework/core/engine/EFCommandLine.h"
#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/audio/EFNewAudioMgr.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFOsInterfaceMgr.h"
#include "framework/core/engine/EFStartupGlobals.h"
#include "framework/core/save/EFLoadSaveMgr.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/spline/EFSplineMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/effects/EFBillboardMgr.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/animation/EFCutScenePlayer.h"
#include "framework/graphics/effects/EFFBEffectMgr.h"
#include "framework/graphics/effects/EFFBEffectRW.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/EFLinesMgr.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/EFPaletteMgr.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/EFGBALinkMgr.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicStack.h"
#include "platform/host/HostSettings.h"
#include "framework/video/EFVideoPlayer.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/core/RwRaster.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwCamera.h"

#include <cfloat>
#include <cstring>

EFEngineController*	gpoEngineController = nullptr;
EFCamera*			gpoTestCamera = nullptr;

f32 EFEngineController::PrevFrameTimes[EF_FRAME_TIME_RING_SIZE];
u32 EFEngineController::mui32FrameTimeIndex = 0;

namespace {

// The platform's OS interface manager, made through start-up's creator.
EFOsInterfaceMgr*	goOsInterfaceMgr = nullptr;

constexpr u32 DEMO_LAUNCH_NONE = 0xFFFFFFFF;

// Empty camera frames that let the graphics processor drain before a level
// is emptied.
constexpr u32 DRAIN_FRAMES = 100;

// The frame-buffer effects' camera texture: 640 pixels wide, as tall as
// the frame of the TV mode, 24-bit depth, camera texture of format 888.
constexpr u32 FB_EFFECT_WIDTH       = 640;
constexpr u32 FB_EFFECT_HEIGHT_NTSC = 448;
constexpr u32 FB_EFFECT_HEIGHT_PAL  = 512;
constexpr u32 FB_EFFECT_DEPTH       = 24;
constexpr u32 FB_EFFECT_FLAGS       = 0x605;

// Copies a string field of fromSize bytes into one of toSize bytes,
// cutting it with a debug print when it does not fit.
void CopyField( char* to, const u32 toSize, const char* from, const u32 fromSize, const char* what ) {
	u32 length = static_cast<u32>( strnlen( from, fromSize ) );
	if ( length >= toSize ) {
		DTPrintf( "%s TOO LONG (%u CHARACTERS), CUT TO %u!!!\n", what, length, toSize - 1 );
		length = toSize - 1;
	}
	std::memcpy( to, from, length );
	std::memset( to + length, 0, toSize - length );
}

}

EFEngineController::EFEngineController( const EFAppContext& context ) {
	mui32Reserved = 0;
	mui32Flags = EF_CONTROLLER_RUNNING;
	mfGameTime = 0.0f;
	mfSlaveTime = 0.0f;
	mfSlaveOffset = 0.0f;
	mfSlaveScale = 1.0f;
	mfSlaveStep = 0.0f;
	mfFrameTime = 0.0f;
	mfMinFrameTime = FLT_MAX;
	mui32FrameCounter = 0;
	mpoPendingSaveImage = nullptr;
	mui32PendingSaveImageLength = 0;
	CopyField( mszLanguage, sizeof( mszLanguage ), context.szLanguagePath, sizeof( context.szLanguagePath ), "LANGUAGE" );
	CopyField( mszLevelPath, sizeof( mszLevelPath ), context.szLevelPath, sizeof( context.szLevelPath ), "LEVEL PATH" );
	CopyField( mszResFilename, sizeof( mszResFilename ), context.szResFilename, sizeof( context.szResFilename ),
			   "RESOURCE FILE NAME" );
	std::memset( mszPathPrefix, 0, sizeof( mszPathPrefix ) );
	for ( u32& word : mui32DemoLaunchData ) {
		word = DEMO_LAUNCH_NONE;
	}
	// One controller exists per run; a new one starts its ring afresh.
	for ( f32& entry : PrevFrameTimes ) {
		entry = EF_FRAME_TIME_INITIAL;
	}
	mui32FrameTimeIndex = 0;
	gpoEngineController = this;

	gpoPLParticleMgr = new PLMgr();
	gpoLogicStack = EFLogicStack::Create();
	gpoSplineMgr = new EFSplineMgr();
	ForceClass();
	const EFOsInterfaceMgrCreator createOsInterface = EFGetOsInterfaceMgrCreator();
	goOsInterfaceMgr = createOsInterface != nullptr ? createOsInterface() : nullptr;
	gpoRessourcesMgr = new EFRessourcesMgr();
	gpoGraphicsMgr = new EFGraphicsMgr( context );
	gpoTestCamera = new EFCamera( nullptr );
	gpoWorldMgr = new EFWorld();
	gpoNewAudioMgr = new EFNewAudioMgr();
	gpoPlayerDeviceMgr = new EFPlayerDeviceMgr( context );
	gpoGBALinkMgr = new EFGBALinkMgr();
	gpoGameLogicMgr = new EFGameLogicMgr();
	gpoBillboardMgr = new EFBillboardMgr();
	gpoLinesMgr = new EFLinesMgr();

	gpoRessourcesMgr->SetResFilename( mszResFilename );
}

namespace {

void DestroyEffectCameraTexture() {
	if ( EFFBEffect_SP::mpoCamera != nullptr ) {
		RwFrame* const frame = static_cast<RwFrame*>( EFFBEffect_SP::mpoCamera->object.object.parent );
		RwCameraDestroy( EFFBEffect_SP::mpoCamera );
		if ( frame != nullptr ) {
			RwFrameDestroy( frame );
		}
	}
	if ( EFFBEffect_SP::mpoTexture != nullptr ) {
		RwTextureDestroy( EFFBEffect_SP::mpoTexture );
	} else if ( EFFBEffect_SP::mpoRaster != nullptr ) {
		RwRasterDestroy( EFFBEffect_SP::mpoRaster );
	}
	EFFBEffect_SP::mpoCamera = nullptr;
	EFFBEffect_SP::mpoTexture = nullptr;
	EFFBEffect_SP::mpoRaster = nullptr;
}

}

EFEngineController::~EFEngineController() {
	delete gpoPLParticleMgr;
	gpoPLParticleMgr = nullptr;
	delete gpoBillboardMgr;
	gpoBillboardMgr = nullptr;
	EFLogicStack::Destroy();
	delete gpoSplineMgr;
	gpoSplineMgr = nullptr;
	delete goOsInterfaceMgr;
	goOsInterfaceMgr = nullptr;
	delete gpoWorldMgr;
	gpoWorldMgr = nullptr;
	delete gpoNewAudioMgr;
	gpoNewAudioMgr = nullptr;
	// The empty-frame camera and the effects' camera texture hold library
	// objects: they go before the graphics manager takes the library down.
	delete gpoTestCamera;
	gpoTestCamera = nullptr;
	DestroyEffectCameraTexture();
	delete gpoGraphicsMgr;
	gpoGraphicsMgr = nullptr;
	delete gpoPlayerDeviceMgr;
	gpoPlayerDeviceMgr = nullptr;
	delete gpoGBALinkMgr;
	gpoGBALinkMgr = nullptr;
	delete gpoRessourcesMgr;
	gpoRessourcesMgr = nullptr;
	delete gpoGameLogicMgr;
	gpoGameLogicMgr = nullptr;
	// The lines manager lives as long as the rest.
	delete gpoLinesMgr;
	gpoLinesMgr = nullptr;
	MMFree( mpoPendingSaveImage );
	mpoPendingSaveImage = nullptr;
	if ( gpoEngineController == this ) {
		gpoEngineController = nullptr;
	}
}

u32 EFEngineController::StartEngine( const EFAppContext& context ) {
	gpoEngineController = new EFEngineController( context );
	if ( !gpoEngineController->InitializeFramework() ) {
		return 0;
	}
	gpoGraphicsMgr->Render();
	gpoEngineController->MainLoop();
	gpoEngineController->TerminateFramework();
	delete gpoEngineController;
	gpoEngineController = nullptr;
	return 1;
}

u32 EFEngineController::InitializeFramework() {
	if ( gpoOsInterfaceMgr != nullptr && !gpoOsInterfaceMgr->Initialize() ) {
		return 0;
	}
	if ( !gpoGraphicsMgr->Initialize() ) {
		return 0;
	}
	// The effects' camera texture lives on the global heap for the run.
	MMSwapToGlobalHeap();
	EFFBEffect_SP::mui32RequestedWidth = FB_EFFECT_WIDTH;
	EFFBEffect_SP::mui32RequestedHeight = gpoGraphicsMgr->GetTVMode() == EF_TV_MODE_PAL ? FB_EFFECT_HEIGHT_PAL : FB_EFFECT_HEIGHT_NTSC;
	EFFBEffect_SP::mui32RequestedDepth = FB_EFFECT_DEPTH;
	EFFBEffect_SP::mui32RequestedFlags = FB_EFFECT_FLAGS;
	EFFBEffect_SP::CreateCameraTexture();
	MMReplaceHeap();
	if ( !gpoNewAudioMgr->Initialize() ) {
		return 0;
	}
	if ( !gpoRessourcesMgr->Initialize() ) {
		return 0;
	}
	if ( !gpoPlayerDeviceMgr->Initialize() ) {
		return 0;
	}
	if ( !gpoGameLogicMgr->Initialize() ) {
		return 0;
	}
	if ( !goLoadSaveMgr.Initialize() ) {
		return 0;
	}
	if ( !goGBALinkMgr.Initialize() ) {
		return 0;
	}
	return goFBEffectMgr.Initialize() ? 1 : 0;
}

f32 EFEngineController::AddFrameTime( const f32 raw ) {
	f32& entry = PrevFrameTimes[mui32FrameTimeIndex];
	entry = raw;
	moLimiterTimer.Reset();
	if ( entry > EF_FRAME_TIME_MAX ) {
		entry = EF_FRAME_TIME_MAX;
	}
	if ( entry < EF_FRAME_TIME_MIN ) {
		entry = EF_FRAME_TIME_MIN;
	}
	f32 sum = 0.0f;
	for ( const f32 time : PrevFrameTimes ) {
		sum += time;
	}
	const f32 dt = sum / static_cast<f32>( EF_FRAME_TIME_RING_SIZE );
	mui32FrameTimeIndex++;
	if ( mui32FrameTimeIndex == EF_FRAME_TIME_RING_SIZE ) {
		mui32FrameTimeIndex = 0;
	}
	mfGameTime += dt;
	mfFrameTime = dt;
	return dt;
}

void EFEngineController::MainLoop() {
	moFrameTimer.Reset();
	EFVideoPlayer_SP* const player = EFVideoPlayer::GetInstance();
	EFCutScenePlayer* const cutScenes = &EFCutScenePlayer::mInstance;
	const u32 frameLimit = HostGetSettings().framesToRun;
	while ( ( mui32Flags & EF_CONTROLLER_QUIT ) == 0 ) {
		f32 dt = AddFrameTime( moFrameTimer.Update() );
		// A controller held in the reset combination counts like the
		// console's reset button.
		if ( gpoPlayerDeviceMgr->IsReset() || gpoPlayerDeviceMgr->IsResetRequested() ) {
			GCReset( 0, 0, 0 );
		}
		const bool playing = player->mui32Playing != 0;
		if ( playing ) {
			player->Update();
		} else {
			goLoadSaveMgr.Update();
			moDemoLoop.StartFrame();
		}
		gpoPlayerDeviceMgr->StartFrame();
		if ( !playing ) {
			moDemoLoop.UpdateDeltaTime( &dt );
			// A replayed step stands for the measured one everywhere: logic
			// reads the frame time too.
			mfGameTime += dt - mfFrameTime;
			mfFrameTime = dt;
		}
		if ( mui32Flags & EF_CONTROLLER_RUNNING ) {
			gpoLinesMgr->mui32LineCount = 0;
			gpoPlayerDeviceMgr->Update( dt );
			if ( !playing ) {
				gpoGameLogicMgr->Update( dt );
				cutScenes->Update( dt );
				gpoWorldMgr->Update( dt );
			}
			goPaletteMgr.Update( dt );
			goMotionTrailMgr.Update( dt );
			gpoGraphicsMgr->Render( dt );
			if ( !playing ) {
				gpoNewAudioMgr->Update( dt );
			}
		}
		FrameDone( dt );
		if ( !playing ) {
			moDemoLoop.EndFrame();
		}
		if ( mui32Flags & EF_CONTROLLER_LEVEL_PENDING ) {
			LoadLevel( 0 );
		}
		mui32FrameCounter++;
		if ( frameLimit != 0 && mui32FrameCounter >= frameLimit ) {
			mui32Flags |= EF_CONTROLLER_QUIT;
		}
	}
}

void EFEngineController::LoadLevel( const u32 argument ) {
	Reset();
	if ( mui32Flags & EF_CONTROLLER_MOVIE_PENDING ) {
		EFVideoPlayer::GetInstance()->Play();
		mui32Flags &= ~EF_CONTROLLER_MOVIE_PENDING;
	}
	if ( mpoPendingSaveImage != nullptr ) {
		RestorePendingSaveImage();
	}
	moDemoLoop.BeginLevel();
	gpoRessourcesMgr->LoadLevel( argument );
	mui32Flags &= ~EF_CONTROLLER_LEVEL_PENDING;
}

// The image is checked before anything of the running game is touched, so
// a damaged one leaves the game buffers and the level name as they were.
void EFEngineController::RestorePendingSaveImage() {
	char* const image = mpoPendingSaveImage;
	mpoPendingSaveImage = nullptr;
	const u32 length = mui32PendingSaveImageLength;
	mui32PendingSaveImageLength = 0;
	if ( goLoadSaveMgr.VerifyImage( image, length ) != EF_SAVE_RESTORED ) {
		DTPrintf( "SAVE IMAGE REJECTED, LEVEL LOADED WITHOUT IT!!!\n" );
		MMFree( image );
		return;
	}
	gpoGameLogicMgr->GetGameMemoryMgr().KillAllGameBuffers();
	char levelName[EF_SAVE_LEVEL_NAME_SIZE];
	CopyField( levelName, sizeof( levelName ), image + EF_SAVE_LEVEL_NAME_OFFSET, EF_SAVE_LEVEL_NAME_SIZE, "SAVED LEVEL NAME" );
	gpoRessourcesMgr->SetResFilename( levelName );
	if ( goLoadSaveMgr.UpdateEngineData( image, length ) != EF_SAVE_RESTORED ) {
		DTPrintf( "SAVE IMAGE COULD NOT BE RESTORED!!!\n" );
	}
	MMFree( image );
}

void EFEngineController::EmptyCameraFrame() {
	gpoTestCamera->Begin();
	gpoTestCamera->End();
}

void EFEngineController::Reset() {
	for ( u32 i = 0; i < DRAIN_FRAMES; i++ ) {
		EmptyCameraFrame();
	}
	EFSlideShow::Destroy();
	EmptyCameraFrame();
	gpoWorldMgr->Terminate();
	EmptyCameraFrame();
	gpoGameLogicMgr->Terminate();
	EmptyCameraFrame();
	gpoBillboardMgr->Terminate();
	EmptyCameraFrame();
	gpoPlayerDeviceMgr->Terminate();
	EmptyCameraFrame();
	EFCutScenePlayer::mInstance.Terminate();
	EmptyCameraFrame();
	gpoNewAudioMgr->Terminate();
	EmptyCameraFrame();
	gpoGraphicsMgr->Terminate();
	EmptyCameraFrame();
	if ( gpoEFLightMgr != nullptr ) {
		gpoEFLightMgr->Terminate();
	}
	EmptyCameraFrame();
	goSpriteMgr.Terminate();
	EmptyCameraFrame();
	goProjectorMgr.Terminate();
	EmptyCameraFrame();
	goFBEffectMgr.Terminate();
	EmptyCameraFrame();
	goLensFlareFX.Terminate();
	EmptyCameraFrame();
	EFCustomLibBank::Destroy();
	EmptyCameraFrame();
	gpoSplineMgr->Free();
	EmptyCameraFrame();
	goPaletteMgr.Terminate();
	EmptyCameraFrame();
	goMotionTrailMgr.Terminate();
	EmptyCameraFrame();
	gpoRessourcesMgr->Terminate();
	EmptyCameraFrame();
	DTNbrFileInUse();
}

void EFEngineController::TerminateFramework() {
	gpoWorldMgr->Terminate();
	gpoGameLogicMgr->Terminate();
	EFCutScenePlayer::mInstance.Terminate();
	gpoPlayerDeviceMgr->Terminate();
	gpoNewAudioMgr->Terminate();
	gpoGraphicsMgr->Terminate();
	if ( gpoOsInterfaceMgr != nullptr ) {
		gpoOsInterfaceMgr->Terminate();
	}
	goFBEffectMgr.Terminate();
	goSpriteMgr.Terminate();
	goProjectorMgr.Terminate();
	goGBALinkMgr.Terminate();
	goPaletteMgr.Terminate();
	goMotionTrailMgr.Terminate();
	gpoBillboardMgr->Terminate();
	gpoLinesMgr->Terminate();
	gpoRessourcesMgr->Terminate();
}

void EFEngineController::FrameDone( f32 ) {
}

void EFEngineController::ForceClass() {
}

void EFEngineController::SetLevelPath( const char* path ) {
	EFCopyBounded( mszLevelPath, EF_CONTROLLER_PATH_SIZE, path, "LEVEL PATH" );
}

void EFEngineController::SetLanguage( const char* language ) {
	EFCopyBounded( mszLanguage, EF_CONTROLLER_LANGUAGE_SIZE, language, "LANGUAGE" );
}

u32 EFEngineController::GetDemoLaunchData( const u32 index ) const {
	return index < EF_DEMO_LAUNCH_WORDS ? mui32DemoLaunchData[index] : DEMO_LAUNCH_NONE;
}
