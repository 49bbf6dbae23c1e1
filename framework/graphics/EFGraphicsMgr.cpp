#include "framework/graphics/EFGraphicsMgr.h"

#include "datatypes/maths/DTTable128.h"
#include "framework/core/world/EFInstanceFlags.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/EFLinesMgr.h"
#include "framework/graphics/EFSlideShow.h"
#include "framework/graphics/effects/EFBillboardMgr.h"
#include "framework/graphics/effects/EFFBEffectMgr.h"
#include "framework/graphics/effects/EFFrameLender.h"
#include "framework/graphics/effects/EFLensFlareFX.h"
#include "framework/graphics/effects/EFMotionTrailMgr.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "framework/graphics/effects/EFSpriteMgr.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "framework/graphics/particles/PLMgr.h"

#include <new>

EFGraphicsMgr* gpoGraphicsMgr = nullptr;

namespace {

// Render-flag bits the frame tests.
constexpr u32 RENDER_HUD		= 0x80;
constexpr u32 RENDER_MAP		= 0x40;
constexpr u32 RENDER_OBJECTS	= 0x20;
constexpr u32 RENDER_PARTICLES	= 0x04;
// Frame-buffer effect passes.
constexpr u32 FB_PASS_BEFORE_OBJECTS	= 4;
constexpr u32 FB_PASS_AFTER_ALL			= 8;
// The HUD and the frame-buffer effects step by a fixed time.
constexpr f32 FIXED_STEP		= 0.033f;

}

EFGraphicsMgr::EFGraphicsMgr( const EFAppContext& context ) : EFGraphicsMgr_SP( context ) {
	mui32CameraCount = 0;
	gpoGraphicsMgr = this;
}

EFGraphicsMgr::~EFGraphicsMgr() {
	// Cameras still in a slot go before the library they were made on.
	for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
		DestroyCamera( slot );
	}
	delete gpoHudMgr;
	gpoHudMgr = nullptr;
	if ( gpoGraphicsMgr == this ) {
		gpoGraphicsMgr = nullptr;
	}
}

u32 EFGraphicsMgr::Initialize() {
	if ( !DTTable128::IsInit() ) {
		DTTable128::Init();
	}
	if ( gpoHudMgr == nullptr ) {
		gpoHudMgr = new EFHudMgr();
	}
	return gpoHudMgr->Init() != 0 ? 1 : 0;
}

void EFGraphicsMgr::Render( f32 ) {
	if ( !IsRenderingEnabled() ) {
		return;
	}
	for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
		EFCamera* const camera = mpoCameras[slot];
		if ( camera == nullptr ) {
			continue;
		}
		if ( ( camera->muiFlags & EF_INSTANCE_ACTIVE ) != 0 ) {
			RenderCamera( *camera, slot );
		}
		if ( ( camera->muiRenderFlags & RENDER_HUD ) != 0 && gpoHudMgr != nullptr ) {
			gpoHudMgr->Update( *camera, FIXED_STEP );
		}
	}
	EFSlideShow::Render();
	Flip();
}

void EFGraphicsMgr::RenderCamera( EFCamera& camera, const u32 slot ) {
	const u32 flags = camera.muiRenderFlags;
	camera.Clear();
	if ( flags == 0 ) {
		return;
	}
	goProjectorMgr.Begin( slot );
	goShadowMgr.Begin( gpoEFLightMgr, slot );
	camera.Begin();
	SetRenderState( camera );
	EnableStencilWrite( 0 );
	EnableStencilRead( 0 );
	if ( gpoWorldMgr != nullptr ) {
		gpoWorldMgr->RenderDome( slot );
		if ( ( flags & RENDER_MAP ) != 0 ) {
			gpoWorldMgr->RenderMap( camera );
		}
	}
	goFBEffectMgr.Update( FB_PASS_BEFORE_OBJECTS, FIXED_STEP, camera, slot );
	if ( ( flags & RENDER_OBJECTS ) != 0 && gpoWorldMgr != nullptr ) {
		gpoWorldMgr->RenderObjects( slot );
		goSpriteMgr.RenderNormal();
		gpoWorldMgr->RenderObjectsTransparent( slot );
	} else {
		goSpriteMgr.RenderNormal();
	}
	goSpriteMgr.RenderTransparent();
	goSpriteMgr.RenderOccluded();
	if ( gpoWorldMgr != nullptr ) {
		gpoWorldMgr->RenderMapTransparent();
	}
	if ( gpoLinesMgr != nullptr ) {
		gpoLinesMgr->Render();
	}
	goProjectorMgr.End();
	goShadowMgr.End( gpoEFLightMgr );
	if ( ( flags & RENDER_PARTICLES ) != 0 ) {
		if ( gpoPLParticleMgr != nullptr ) {
			gpoPLParticleMgr->Render();
		}
		if ( gpoBillboardMgr != nullptr ) {
			gpoBillboardMgr->Render();
		}
	}
	goMotionTrailMgr.Render();
	goLensFlareFX.Render( camera );
	goFBEffectMgr.Update( FB_PASS_AFTER_ALL, FIXED_STEP, camera, slot );
	camera.End();
}

void EFGraphicsMgr::Terminate() {
	// The HUD's fonts and text table are the level's.
	if ( gpoHudMgr != nullptr ) {
		gpoHudMgr->Terminate();
	}
	moTexFader.Terminate();
	goShadowMgr.Terminate();
	goProjectorMgr.Terminate();
	goLensFlareFX.Terminate();
	PostTerminate();
}

namespace {

constexpr u32 CAMERA_ID_BASE	= 0x10000000;
constexpr u32 CAMERA_SLOT_MASK	= 0xFFF;

}

u32 EFGraphicsMgr::CreateCamera( DTFrame* frame ) {
	for ( u32 slot = 0; slot < EF_CAMERA_SLOT_COUNT; slot++ ) {
		if ( mpoCameras[slot] != nullptr ) {
			continue;
		}
		EFCamera* const camera = new ( std::nothrow ) EFCamera( frame );
		if ( camera == nullptr ) {
			return EF_NO_CAMERA;
		}
		if ( gpoWorldMgr != nullptr ) {
			gpoWorldMgr->AddCameraInstance( camera );
		}
		mpoCameras[slot] = camera;
		camera->SetUID( CAMERA_ID_BASE | slot );
		mui32CameraCount++;
		return CAMERA_ID_BASE | slot;
	}
	return EF_NO_CAMERA;
}

void EFGraphicsMgr::DestroyCamera( const u32 id ) {
	EFCamera* const camera = GetCamera( id );
	if ( camera == nullptr ) {
		return;
	}
	if ( gpoWorldMgr != nullptr ) {
		gpoWorldMgr->RemoveCameraInstance( camera );
	}
	mpoCameras[id & CAMERA_SLOT_MASK] = nullptr;
	EFReleaseFrameLender( camera->GetUID() );
	camera->Terminate();
	delete camera;
	mui32CameraCount--;
}

EFCamera* EFGraphicsMgr::GetCamera( const u32 id ) {
	if ( id == EF_NO_CAMERA ) {
		return nullptr;
	}
	const u32 slot = id & CAMERA_SLOT_MASK;
	return slot < EF_CAMERA_SLOT_COUNT ? mpoCameras[slot] : nullptr;
}
