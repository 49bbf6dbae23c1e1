#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiSimpleInputNotInit() {
	bDone = true;
}

bool ApiSimpleInputNotInitDone() {
	return bDone;
}

constexpr _api_simpleinput APIsimpleinputStubs = MakeLogicApiStubs<_api_simpleinput, ApiSimpleInputNotInit>();
constinit _api_simpleinput APIsimpleinput = MakeLogicApiStubs<_api_simpleinput, ApiSimpleInputNotInit>();

void Init_SimpleInput() {
	InitAPI( &APIsimpleinput, LOGIC_API_SIMPLE_INPUT_SLOTS, &APIsimpleinputStubs );
}
