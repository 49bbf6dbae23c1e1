#include "framework/graphics/particles/PLMgr.h"

#include "datatypes/registry/DTDynamicInstanciator.h"

PLMgr* gpoPLParticleMgr = nullptr;

s32 PLMgr_typeTrigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&PLMgr::Instanciate, "PL_TYPE_CONTAINER", PL_TYPE_CONTAINER_CLASS_ID, IT_OBJECT );
s32 PLMgr_emitterTrigger = DTDynamicInstanciator::GetInstance().RegisterDynamicClass(
	&PLMgr::Instanciate, "PL_EMITTER_CONTAINER", PL_EMITTER_CONTAINER_CLASS_ID, IT_OBJECT );

PLMgr::PLMgr() {
	gpoPLParticleMgr = this;
}

PLMgr::~PLMgr() {
	Terminate();
	PLType::DestroyDefaultMaterial();
	if ( gpoPLParticleMgr == this ) {
		gpoPLParticleMgr = nullptr;
	}
}

void * PLMgr::Instanciate() {
	return gpoPLParticleMgr;
}

bool PLMgr::IsOwnedElsewhere() const {
	return true;
}
