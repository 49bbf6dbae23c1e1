#include "framework/graphics/EFLightMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

u32 EFLightMgr_BC::CreateDynamicLight( EFGameObject*, LightType_e ) {
	return 0xFFFFFFFF;
}

EFLight* EFLightMgr_BC::GetLight( u32 ) {
	return nullptr;
}

void EFLightMgr_BC::DestroyLight( u32 ) {
}

void EFLightMgr_BC::Terminate() {
	EFCallTraceAdd( "EFLightMgr_BC::Terminate" );
}
