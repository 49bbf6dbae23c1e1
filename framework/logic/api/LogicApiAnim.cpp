#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

}

void ApiAnimNotInit() {
	bDone = true;
}

bool ApiAnimNotInitDone() {
	return bDone;
}

constexpr _api_anim APIanimStubs = MakeLogicApiStubs<_api_anim, ApiAnimNotInit>();
constinit _api_anim APIanim = MakeLogicApiStubs<_api_anim, ApiAnimNotInit>();

void Init_anim() {
	InitAPI( &APIanim, LOGIC_API_ANIM_SLOTS, &APIanimStubs );
}
