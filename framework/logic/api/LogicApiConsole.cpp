#include "framework/logic/api/LogicApiTables.h"

#include "framework/logic/api/LogicApiTable.h"
#include "framework/logic/api/EFApiTrace.h"

namespace {

bool bDone = false;

// No primitive display flags on this console.
void ConsoleSetPrimDisplayFlag( u32 ) {
	EFApiTrace::mFuncName = "SetPrimDisplayFlag";
	EFApiTrace::mFuncName = nullptr;
}

u32 ConsoleGetPrimDisplayFlag() {
	EFApiTrace::mFuncName = "GetPrimDisplayFlag";
	EFApiTrace::mFuncName = nullptr;
	return 0;
}

}

void ApiConsoleNotInit() {
	bDone = true;
}

bool ApiConsoleNotInitDone() {
	return bDone;
}

constexpr _api_console APIconsoleStubs = MakeLogicApiStubs<_api_console, ApiConsoleNotInit>();
constinit _api_console APIconsole = MakeLogicApiStubs<_api_console, ApiConsoleNotInit>();

void Init_console() {
	InitAPI( &APIconsole, LOGIC_API_CONSOLE_SLOTS, &APIconsoleStubs );
	APIconsole.SetPrimDisplayFlag = ConsoleSetPrimDisplayFlag;
	APIconsole.GetPrimDisplayFlag = ConsoleGetPrimDisplayFlag;
}
