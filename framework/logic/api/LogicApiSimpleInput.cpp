#include "framework/logic/api/LogicApiTables.h"

#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/input/EFInputContext.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// The configuration created last and the id the next registration takes.
struct SimpleInputData {
	s32 currentConfig;
	s32 nextAction;
};

constexpr s32 FIRST_CONFIG_BASE	= 55555;
constexpr u32 RUNNING_OBJECT	= 0x2A000000;
constexpr s32 DEFAULT_DEVICE	= 16;
constexpr s32 KEYBOARD_DEVICE	= 1;
constexpr s32 KIND_AXIS_X		= 0;
constexpr s32 KIND_AXIS_Y		= 1;
constexpr s32 KIND_BUTTON		= 2;
constexpr s32 LEFT_STICK_X		= 0x8000;
constexpr s32 LEFT_STICK_Y		= 0x8001;
constexpr s32 RIGHT_STICK_X		= 0x8003;
constexpr s32 RIGHT_STICK_Y		= 0x8004;

// Context triggers.
constexpr u32 ON_MOVED			= 0x20000;
constexpr u32 ON_IDLE			= 0x10000;
constexpr u32 ON_DOWN			= 0x20;
constexpr u32 ON_UP				= 0x40;
constexpr u32 ON_PUSHED			= 0x8;
constexpr u32 ON_RELEASED		= 0x10;

// A registration made without a configuration.
constexpr s32 NOT_REGISTERED	= -1;

SimpleInputData gSimpleInputData = { FIRST_CONFIG_BASE, 0 };

EFInputConfig * Config( const u32 config ) {
	return gpoInputMgr != nullptr ? gpoInputMgr->InputConfigGet( static_cast<s32>( config ) ) : nullptr;
}

EFInputContext * FirstContext( const u32 config, const u32 action ) {
	const EFInputAction * const found =
		gpoInputMgr != nullptr ? gpoInputMgr->InputActionGet( static_cast<s32>( config ), static_cast<s32>( action ) )
							   : nullptr;
	return found != nullptr ? found->GetFirstContext() : nullptr;
}

// One device entry of a registration: binding 0, slot 0, percent 0.
struct Entry {
	s32 kind;
	s32 input;
};

// Steps shared by every registration: an action of the next id in the
// current configuration, its device entries, a context calling the
// running object's callback on the trigger. The id is used even when the
// device or the context is refused; the action stays.
s32 Register( const s32 device, const Entry * const entries, const u32 count, const u32 trigger,
			  const u32 callback ) {
	EFInputConfig * const config = gpoInputMgr != nullptr ? gpoInputMgr->InputConfigGet( gSimpleInputData.currentConfig )
														  : nullptr;
	if ( config == nullptr ) {
		return NOT_REGISTERED;
	}
	const s32 id = gSimpleInputData.nextAction;
	EFInputAction * const action = config->InputActionAdd( id );
	if ( action == nullptr ) {
		return NOT_REGISTERED;
	}
	EFGameObject * const object = gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( RUNNING_OBJECT, nullptr ) : nullptr;
	for ( u32 i = 0; i < count; i++ ) {
		action->InputDeviceAdd( 0, device, 0, entries[i].kind, 0, entries[i].input );
	}
	action->InputContextAdd( config, 0, trigger, EFGameLogicMgr::ExecLogicCallback, object,
							 static_cast<s32>( callback ) );
	gSimpleInputData.nextAction++;
	return id;
}

s32 AddJoystick( const u32 callback, const s32 device, const bool right, const u32 trigger ) {
	EFApiTrace::mFuncName = "SimpleInput_AddJoystickCallback";
	const Entry entries[2] = { { KIND_AXIS_X, right ? RIGHT_STICK_X : LEFT_STICK_X },
							   { KIND_AXIS_Y, right ? RIGHT_STICK_Y : LEFT_STICK_Y } };
	const s32 id = Register( device, entries, 2, trigger, callback );
	EFApiTrace::mFuncName = nullptr;
	return id;
}

s32 AddButton( const u32 callback, const s32 button, const s32 device, const u32 trigger ) {
	EFApiTrace::mFuncName = "AddButtonCallback";
	const Entry entry = { KIND_BUTTON, button };
	const s32 id = Register( device, &entry, 1, trigger, callback );
	EFApiTrace::mFuncName = nullptr;
	return id;
}

s32 AddKeyboard( const u32 callback, const s32 key, const u32 trigger ) {
	EFApiTrace::mFuncName = "AddKeyboardCallback";
	const Entry entry = { KIND_BUTTON, key };
	const s32 id = Register( KEYBOARD_DEVICE, &entry, 1, trigger, callback );
	EFApiTrace::mFuncName = nullptr;
	return id;
}

// --- Configurations ---

s32 ConfigCreate() {
	EFApiTrace::mFuncName = "NewConfig";
	gSimpleInputData.currentConfig++;
	gSimpleInputData.nextAction = 0;
	if ( gpoInputMgr != nullptr ) {
		gpoInputMgr->InputConfigAdd( gSimpleInputData.currentConfig );
	}
	EFApiTrace::mFuncName = nullptr;
	return gSimpleInputData.currentConfig;
}

void ConfigEnable( const u32 config ) {
	EFApiTrace::mFuncName = "SimpleInput_ConfigEnable";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->SetActive( true );
	}
	EFApiTrace::mFuncName = nullptr;
}

void ConfigDisable( const u32 config ) {
	EFApiTrace::mFuncName = "SimpleInput_ConfigDisable";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->SetActive( false );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 ConfigIsEnabled( const u32 config ) {
	const EFInputConfig * const found = Config( config );
	return found != nullptr && found->IsActive() ? 1 : 0;
}

void ConfigSetState( const u32 config, const u32 state ) {
	EFApiTrace::mFuncName = "SimpleInput_SetConfigState";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->SetState( state );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 ConfigGetState( const u32 config ) {
	EFApiTrace::mFuncName = "SimpleInput_ConfigGetState";
	const EFInputConfig * const found = Config( config );
	const u32 state = found != nullptr ? found->GetState() : 0;
	EFApiTrace::mFuncName = nullptr;
	return state;
}

void ActionSetState( const u32 config, const u32 action, const u32 state ) {
	EFApiTrace::mFuncName = "SimpleInput_SetActionState";
	if ( EFInputContext * const context = FirstContext( config, action ) ) {
		context->SetState( state );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 ActionGetState( const u32 config, const u32 action ) {
	EFApiTrace::mFuncName = "SimpleInput_ActionGetState";
	const EFInputContext * const context = FirstContext( config, action );
	const u32 state = context != nullptr ? context->GetState() : 0;
	EFApiTrace::mFuncName = nullptr;
	return state;
}

// --- Registrations ---

s32 AddLeftJoystickCallback( const u32 callback ) {
	return AddJoystick( callback, DEFAULT_DEVICE, false, ON_MOVED );
}

s32 AddLeftJoystickIdleCallback( const u32 callback ) {
	return AddJoystick( callback, DEFAULT_DEVICE, false, ON_IDLE );
}

s32 AddRightJoystickCallback( const u32 callback ) {
	return AddJoystick( callback, DEFAULT_DEVICE, true, ON_MOVED );
}

s32 AddRightJoystickIdleCallback( const u32 callback ) {
	return AddJoystick( callback, DEFAULT_DEVICE, true, ON_IDLE );
}

s32 AddButtonDownCallback( const u32 callback, const s32 button ) {
	return AddButton( callback, button, DEFAULT_DEVICE, ON_DOWN );
}

s32 AddButtonUpCallback( const u32 callback, const s32 button ) {
	return AddButton( callback, button, DEFAULT_DEVICE, ON_UP );
}

s32 AddButtonPushedCallback( const u32 callback, const s32 button ) {
	return AddButton( callback, button, DEFAULT_DEVICE, ON_PUSHED );
}

s32 AddButtonReleasedCallback( const u32 callback, const s32 button ) {
	return AddButton( callback, button, DEFAULT_DEVICE, ON_RELEASED );
}

s32 AddKeyboardDownCallback( const u32 callback, const s32 key ) {
	return AddKeyboard( callback, key, ON_DOWN );
}

s32 AddKeyboardUpCallback( const u32 callback, const s32 key ) {
	return AddKeyboard( callback, key, ON_UP );
}

s32 AddKeyboardPushedCallback( const u32 callback, const s32 key ) {
	return AddKeyboard( callback, key, ON_PUSHED );
}

s32 AddKeyboardReleasedCallback( const u32 callback, const s32 key ) {
	return AddKeyboard( callback, key, ON_RELEASED );
}

s32 AddLeftJoystickCallback_Port( const u32 callback, const u32 device ) {
	return AddJoystick( callback, static_cast<s32>( device ), false, ON_MOVED );
}

s32 AddLeftJoystickIdleCallback_Port( const u32 callback, const u32 device ) {
	return AddJoystick( callback, static_cast<s32>( device ), false, ON_IDLE );
}

s32 AddRightJoystickCallback_Port( const u32 callback, const u32 device ) {
	return AddJoystick( callback, static_cast<s32>( device ), true, ON_MOVED );
}

s32 AddRightJoystickIdleCallback_Port( const u32 callback, const u32 device ) {
	return AddJoystick( callback, static_cast<s32>( device ), true, ON_IDLE );
}

s32 AddButtonDownCallback_Port( const u32 callback, const s32 button, const u32 device ) {
	return AddButton( callback, button, static_cast<s32>( device ), ON_DOWN );
}

s32 AddButtonUpCallback_Port( const u32 callback, const s32 button, const u32 device ) {
	return AddButton( callback, button, static_cast<s32>( device ), ON_UP );
}

s32 AddButtonPushedCallback_Port( const u32 callback, const s32 button, const u32 device ) {
	return AddButton( callback, button, static_cast<s32>( device ), ON_PUSHED );
}

s32 AddButtonReleasedCallback_Port( const u32 callback, const s32 button, const u32 device ) {
	return AddButton( callback, button, static_cast<s32>( device ), ON_RELEASED );
}

}

void ApiSimpleInputNotInit() {
	bDone = true;
}

bool ApiSimpleInputNotInitDone() {
	return bDone;
}

constexpr _api_simpleinput APIsimpleinputStubs = MakeLogicApiStubs<_api_simpleinput, ApiSimpleInputNotInit>();
constinit _api_simpleinput APIsimpleinput = MakeLogicApiStubs<_api_simpleinput, ApiSimpleInputNotInit>();

void Init_SimpleInput() {
	InitAPI( &APIsimpleinput, LOGIC_API_SIMPLE_INPUT_SLOTS, &APIsimpleinputStubs );
	gSimpleInputData = { FIRST_CONFIG_BASE, 0 };
	APIsimpleinput.ConfigCreate = ConfigCreate;
	APIsimpleinput.ConfigEnable = ConfigEnable;
	APIsimpleinput.ConfigDisable = ConfigDisable;
	APIsimpleinput.ConfigIsEnabled = ConfigIsEnabled;
	APIsimpleinput.ConfigSetState = ConfigSetState;
	APIsimpleinput.ConfigGetState = ConfigGetState;
	APIsimpleinput.AddLeftJoystickCallback = AddLeftJoystickCallback;
	APIsimpleinput.AddLeftJoystickIdleCallback = AddLeftJoystickIdleCallback;
	APIsimpleinput.AddRightJoystickCallback = AddRightJoystickCallback;
	APIsimpleinput.AddRightJoystickIdleCallback = AddRightJoystickIdleCallback;
	APIsimpleinput.AddButtonDownCallback = AddButtonDownCallback;
	APIsimpleinput.AddButtonUpCallback = AddButtonUpCallback;
	APIsimpleinput.AddButtonPushedCallback = AddButtonPushedCallback;
	APIsimpleinput.AddButtonReleasedCallback = AddButtonReleasedCallback;
	APIsimpleinput.AddKeyboardDownCallback = AddKeyboardDownCallback;
	APIsimpleinput.AddKeyboardUpCallback = AddKeyboardUpCallback;
	APIsimpleinput.AddKeyboardPushedCallback = AddKeyboardPushedCallback;
	APIsimpleinput.AddKeyboardReleasedCallback = AddKeyboardReleasedCallback;
	APIsimpleinput.ActionSetState = ActionSetState;
	APIsimpleinput.ActionGetState = ActionGetState;
	APIsimpleinput.AddLeftJoystickCallback_Port = AddLeftJoystickCallback_Port;
	APIsimpleinput.AddLeftJoystickIdleCallback_Port = AddLeftJoystickIdleCallback_Port;
	APIsimpleinput.AddRightJoystickCallback_Port = AddRightJoystickCallback_Port;
	APIsimpleinput.AddRightJoystickIdleCallback_Port = AddRightJoystickIdleCallback_Port;
	APIsimpleinput.AddButtonDownCallback_Port = AddButtonDownCallback_Port;
	APIsimpleinput.AddButtonUpCallback_Port = AddButtonUpCallback_Port;
	APIsimpleinput.AddButtonPushedCallback_Port = AddButtonPushedCallback_Port;
	APIsimpleinput.AddButtonReleasedCallback_Port = AddButtonReleasedCallback_Port;
}
