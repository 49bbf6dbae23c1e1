#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiLightNotInit() {
	bDone = true;
}

bool ApiLightNotInitDone() {
	return bDone;
}

constexpr _api_light APIlightStubs = MakeLogicApiStubs<_api_light, ApiLightNotInit>();
constinit _api_light APIlight = MakeLogicApiStubs<_api_light, ApiLightNotInit>();

void Init_light() {
	InitAPI( &APIlight, LOGIC_API_LIGHT_SLOTS, &APIlightStubs );
}

void Stop_light() {
}
