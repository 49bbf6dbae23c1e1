#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiHudNotInit() {
	bDone = true;
}

bool ApiHudNotInitDone() {
	return bDone;
}

constexpr _api_hud APIhudStubs = MakeLogicApiStubs<_api_hud, ApiHudNotInit>();
constinit _api_hud APIhud = MakeLogicApiStubs<_api_hud, ApiHudNotInit>();

void Init_hud() {
	InitAPI( &APIhud, LOGIC_API_HUD_SLOTS, &APIhudStubs );
}
