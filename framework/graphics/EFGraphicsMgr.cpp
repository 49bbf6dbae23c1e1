#include "framework/graphics/EFGraphicsMgr.h"

#include "framework/core/EFCallTrace.h"
#include "framework/graphics/EFHudMgr.h"
#include "platform/vi/VI.h"

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
}

u32 EFGraphicsMgr::CreateCamera( DTFrame* ) {
	return EF_NO_CAMERA;
}

void EFGraphicsMgr::DestroyCamera( u32 ) {
}

EFCamera* EFGraphicsMgr::GetCamera( u32 ) {
	return nullptr;
}
