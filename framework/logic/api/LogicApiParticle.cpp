#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiParticleNotInit() {
	bDone = true;
}

bool ApiParticleNotInitDone() {
	return bDone;
}

constexpr _api_particle APIparticleStubs = MakeLogicApiStubs<_api_particle, ApiParticleNotInit>();
constinit _api_particle APIparticle = MakeLogicApiStubs<_api_particle, ApiParticleNotInit>();

void Init_particle() {
	InitAPI( &APIparticle, LOGIC_API_PARTICLE_SLOTS, &APIparticleStubs );
}
