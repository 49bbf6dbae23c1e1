#include "framework/graphics/hud/EFHudMgrRW.h"

#include "framework/core/engine/EFCallTrace.h"

void EFHudMgr_SP::AddLight( EFLight* ) {
}

void EFHudMgr_SP::RemoveLight( EFLight* ) {
}

void EFHudMgr_SP::Add3dObj( EF3dObj* ) {
	EFCallTraceAdd( "EFHudMgr_SP::Add3dObj" );
}

void EFHudMgr_SP::Remove3dObj( EF3dObj* ) {
	EFCallTraceAdd( "EFHudMgr_SP::Remove3dObj" );
}

void EFHudMgr_SP::Update( EFCamera&, f32 ) {
	EFCallTraceAdd( "EFHudMgr_SP::Update" );
}
