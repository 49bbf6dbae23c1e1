#include "framework/graphics/effects/EFBillboardMgr.h"

#include "framework/core/engine/EFCallTrace.h"

EFBillboardMgr* gpoBillboardMgr = nullptr;

EFBillboardMgr::EFBillboardMgr() {
	mui32Budget = EF_BILLBOARD_BUDGET;
}

EFBillboardMgr::~EFBillboardMgr() {
}

void EFBillboardMgr::Terminate() {
	EFCallTraceAdd( "EFBillboardMgr::Terminate" );
	mui32Budget = EF_BILLBOARD_BUDGET;
}

u32 EFBillboardMgr::AddBillboardGroup( u32, char*, u32, DTVector3d**, u32**, f32**, f32** ) {
	return 0xFFFFFFFF;
}

s32 EFBillboardMgr::EnableBillboardGroupRender( u32, u32 ) {
	return 0;
}

s32 EFBillboardMgr::RemoveBillboardGroup( u32 ) {
	return static_cast<s32>( 0xFFFFFFFF );
}

void EFBillboardMgr::Render() {
	EFCallTraceAdd( "EFBillboardMgr::Render" );
}
