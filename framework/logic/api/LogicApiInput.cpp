#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiInputNotInit() {
	bDone = true;
}

bool ApiInputNotInitDone() {
	return bDone;
}

constexpr _api_input APIinputStubs = MakeLogicApiStubs<_api_input, ApiInputNotInit>();
constinit _api_input APIinput = MakeLogicApiStubs<_api_input, ApiInputNotInit>();

void Init_input() {
	InitAPI( &APIinput, LOGIC_API_INPUT_SLOTS, &APIinputStubs );
}
