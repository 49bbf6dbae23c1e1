#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiFBEffectsNotInit() {
	bDone = true;
}

bool ApiFBEffectsNotInitDone() {
	return bDone;
}

constexpr _api_fbeffects APIfbeffectsStubs = MakeLogicApiStubs<_api_fbeffects, ApiFBEffectsNotInit>();
constinit _api_fbeffects APIfbeffects = MakeLogicApiStubs<_api_fbeffects, ApiFBEffectsNotInit>();

void Init_fbeffects() {
	InitAPI( &APIfbeffects, LOGIC_API_FBEFFECTS_SLOTS, &APIfbeffectsStubs );
}
