#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiNewSoundNotInit() {
	bDone = true;
}

bool ApiNewSoundNotInitDone() {
	return bDone;
}

constexpr _api_newSound APInewSoundStubs = MakeLogicApiStubs<_api_newSound, ApiNewSoundNotInit>();
constinit _api_newSound APInewSound = MakeLogicApiStubs<_api_newSound, ApiNewSoundNotInit>();

void Init_NewSound() {
	InitAPI( &APInewSound, LOGIC_API_NEW_SOUND_SLOTS, &APInewSoundStubs );
}
