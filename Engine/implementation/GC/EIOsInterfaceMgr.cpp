#include "Engine/implementation/GC/EIOsInterfaceMgr.h"

EIOsInterfaceMgr* gpoEIOsInterfaceMgr = nullptr;

EFOsInterfaceMgr* EICreateOsInterfaceMgr() {
	gpoEIOsInterfaceMgr = new EIOsInterfaceMgr();
	return gpoEIOsInterfaceMgr;
}

EIOsInterfaceMgr::EIOsInterfaceMgr() : moLogFiles( EI_LOG_FILES_RESERVED, EI_LOG_FILES_RESERVED ), mui32Reserved( 0 ) {
}

EIOsInterfaceMgr::~EIOsInterfaceMgr() {
	if ( gpoEIOsInterfaceMgr == this ) {
		gpoEIOsInterfaceMgr = nullptr;
	}
}

s32 EIOsInterfaceMgr::CreateLogFile( char*, EFAccessMode_e ) {
	return 0;
}

void EIOsInterfaceMgr::ReleaseLogFile( u32 ) {
}

u32 EIOsInterfaceMgr::PreInitialize() {
	return 1;
}

void EIOsInterfaceMgr::PreTerminate() {
}

void EIOsInterfaceMgr::PostTerminate() {
}

void EIOsInterfaceMgr::SetApplicationTitle( char* ) {
}

void EIOsInterfaceMgr::WriteToLog( u32, const char*, va_list ) {
}

void EIOsInterfaceMgr::MessageBoxOk( const char*, va_list ) {
}
