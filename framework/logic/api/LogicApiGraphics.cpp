#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiGraphicsNotInit() {
	bDone = true;
}

bool ApiGraphicsNotInitDone() {
	return bDone;
}

constexpr _api_graphics APIgraphicsStubs = MakeLogicApiStubs<_api_graphics, ApiGraphicsNotInit>();
constinit _api_graphics APIgraphics = MakeLogicApiStubs<_api_graphics, ApiGraphicsNotInit>();

void Init_graphics() {
	InitAPI( &APIgraphics, LOGIC_API_GRAPHICS_SLOTS, &APIgraphicsStubs );
}
