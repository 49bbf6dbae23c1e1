#include "framework/core/input/EFInputMgr.h"

#include "framework/core/engine/EFCallTrace.h"

#include <new>

EFInputMgr * gpoInputMgr = nullptr;

EFInputMgr::EFInputMgr() : mpoConfigs( nullptr ), mbEnabled( 1 ) {
}

EFInputMgr * EFInputMgr::Create() {
	EFCallTraceAdd( "EFInputMgr::Create" );
	if ( gpoInputMgr == nullptr ) {
		gpoInputMgr = new ( std::nothrow ) EFInputMgr();
	}
	return gpoInputMgr;
}

void EFInputMgr::StartFrame() {
	EFCallTraceAdd( "EFInputMgr::StartFrame" );
}

void EFInputMgr::Update() {
	EFCallTraceAdd( "EFInputMgr::Update" );
}

void EFInputMgr::InputConfigRemoveAll() {
	EFCallTraceAdd( "EFInputMgr::InputConfigRemoveAll" );
}
