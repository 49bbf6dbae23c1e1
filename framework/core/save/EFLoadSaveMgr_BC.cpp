#include "framework/core/save/EFLoadSaveMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

u32 EFLoadSaveMgr_BC::Initialize() {
	EFCallTraceAdd( "EFLoadSaveMgr_BC::Initialize" );
	return SpecificInitialize();
}

void EFLoadSaveMgr_BC::Update() {
	EFCallTraceAdd( "EFLoadSaveMgr_BC::Update" );
	SpecificUpdate();
}

void EFLoadSaveMgr_BC::Terminate() {
}

u32 EFLoadSaveMgr_BC::SpecificInitialize() {
	return 1;
}

void EFLoadSaveMgr_BC::SpecificUpdate() {
}
