#include "framework/graphics/particles/PLMgr.h"

PLMgr* gpoPLParticleMgr = nullptr;

PLMgr::PLMgr() {
	gpoPLParticleMgr = this;
}

PLMgr::~PLMgr() {
	if ( gpoPLParticleMgr == this ) {
		gpoPLParticleMgr = nullptr;
	}
}
