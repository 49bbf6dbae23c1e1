#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"
#include "framework/logic/EFCustomLibBank.h"

namespace {

bool bDone = false;

void * RegLibRegisterLib( char * name, const u32 size ) {
	return name != nullptr ? EFCustomLibBank::RegisterLib( name, size ) : nullptr;
}

void RegLibUnRegisterLib( char * name ) {
	if ( name != nullptr ) {
		EFCustomLibBank::UnRegisterLib( name );
	}
}

}

void ApiRegLibNotInit() {
	bDone = true;
}

bool ApiRegLibNotInitDone() {
	return bDone;
}

constexpr _api_reglib APIRegLibStubs = MakeLogicApiStubs<_api_reglib, ApiRegLibNotInit>();
constinit _api_reglib APIRegLib = MakeLogicApiStubs<_api_reglib, ApiRegLibNotInit>();

void Init_reglib() {
	InitAPI( &APIRegLib, LOGIC_API_REG_LIB_SLOTS, &APIRegLibStubs );
	APIRegLib.RegisterLib = RegLibRegisterLib;
	APIRegLib.UnRegisterLib = RegLibUnRegisterLib;
}
