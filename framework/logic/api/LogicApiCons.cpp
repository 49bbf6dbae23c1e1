#include "framework/logic/api/LogicApiCons.h"

#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/logic/EFLogicInstance.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// --- Stubs, one per slot signature ---

void StubSetExternalFunction( s32, LogicFunction ) {
	ApiConsNotInit();
}

void StubGetData( void **, s32 ) {
	ApiConsNotInit();
}

void StubSetInitialState( s32 ) {
	ApiConsNotInit();
}

void StubSetMessageFunction( LogicMessageFunction ) {
	ApiConsNotInit();
}

void StubToDelete( u32 ) {
	ApiConsNotInit();
}

template< class Table >
Table * StubGetTable() {
	ApiConsNotInit();
	return nullptr;
}

void StubSetExternalFunctionExt( s32, LogicFunction, LogicFunction ) {
	ApiConsNotInit();
}

void * StubGetApiCustom( char * ) {
	ApiConsNotInit();
	return nullptr;
}

LogicFunction StubGetExternalFunction( s32 ) {
	ApiConsNotInit();
	return nullptr;
}

constexpr _api_cons MakeConsStubs() {
	_api_cons table = {};
	table.SetExternalFunction = StubSetExternalFunction;
	table.GetGlobalData = StubGetData;
	table.GetLocalData = StubGetData;
	table.SetInitialState = StubSetInitialState;
	table.SetMessageFunction = StubSetMessageFunction;
	table.TO_DELETE = StubToDelete;
	table.GetApiStdlib = StubGetTable<_api_stdlib>;
	table.GetApiInput = StubGetTable<_api_input>;
	table.GetApiMath = StubGetTable<_api_math>;
	table.GetApiGameObj = StubGetTable<_api_gameobj>;
	table.GetApiExtra = StubGetTable<_api_extra>;
	table.GetApiAnim = StubGetTable<_api_anim>;
	table.GetApiCamera = StubGetTable<_api_camera>;
	table.GetApiLight = StubGetTable<_api_light>;
	table.GetApiPhysic = StubGetTable<api_physic>;
	table.GetApiNewSound = StubGetTable<_api_newSound>;
	table.GetApiParticle = StubGetTable<_api_particle>;
	table.GetApiProjector = StubGetTable<_api_projector>;
	table.GetApiConsole = StubGetTable<_api_console>;
	table.GetApiHUD = StubGetTable<_api_hud>;
	table.GetApiGame = StubGetTable<_api_game>;
	table.GetApiQA = StubGetTable<_api_qa>;
	table.GetApiFBEffects = StubGetTable<_api_fbeffects>;
	table.GetApiGraphics = StubGetTable<_api_graphics>;
	table.GetApiKaraoke = StubGetTable<_api_karaoke>;
	table.GetApiSimpleInput = StubGetTable<_api_simpleinput>;
	table.GetApiGBALink = StubGetTable<_api_gbalink>;
	table.SetExternalFunctionExt = StubSetExternalFunctionExt;
	table.GetApiCustom = StubGetApiCustom;
	table.GetApiLoadSave = StubGetTable<_api_loadsave>;
	table.GetExternalFunction = StubGetExternalFunction;
	table.GetApiRegLib = StubGetTable<_api_reglib>;
	table.GetApiSpline = StubGetTable<_api_spline>;
	for ( u32 i = 0; i < LOGIC_API_CONS_PAD_SLOTS; i++ ) {
		table.Pad[i] = ApiConsNotInit;
	}
	return table;
}

// --- Slots ---

// Slots 1 and 2 act inside a constructor call (reload 0) or a reload (1)
// only; -1 otherwise.
s32 DataReloadArgument() {
	const ObjectFlags_e kind = EFLogicStack::GetRunningKind();
	if ( ( kind & FLAG_CONSTRUCTOR_EXE ) != 0 ) {
		return 0;
	}
	if ( ( kind & FLAG_RELOADING_EXE ) != 0 ) {
		return 1;
	}
	return -1;
}

void ConsSetExternalFunction( const s32 index, const LogicFunction function ) {
	EFApiTrace::mFuncName = "SetExternalFunction";
	EFLogicCode * const code = EFLogicStack::GetRunningCode();
	if ( code != nullptr ) {
		// A negative index turns into one the table refuses.
		code->SetFunction( static_cast<u32>( index ), function );
	}
	EFApiTrace::mFuncName = nullptr;
}

void ConsGetGlobalData( void ** variable, const s32 size ) {
	EFApiTrace::mFuncName = "GetGlobalData";
	EFLogicCode * const code = EFLogicStack::GetRunningCode();
	const s32 reload = DataReloadArgument();
	if ( code != nullptr && reload >= 0 ) {
		code->InitGlobalData( variable, size, reload );
	}
	EFApiTrace::mFuncName = nullptr;
}

void ConsGetLocalData( void ** variable, const s32 size ) {
	EFApiTrace::mFuncName = "GetLocalData";
	EFLogicInstance * const instance = EFLogicStack::GetRunningInstance();
	const s32 reload = DataReloadArgument();
	if ( instance != nullptr && reload >= 0 ) {
		instance->InitLocalData( variable, size, reload );
	}
	EFApiTrace::mFuncName = nullptr;
}

void ConsSetInitialState( const s32 state ) {
	EFApiTrace::mFuncName = "SetInitialState";
	EFLogicInstance * const instance = EFLogicStack::GetRunningInstance();
	if ( instance != nullptr && ( EFLogicStack::GetRunningKind() & FLAG_CONSTRUCTOR_EXE ) != 0 ) {
		instance->SetNextState( static_cast<u32>( state ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

void ConsSetMessageFunction( const LogicMessageFunction function ) {
	EFApiTrace::mFuncName = "SetMessageFunction";
	EFLogicInstance * const instance = EFLogicStack::GetRunningInstance();
	if ( instance != nullptr ) {
		instance->SetMessageFunc( function );
	}
	EFApiTrace::mFuncName = nullptr;
}

LogicFunction ConsGetExternalFunction( const s32 index ) {
	EFApiTrace::mFuncName = "GetExternalFunction";
	const EFLogicCode * const code = EFLogicStack::GetRunningCode();
	const LogicFunction function = code != nullptr ? code->GetFunction( static_cast<u32>( index ) ) : nullptr;
	EFApiTrace::mFuncName = nullptr;
	return function;
}

}

constexpr _api_cons APIconsStubs = MakeConsStubs();
constinit _api_cons APIcons = MakeConsStubs();

void ApiConsNotInit() {
	if ( !bDone ) {
		bDone = true;
	}
}

bool ApiConsNotInitDone() {
	return bDone;
}

void Init_cons() {
	InitAPI( &APIcons, LOGIC_API_CONS_SLOTS, &APIconsStubs );
	APIcons.SetExternalFunction = ConsSetExternalFunction;
	APIcons.GetGlobalData = ConsGetGlobalData;
	APIcons.GetLocalData = ConsGetLocalData;
	APIcons.SetInitialState = ConsSetInitialState;
	APIcons.SetMessageFunction = ConsSetMessageFunction;
	APIcons.GetExternalFunction = ConsGetExternalFunction;
}

void Stop_cons() {
}
