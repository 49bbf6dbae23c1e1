#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiLoadSaveNotInit() {
	bDone = true;
}

bool ApiLoadSaveNotInitDone() {
	return bDone;
}

constexpr _api_loadsave APILoadSaveStubs = MakeLogicApiStubs<_api_loadsave, ApiLoadSaveNotInit>();
constinit _api_loadsave APILoadSave = MakeLogicApiStubs<_api_loadsave, ApiLoadSaveNotInit>();

void Init_loadsave() {
	InitAPI( &APILoadSave, LOGIC_API_LOAD_SAVE_SLOTS, &APILoadSaveStubs );
}
