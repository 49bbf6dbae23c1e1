#include "framework/logic/api/LogicApiCons.h"

#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/logic/EFLogicInstance.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/LogicApiTable.h"
#include "framework/logic/api/LogicApiTables.h"

namespace {

bool bDone = false;

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

// Slots 6-26, 29, 31 and 32 hand out the other tables.
template< class Table, Table * table >
Table * ConsGetTable() {
	return table;
}

void * ConsGetApiCustom( char * name ) {
	return name != nullptr ? EFCustomLibBank::GetLib( name ) : nullptr;
}

}

constexpr _api_cons APIconsStubs = MakeLogicApiStubs<_api_cons, ApiConsNotInit>();
constinit _api_cons APIcons = MakeLogicApiStubs<_api_cons, ApiConsNotInit>();

void ApiConsNotInit() {
	bDone = true;
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

	APIcons.GetApiStdlib = ConsGetTable<_api_stdlib, &APIstdlib>;
	APIcons.GetApiInput = ConsGetTable<_api_input, &APIinput>;
	APIcons.GetApiMath = ConsGetTable<_api_math, &APImath>;
	APIcons.GetApiGameObj = ConsGetTable<_api_gameobj, &APIgameobj>;
	APIcons.GetApiExtra = ConsGetTable<_api_extra, &APIextra>;
	APIcons.GetApiAnim = ConsGetTable<_api_anim, &APIanim>;
	APIcons.GetApiCamera = ConsGetTable<_api_camera, &APIcamera>;
	APIcons.GetApiLight = ConsGetTable<_api_light, &APIlight>;
	APIcons.GetApiPhysic = ConsGetTable<api_physic, &APIphysic>;
	APIcons.GetApiNewSound = ConsGetTable<_api_newSound, &APInewSound>;
	APIcons.GetApiParticle = ConsGetTable<_api_particle, &APIparticle>;
	APIcons.GetApiProjector = ConsGetTable<_api_projector, &APIprojector>;
	APIcons.GetApiConsole = ConsGetTable<_api_console, &APIconsole>;
	APIcons.GetApiHUD = ConsGetTable<_api_hud, &APIhud>;
	APIcons.GetApiGame = ConsGetTable<_api_game, &APIgame>;
	APIcons.GetApiQA = ConsGetTable<_api_qa, &APIqa>;
	APIcons.GetApiFBEffects = ConsGetTable<_api_fbeffects, &APIfbeffects>;
	APIcons.GetApiGraphics = ConsGetTable<_api_graphics, &APIgraphics>;
	APIcons.GetApiKaraoke = ConsGetTable<_api_karaoke, &APIkaraoke>;
	APIcons.GetApiSimpleInput = ConsGetTable<_api_simpleinput, &APIsimpleinput>;
	APIcons.GetApiGBALink = ConsGetTable<_api_gbalink, &APIgbalink>;
	APIcons.GetApiCustom = ConsGetApiCustom;
	APIcons.GetApiLoadSave = ConsGetTable<_api_loadsave, &APILoadSave>;
	APIcons.GetApiRegLib = ConsGetTable<_api_reglib, &APIRegLib>;
	APIcons.GetApiSpline = ConsGetTable<_api_spline, &APIspline>;

	Init_input();
	Init_math();
	Init_stdlib();
	Init_extra();
	Init_QA();
	Init_light();
	Init_anim();
	Init_camera();
	Init_gameobj();
	Init_Physic();
	Init_particle();
	Init_projector();
	Init_console();
	Init_hud();
	Init_game();
	Init_NewSound();
	Init_reglib();
	Init_loadsave();
	Init_fbeffects();
	Init_graphics();
	InitSplineAPI();
	Init_Karaoke();
	Init_SimpleInput();
	Init_GBALink();
}

void Stop_cons() {
	Stop_light();
}
