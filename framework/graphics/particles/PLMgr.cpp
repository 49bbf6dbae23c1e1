#include "framework/graphics/particles/PLMgr.h"
#include "framework/core/engine/EFCallTrace.h"

PLMgr* gpoPLParticleMgr = nullptr;

PLMgr::PLMgr() {
	gpoPLParticleMgr = this;
}

PLMgr::~PLMgr() {
	if ( gpoPLParticleMgr == this ) {
		gpoPLParticleMgr = nullptr;
	}
}

void PLMgr::Render() {
	EFCallTraceAdd( "PLMgr::Render" );
}
