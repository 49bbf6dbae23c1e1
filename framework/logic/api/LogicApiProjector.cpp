#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiProjectorNotInit() {
	bDone = true;
}

bool ApiProjectorNotInitDone() {
	return bDone;
}

constexpr _api_projector APIprojectorStubs = MakeLogicApiStubs<_api_projector, ApiProjectorNotInit>();
constinit _api_projector APIprojector = MakeLogicApiStubs<_api_projector, ApiProjectorNotInit>();

void Init_projector() {
	InitAPI( &APIprojector, LOGIC_API_PROJECTOR_SLOTS, &APIprojectorStubs );
}
