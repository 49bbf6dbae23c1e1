#include "framework/core/EFPlayerDeviceMgr.h"

#include "framework/core/EFCallTrace.h"

EFPlayerDeviceMgr* gpoPlayerDeviceMgr = nullptr;

EFPlayerDeviceMgr::EFPlayerDeviceMgr( const EFAppContext& ) {
}

u32 EFPlayerDeviceMgr::Initialize() {
	EFCallTraceAdd( "EFPlayerDeviceMgr::Initialize" );
	return 1;
}

void EFPlayerDeviceMgr::StartFrame() {
	EFCallTraceAdd( "EFPlayerDeviceMgr::StartFrame" );
}

void EFPlayerDeviceMgr::Update( f32 ) {
	EFCallTraceAdd( "EFPlayerDeviceMgr::Update" );
}

void EFPlayerDeviceMgr::Terminate() {
	EFCallTraceAdd( "EFPlayerDeviceMgr::Terminate" );
}

bool EFPlayerDeviceMgr::IsReset() const {
	return false;
}
