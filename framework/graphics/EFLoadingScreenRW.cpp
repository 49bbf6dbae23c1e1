#include "framework/graphics/EFLoadingScreenRW.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/engine/EFEngineController.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFTextureDict.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/core/RwRaster.h"
#include "framework/graphics/EFRenderStateValue.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/gamecube/RwDlIm3D.h"
#include "graphics3d/gamecube/RwDlRenderState.h"

#include <cstdio>

EFLoadingScreenObserver EFLoadingScreen_SP::mspfnObserver = nullptr;

namespace {

constexpr const char * DICTIONARY_EXTENSION = "TXD";
constexpr u32 GRAPHICS_HEAP		= 0;
constexpr u32 FILTER_NEAREST	= 1;
constexpr u32 FILTER_LINEAR		= 2;
constexpr u32 ADDRESS_CLAMP		= 3;
constexpr f32 PICTURE_DEPTH		= 0.99f;

// The dictionary file of that name in the level's language folder, else
// in its GEN folder; null when neither opens. A path that does not fit
// the disc layer's limit counts as missing.
DTFileHandle_ * OpenDictionary( const char * name ) {
	const EFEngineController * const controller = gpoEngineController;
	const char * const prefix = controller != nullptr ? controller->GetPathPrefix() : "";
	const char * const level = controller != nullptr ? controller->GetLevelPath() : "";
	const char * const language = controller != nullptr ? controller->GetLanguage() : "";
	char path[DT_FILE_NAME_MAX];
	s32 length = std::snprintf( path, sizeof( path ), "%s%sLEVEL\\%s\\%s\\%s.%s", "", prefix, level, language, name,
								DICTIONARY_EXTENSION );
	if ( length >= 0 && static_cast<u32>( length ) < sizeof( path ) ) {
		DTFileHandle_ * const file = DTFopen( path, "rb" );
		if ( file != nullptr ) {
			return file;
		}
	}
	length = std::snprintf( path, sizeof( path ), "%s%sLEVEL\\%s\\GEN\\%s.%s", "", prefix, level, name,
							DICTIONARY_EXTENSION );
	if ( length >= 0 && static_cast<u32>( length ) < sizeof( path ) ) {
		return DTFopen( path, "rb" );
	}
	return nullptr;
}

// A screen-space strip from (left, top) to (right, bottom), white and
// opaque, texture coordinates from (0, 0) to (u, v).
void DrawStrip( const f32 left, const f32 top, const f32 right, const f32 bottom, const f32 u, const f32 v ) {
	RwIm2DVertex strip[4] = {
		{ left, top, PICTURE_DEPTH, 255, 255, 255, 255, 0.0f, 0.0f },
		{ left, bottom, PICTURE_DEPTH, 255, 255, 255, 255, 0.0f, v },
		{ right, top, PICTURE_DEPTH, 255, 255, 255, 255, u, 0.0f },
		{ right, bottom, PICTURE_DEPTH, 255, 255, 255, 255, u, v },
	};
	RwIm2DRenderPrimitive( rwPRIMTYPETRISTRIP, strip, 4 );
}

}

EFLoadingScreen_SP::EFLoadingScreen_SP()
	: mpoBackground( nullptr ), mpoBar( nullptr ), mpoCamera( nullptr ), mi32BarLeft( EF_LOADING_BAR_LEFT ),
	  mi32BarTop( EF_LOADING_BAR_TOP ), mfBarWidth( EF_LOADING_BAR_WIDTH ), mfBarHeight( EF_LOADING_BAR_HEIGHT ),
	  mi32ForcedFrames( 0 ), mfSinceDrawn( 0.0f ) {
	mpoCamera = new EFCamera( nullptr );
	moTimer.Reset();
	EFIniFile * const ini = EFIniFile::GetInstance();
	ini->GetIniInteger( "ProgressBarTopLeftX", &mi32BarLeft );
	ini->GetIniInteger( "ProgressBarTopLeftY", &mi32BarTop );
}

EFLoadingScreen_SP::~EFLoadingScreen_SP() {
	// Both names may find one picture (a damaged LOAD.LS): it goes once.
	if ( mpoBar != nullptr && mpoBar != mpoBackground ) {
		RwTextureDestroy( mpoBar );
	}
	mpoBar = nullptr;
	if ( mpoBackground != nullptr ) {
		RwTextureDestroy( mpoBackground );
		mpoBackground = nullptr;
	}
	delete mpoCamera;
	mpoCamera = nullptr;
}

u32 EFLoadingScreen_SP::LoadTextures( const char * name, const char * ) {
	if ( name == nullptr ) {
		return 0;
	}
	DTFileHandle_ * const file = OpenDictionary( name );
	if ( file == nullptr ) {
		return 0;
	}
	const u32 size = DTFsize( file );
	char * block = static_cast<char *>( MMLoadMalloc( size ) );
	if ( block == nullptr ) {
		block = static_cast<char *>( MMMalloc( size ) );
	}
	if ( block != nullptr ) {
		const u32 read = DTFread( block, 1, size, file );
		DTMemoryPersistStream stream( block, static_cast<s32>( read ) );
		const u32 previous = MMChangeHeap( GRAPHICS_HEAP );
		EFTextureDict * const dictionary = EFTextureDict::GetInstance();
		dictionary->LoadTexture( stream );
		dictionary->LoadTexture( stream );
		MMChangeHeap( previous );
		MMFree( block );
	}
	DTFclose( file );
	EFIniFile * const ini = EFIniFile::GetInstance();
	f32 value = 0.0f;
	if ( ini->GetIniFloat( "ProgressBarWidth", &value ) != 0 && value != 0.0f ) {
		mfBarWidth = value;
	}
	value = 0.0f;
	if ( ini->GetIniFloat( "ProgressBarHeight", &value ) != 0 && value != 0.0f ) {
		mfBarHeight = value;
	}
	return 1;
}

s32 EFLoadingScreen_SP::LoadFromStream( DTBasePersistStream & stream ) {
	const s32 result = DTLoadingScreenDescriptor::LoadFromStream( stream );
	const EFTextureDict * const dictionary = EFTextureDict::GetInstance();
	mpoBackground = dictionary->GetTexture( moLoadingScreen1.GetStr() );
	mpoBar = dictionary->GetTexture( moLoadingScreen2.GetStr() );
	mi32ForcedFrames = EF_LOADING_FORCED_FRAMES;
	Update( 0.0f );
	return result;
}

void EFLoadingScreen_SP::Update( const f32 progress ) {
	mfProgress = progress;
	mui32UpdateCount++;
	if ( mspfnObserver != nullptr ) {
		mspfnObserver( progress );
	}
	mfSinceDrawn += moTimer.Update();
	if ( mfSinceDrawn < EF_LOADING_FRAME_TIME && mi32ForcedFrames <= 0 && progress != 1.0f ) {
		return;
	}
	mfSinceDrawn = 0.0f;
	mi32ForcedFrames--;
	Draw( progress );
}

void EFLoadingScreen_SP::Draw( const f32 progress ) {
	const u32 previousHeap = MMChangeHeap( GRAPHICS_HEAP );
	mpoCamera->Begin();
	RwRaster * const background = mpoBackground != nullptr ? mpoBackground->raster : nullptr;
	RwRaster * const bar = mpoBar != nullptr ? mpoBar->raster : nullptr;
	if ( background == nullptr || bar == nullptr || gpoGraphicsMgr == nullptr ) {
		// Nothing to show: the update begun is ended and nothing is shown.
		mpoCamera->End();
		MMChangeHeap( previousHeap );
		return;
	}
	void * const zWrite = EFGetState( RWDL_STATE_Z_WRITE );
	void * const zTest = EFGetState( RWDL_STATE_Z_TEST );
	void * const fog = EFGetState( RWDL_STATE_FOG );
	RwRenderStateSet( RWDL_STATE_Z_WRITE, EFStateValue( 0 ) );
	RwRenderStateSet( RWDL_STATE_Z_TEST, EFStateValue( 0 ) );
	RwRenderStateSet( RWDL_STATE_FOG, EFStateValue( 0 ) );

	const f32 width = static_cast<f32>( gpoGraphicsMgr->GetScreenWidth() );
	const f32 height = static_cast<f32>( gpoGraphicsMgr->GetScreenHeight() );
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, background );
	RwRenderStateSet( RWDL_STATE_TEXTURE_FILTER, EFStateValue( FILTER_NEAREST ) );
	RwRenderStateSet( RWDL_STATE_TEXTURE_ADDRESS, EFStateValue( ADDRESS_CLAMP ) );
	DrawStrip( 0.0f, 0.0f, width, height, width / static_cast<f32>( background->width ),
			   height / static_cast<f32>( background->height ) );

	RwRenderStateSet( RWDL_STATE_TEXTURE_FILTER, EFStateValue( FILTER_LINEAR ) );
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, bar );
	const f32 left = static_cast<f32>( mi32BarLeft );
	const f32 top = static_cast<f32>( mi32BarTop );
	DrawStrip( left, top, left + mfBarWidth * progress, top + mfBarHeight, progress, 1.0f );

	RwRenderStateSet( RWDL_STATE_Z_WRITE, zWrite );
	RwRenderStateSet( RWDL_STATE_Z_TEST, zTest );
	RwRenderStateSet( RWDL_STATE_FOG, fog );
	RwRenderStateSet( RWDL_STATE_TEXTURE_RASTER, nullptr );
	mpoCamera->End();
	gpoGraphicsMgr->Flip();
	MMChangeHeap( previousHeap );
}

EFLoadingScreenObserver EFLoadingScreen_SP::SetObserver( const EFLoadingScreenObserver observer ) {
	const EFLoadingScreenObserver previous = mspfnObserver;
	mspfnObserver = observer;
	return previous;
}
