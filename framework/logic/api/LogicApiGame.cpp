#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiGameNotInit() {
	bDone = true;
}

bool ApiGameNotInitDone() {
	return bDone;
}

constexpr _api_game APIgameStubs = MakeLogicApiStubs<_api_game, ApiGameNotInit>();
constinit _api_game APIgame = MakeLogicApiStubs<_api_game, ApiGameNotInit>();

void Init_game() {
	InitAPI( &APIgame, LOGIC_API_GAME_SLOTS, &APIgameStubs );
}
