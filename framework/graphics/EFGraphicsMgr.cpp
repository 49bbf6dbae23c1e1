#include "framework/graphics/EFGraphicsMgr.h"

#include "framework/core/engine/EFCallTrace.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFCamera.h"
#include "framework/graphics/hud/EFHudMgr.h"
#include "platform/vi/VI.h"

#include <new>

EFGraphicsMgr* gpoGraphicsMgr = nullptr;

EFGraphicsMgr::EFGraphicsMgr( const EFAppContext& context ) : EFGraphicsMgr_SP( context ) {
	mui32CameraCount = 0;
	mbReady = 0;
	gpoGraphicsMgr = this;
}

EFGraphicsMgr::~EFGraphicsMgr() {
	delete gpoHudMgr;
	gpoHudMgr = nullptr;
	if ( gpoGraphicsMgr == this ) {
		gpoGraphicsMgr = nullptr;
	}
}

u32 EFGraphicsMgr::Initialize() {
	EFCallTraceAdd( "EFGraphicsMgr::Initialize" );
	if ( gpoHudMgr == nullptr ) {
		gpoHudMgr = new EFHudMgr();
	}
	const u32 result = gpoHudMgr->Init();
	mbReady = result != 0 ? 1 : 0;
	return result != 0 ? 1 : 0;
}

void EFGraphicsMgr::Render( f32 ) {
	EFCallTraceAdd( "EFGraphicsMgr::Render" );
	if ( !mbReady ) {
		return;
	}
	VIWaitForRetrace();
}

void EFGraphicsMgr::Terminate() {
	EFCallTraceAdd( "EFGraphicsMgr::Terminate" );
	// The HUD's fonts and text table are the level's.
	if ( gpoHudMgr != nullptr ) {
		gpoHudMgr->Terminate();
	}
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
