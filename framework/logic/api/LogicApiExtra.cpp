#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiExtraNotInit() {
	bDone = true;
}

bool ApiExtraNotInitDone() {
	return bDone;
}

constexpr _api_extra APIextraStubs = MakeLogicApiStubs<_api_extra, ApiExtraNotInit>();
constinit _api_extra APIextra = MakeLogicApiStubs<_api_extra, ApiExtraNotInit>();

void Init_extra() {
	InitAPI( &APIextra, LOGIC_API_EXTRA_SLOTS, &APIextraStubs );
}
