#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiGameObjNotInit() {
	bDone = true;
}

bool ApiGameObjNotInitDone() {
	return bDone;
}

constexpr _api_gameobj APIgameobjStubs = MakeLogicApiStubs<_api_gameobj, ApiGameObjNotInit>();
constinit _api_gameobj APIgameobj = MakeLogicApiStubs<_api_gameobj, ApiGameObjNotInit>();

void Init_gameobj() {
	InitAPI( &APIgameobj, LOGIC_API_GAME_OBJ_SLOTS, &APIgameobjStubs );
}
