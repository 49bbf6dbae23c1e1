#include "framework/graphics/hud/EFHudMgrRW.h"

#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFFont.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/hud/EFHudPalette.h"
#include "framework/graphics/hud/EFHudRender.h"
#include "framework/graphics/hud/EFHudWindow.h"
#include "graphics3d/core/RwCamera.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldObj.h"

#include <new>

namespace {

constexpr f32 WORLD_HALF_SIZE		= 1000.0f;
constexpr f32 CAMERA_VIEW_WIDTH		= 0.5f;
constexpr f32 CAMERA_VIEW_HEIGHT	= 0.4375f;
constexpr f32 CAMERA_NEAR			= 0.1f;
constexpr f32 CAMERA_FAR			= 256.0f;
constexpr s32 CLEAR_DEPTH_ONLY		= 2;
constexpr u32 FILTER_LINEAR			= 2;
// The states a HUD frame changes and puts back.
constexpr s32 SAVED_STATES[] = { EF_HUD_STATE_Z_WRITE, EF_HUD_STATE_Z_TEST, EF_HUD_STATE_FOG, EF_HUD_STATE_VERTEX_ALPHA };
constexpr u32 SAVED_STATE_COUNT = sizeof( SAVED_STATES ) / sizeof( SAVED_STATES[0] );

bool LibraryOpen() {
	return RwEngineInstance != nullptr && RwEngineInstance != &staticGlobals;
}

RwFrame * FrameOf( RpLight * light ) {
	return light != nullptr ? static_cast<RwFrame *>( light->object.object.parent ) : nullptr;
}

}

EFHudMgr_SP::EFHudMgr_SP() : mpoWorld( nullptr ) {
	if ( LibraryOpen() ) {
		const RwBBox bounds = { { WORLD_HALF_SIZE, WORLD_HALF_SIZE, WORLD_HALF_SIZE },
								{ -WORLD_HALF_SIZE, -WORLD_HALF_SIZE, -WORLD_HALF_SIZE } };
		mpoWorld = RpWorldCreate( &bounds );
	}
}

EFHudMgr_SP::~EFHudMgr_SP() {
	Terminate();
	if ( mpoWorld != nullptr ) {
		RpWorldDestroy( mpoWorld );
		mpoWorld = nullptr;
	}
}

void EFHudMgr_SP::Terminate() {
	RemoveCamera( mpoHudCamera );
	EFHudMgr_BC::Terminate();
	delete mpoHudCamera;
	mpoHudCamera = nullptr;
}

void EFHudMgr_SP::AddLight( EFLight * light ) {
	if ( light == nullptr || light->mpLight == nullptr || mpoWorld == nullptr ) {
		return;
	}
	if ( RpLightGetWorld( light->mpLight ) == nullptr ) {
		RpWorldAddLight( mpoWorld, light->mpLight );
	}
	for ( EFLight *& slot : mapoLights ) {
		if ( slot == nullptr ) {
			slot = light;
			return;
		}
	}
}

void EFHudMgr_SP::RemoveLight( EFLight * light ) {
	for ( EFLight *& slot : mapoLights ) {
		if ( slot != nullptr && slot == light ) {
			if ( light->mpLight != nullptr && RpLightGetWorld( light->mpLight ) == mpoWorld ) {
				RpWorldRemoveLight( mpoWorld, light->mpLight );
			}
			slot = nullptr;
			return;
		}
	}
}

void EFHudMgr_SP::EnableHudLights( const bool enable ) {
	RwCamera * const camera = RwEngineInstance != nullptr ? RwEngineInstance->currentCamera : nullptr;
	RwFrame * const parent = camera != nullptr ? static_cast<RwFrame *>( camera->object.object.parent ) : nullptr;
	if ( !enable || parent == nullptr ) {
		return;
	}
	for ( EFLight * light : mapoLights ) {
		RwFrame * const frame = FrameOf( light != nullptr ? light->mpLight : nullptr );
		if ( frame == nullptr || frame->object.parent == parent ) {
			continue;
		}
		if ( frame->object.parent != nullptr ) {
			RwFrameRemoveChild( frame );
		}
		RwFrameAddChild( parent, frame );
	}
}

void EFHudMgr_SP::Add3dObj( EF3dObj * object ) {
	if ( object == nullptr || object->mpClump == nullptr || mpoWorld == nullptr ||
		 RpClumpGetWorld( object->mpClump ) != nullptr ) {
		return;
	}
	RpWorldAddClump( mpoWorld, object->mpClump );
}

void EFHudMgr_SP::Remove3dObj( EF3dObj * object ) {
	if ( object == nullptr || object->mpClump == nullptr || mpoWorld == nullptr ||
		 RpClumpGetWorld( object->mpClump ) != mpoWorld ) {
		return;
	}
	RpWorldRemoveClump( mpoWorld, object->mpClump );
}

void EFHudMgr_SP::RemoveCamera( EFCamera * camera ) {
	if ( camera == nullptr || camera->mpoRwCamera == nullptr || mpoWorld == nullptr ||
		 RwCameraGetWorld( camera->mpoRwCamera ) != mpoWorld ) {
		return;
	}
	RpWorldRemoveCamera( mpoWorld, camera->mpoRwCamera );
}

void EFHudMgr_SP::MakeCamera() {
	mpoHudCamera = new ( std::nothrow ) EFCamera( nullptr );
	if ( mpoHudCamera == nullptr ) {
		return;
	}
	mpoHudCamera->SetCameraProjection( EF_CAMERA_PARALLEL );
	if ( mpoWorld != nullptr && mpoHudCamera->mpoRwCamera != nullptr ) {
		RpWorldAddCamera( mpoWorld, mpoHudCamera->mpoRwCamera );
	}
	mpoHudCamera->SetViewWindow( CAMERA_VIEW_WIDTH, CAMERA_VIEW_HEIGHT );
	// The whole screen from the first frame on.
	CRect whole = { 0.0f, 0.0f, 1.0f, 1.0f };
	mpoHudCamera->SetDisplayArea( &whole );
}

void EFHudMgr_SP::MakeGlobalPalette() {
	EFHudPalette * const palette = new ( std::nothrow ) EFHudPalette();
	if ( palette == nullptr ) {
		return;
	}
	EFFontColorGroup white;
	for ( u8 & byte : white.bytes ) {
		byte = 0xFF;
	}
	AddPalette( palette, EF_HUD_GLOBAL_PALETTE, 1, &white );
}

void EFHudMgr_SP::ReadScreenSize() {
	if ( gpoGraphicsMgr == nullptr ) {
		return;
	}
	const f32 width = static_cast<f32>( gpoGraphicsMgr->GetScreenWidth() );
	const f32 height = static_cast<f32>( gpoGraphicsMgr->GetScreenHeight() );
	if ( width == mafScreenScale[0] && height == mafScreenScale[1] ) {
		return;
	}
	SetScreenScale( width, height );
	for ( EFFont * font : mapoFonts ) {
		if ( font != nullptr ) {
			font->ComputeScreenDims( width, height );
		}
	}
}

void EFHudMgr_SP::Update( EFCamera &, const f32 dt ) {
	if ( mpoHudCamera == nullptr ) {
		MakeCamera();
	}
	EFCamera * const camera = mpoHudCamera;
	if ( camera == nullptr || camera->mpoRwCamera == nullptr ) {
		return;
	}
	RwCameraClear( camera->mpoRwCamera, &camera->moClearColor, CLEAR_DEPTH_ONLY );
	camera->Begin();
	void * saved[SAVED_STATE_COUNT];
	for ( u32 i = 0; i < SAVED_STATE_COUNT; i++ ) {
		saved[i] = EFHudGetState( SAVED_STATES[i] );
	}
	EFHudSetState( EF_HUD_STATE_Z_WRITE, 1 );
	EFHudSetState( EF_HUD_STATE_Z_TEST, 1 );
	EFHudSetRaster( nullptr );
	EFHudSetState( EF_HUD_STATE_FOG, 0 );
	EFHudSetState( EF_HUD_STATE_TEXTURE_FILTER, FILTER_LINEAR );
	EFHudSetState( EF_HUD_STATE_SRC_BLEND, EF_HUD_SRC_BLEND );
	EFHudSetState( EF_HUD_STATE_DST_BLEND, EF_HUD_DST_BLEND );
	EFHudSetState( EF_HUD_STATE_VERTEX_ALPHA, 1 );
	EnableHudLights( true );
	f32 viewWidth = 0.0f;
	f32 viewHeight = 0.0f;
	camera->GetViewWindow( viewWidth, viewHeight );
	RwCameraSetNearClipPlane( camera->mpoRwCamera, CAMERA_NEAR );
	RwCameraSetFarClipPlane( camera->mpoRwCamera, CAMERA_FAR );
	if ( mpoGlobalPalette == nullptr ) {
		MakeGlobalPalette();
	}
	mafViewWindow[0] = viewWidth;
	mafViewWindow[1] = viewHeight;
	ReadScreenSize();
	if ( _WorkMem != nullptr ) {
		_WorkMem->Reset();
		SetCommandBlock( _WorkMem->Get( EF_HUD_COMMAND_BLOCK_BYTES ), EF_HUD_COMMAND_BLOCK_BYTES );
	}
	for ( EFHudPalette * palette : mapoPalettes ) {
		if ( palette != nullptr ) {
			palette->Update( dt );
		}
	}
	if ( mpoGlobalPalette != nullptr ) {
		mpoGlobalPalette->Update( dt );
	}
	if ( mpoRootWindow != nullptr ) {
		void * commands = mpCommandBlock;
		unsigned long count = 0;
		mpoRootWindow->Update( dt, commands, count );
		muiCommandBytesUsed = commands != nullptr ? static_cast<u32>( static_cast<u8 *>( commands ) - mpCommandBlock ) : 0;
		RenderInit();
		mpoRootWindow->Render( camera, count, 0 );
		RenderTerminate();
	}
	for ( u32 i = 0; i < SAVED_STATE_COUNT; i++ ) {
		EFHudRestoreState( SAVED_STATES[i], saved[i] );
	}
	CRect whole = { 0.0f, 0.0f, 1.0f, 1.0f };
	camera->SetDisplayArea( &whole );
	camera->SetViewWindow( viewWidth, viewHeight );
	camera->End();
	SetCommandBlock( nullptr, 0 );
	if ( _WorkMem != nullptr ) {
		_WorkMem->Reset();
	}
}
