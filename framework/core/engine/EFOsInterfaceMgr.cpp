#include "framework/core/engine/EFOsInterfaceMgr.h"

EFOsInterfaceMgr* gpoOsInterfaceMgr = nullptr;

EFOsInterfaceMgr::EFOsInterfaceMgr() {
	gpoOsInterfaceMgr = this;
}

EFOsInterfaceMgr::~EFOsInterfaceMgr() {
	if ( gpoOsInterfaceMgr == this ) {
		gpoOsInterfaceMgr = nullptr;
	}
}

s32 EFOsInterfaceMgr::CreateLogFile( char*, EFAccessMode_e ) {
	return -1;
}

void EFOsInterfaceMgr::ReleaseLogFile( u32 ) {
}

u32 EFOsInterfaceMgr::PreInitialize() {
	return 1;
}

u32 EFOsInterfaceMgr::PostInitialize() {
	return 1;
}

void EFOsInterfaceMgr::PreTerminate() {
}

void EFOsInterfaceMgr::PostTerminate() {
}

void EFOsInterfaceMgr::SetApplicationTitle( char* ) {
}

u32 EFOsInterfaceMgr::Initialize() {
	if ( !PreInitialize() ) {
		return 0;
	}
	return PostInitialize() ? 1 : 0;
}

void EFOsInterfaceMgr::Terminate() {
	PreTerminate();
	PostTerminate();
}
