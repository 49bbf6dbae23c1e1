#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiPhysicNotInit() {
	bDone = true;
}

bool ApiPhysicNotInitDone() {
	return bDone;
}

constexpr api_physic APIphysicStubs = MakeLogicApiStubs<api_physic, ApiPhysicNotInit>();
constinit api_physic APIphysic = MakeLogicApiStubs<api_physic, ApiPhysicNotInit>();

void Init_Physic() {
	InitAPI( &APIphysic, LOGIC_API_PHYSIC_SLOTS, &APIphysicStubs );
}
