#include "framework/graphics/EFProjectorMgr_BC.h"

#include "framework/core/EFCallTrace.h"

EFProjectorMgr_BC goProjectorMgr;

EFProjector_BC* EFProjectorMgr_BC::CreateProjector() {
	return nullptr;
}

EFProjector_BC* EFProjectorMgr_BC::GetProjector( u32 ) {
	return nullptr;
}

void EFProjectorMgr_BC::DestroyProjector( u32 ) {
}

u32 EFProjectorMgr_BC::AddReceiver( EFGameObject*, EF3dObj* ) {
	return 0;
}

u32 EFProjectorMgr_BC::RemoveReceiver( EFGameObject* ) {
	return 0;
}

void EFProjectorMgr_BC::Terminate() {
	EFCallTraceAdd( "EFProjectorMgr_BC::Terminate" );
}
