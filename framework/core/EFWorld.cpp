#include "framework/core/EFWorld.h"

#include "framework/core/EFCallTrace.h"
#include "framework/graphics/EFLightMgr.h"

EFWorld* gpoWorldMgr = nullptr;

EFWorld::EFWorld() {
	gpoEFLightMgr = new EFLightMgr();
}

EFWorld::~EFWorld() {
	delete gpoEFLightMgr;
	gpoEFLightMgr = nullptr;
	if ( gpoWorldMgr == this ) {
		gpoWorldMgr = nullptr;
	}
}

void EFWorld::Update( f32 ) {
	EFCallTraceAdd( "EFWorld::Update" );
}

void EFWorld::Terminate() {
	EFCallTraceAdd( "EFWorld::Terminate" );
}
