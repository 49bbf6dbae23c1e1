#include "framework/logic/api/LogicApiTables.h"

#include "framework/core/input/EFDeviceID_e.h"
#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/input/EFInputContext.h"
#include "framework/core/input/EFInputMgr.h"
#include "framework/core/input/EFPlayerDevice.h"
#include "framework/core/input/EFPlayerDeviceMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFNotificationMgr.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFGameLogicMgr.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/api/EFApiTrace.h"
#include "framework/logic/api/LogicApiTable.h"

namespace {

bool bDone = false;

// The player devices that report input errors.
constexpr s32 ERROR_DEVICE_FIRST	= 16;
constexpr s32 ERROR_DEVICE_LAST		= 23;

// Action flags the getters read.
constexpr u32 FLAG_TOGGLE_PUSH		= 0x8;
constexpr u32 FLAG_TOGGLE_RELEASE	= 0x10;
constexpr u32 FLAG_PUSH				= 0x20;
constexpr u32 FLAG_RELEASE			= 0x40;
constexpr u32 FLAG_DIGITAL_INFO		= 0x20000;

EFInputConfig * Config( const s32 config ) {
	return gpoInputMgr != nullptr ? gpoInputMgr->InputConfigGet( config ) : nullptr;
}

EFInputAction * Action( const s32 config, const s32 action ) {
	return gpoInputMgr != nullptr ? gpoInputMgr->InputActionGet( config, action ) : nullptr;
}

EFInputContext * Context( const s32 config, const s32 action, const s32 context ) {
	return gpoInputMgr != nullptr ? gpoInputMgr->InputContextGet( config, action, context ) : nullptr;
}

EFGameObject * Object( const u32 id ) {
	return gpoWorldMgr != nullptr ? gpoWorldMgr->GetGameObject( id, nullptr ) : nullptr;
}

EFPlayerDevice * Acquire( const s32 id ) {
	return gpoPlayerDeviceMgr != nullptr ? gpoPlayerDeviceMgr->AcquirePlayerDevice( static_cast<EFDeviceID_e>( id ) )
										 : nullptr;
}

// An action flag as 0 or 1, 0 for a missing action.
s32 ActionFlag( const char * name, const s32 config, const s32 action, const u32 flag ) {
	EFApiTrace::mFuncName = name;
	const EFInputAction * const found = Action( config, action );
	const s32 set = found != nullptr && ( found->GetState().flags & flag ) != 0 ? 1 : 0;
	EFApiTrace::mFuncName = nullptr;
	return set;
}

// --- Configurations ---

void InputConfigAdd( const s32 config ) {
	EFApiTrace::mFuncName = "InputConfigAdd";
	if ( gpoInputMgr != nullptr ) {
		gpoInputMgr->InputConfigAdd( config );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputConfigRemove( const s32 config ) {
	EFApiTrace::mFuncName = "InputConfigRemove";
	if ( gpoInputMgr != nullptr ) {
		gpoInputMgr->InputConfigRemove( config );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputConfigRemoveAll() {
	EFApiTrace::mFuncName = "InputConfigRemoveAll";
	if ( gpoInputMgr != nullptr ) {
		gpoInputMgr->InputConfigRemoveAll();
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputConfigSetState( const s32 config, const s32 state ) {
	EFApiTrace::mFuncName = "InputConfigSetState";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->SetState( static_cast<u32>( state ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 InputConfigGetState( const s32 config ) {
	EFApiTrace::mFuncName = "InputConfigGetState";
	const EFInputConfig * const found = Config( config );
	const u32 state = found != nullptr ? found->GetState() : 0;
	EFApiTrace::mFuncName = nullptr;
	return state;
}

void InputConfigActivate( const s32 config, const s32 on ) {
	EFApiTrace::mFuncName = "InputConfigActivate";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->SetActive( on != 0 );
	}
	EFApiTrace::mFuncName = nullptr;
}

u32 ConfigIsActive( const s32 config ) {
	const EFInputConfig * const found = Config( config );
	return found != nullptr && found->IsActive() ? 1 : 0;
}

// --- Actions ---

void InputActionAdd( const s32 config, const s32 action, u32 ) {
	EFApiTrace::mFuncName = "InputActionAdd";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->InputActionAdd( action );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputActionRemove( const s32 config, const s32 action ) {
	EFApiTrace::mFuncName = "InputActionRemove";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->InputActionRemove( action );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputActionRemoveAll( const s32 config ) {
	EFApiTrace::mFuncName = "InputActionRemoveAll";
	if ( EFInputConfig * const found = Config( config ) ) {
		found->InputActionRemoveAll();
	}
	EFApiTrace::mFuncName = nullptr;
}

f32 InputActionGetAnalogX( const s32 config, const s32 action ) {
	EFApiTrace::mFuncName = "InputActionGetAnalogX";
	const EFInputAction * const found = Action( config, action );
	const f32 x = found != nullptr ? found->GetState().x : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return x;
}

f32 InputActionGetAnalogY( const s32 config, const s32 action ) {
	EFApiTrace::mFuncName = "InputActionGetAnalogY";
	const EFInputAction * const found = Action( config, action );
	const f32 y = found != nullptr ? found->GetState().y : 0.0f;
	EFApiTrace::mFuncName = nullptr;
	return y;
}

u32 InputActionGetDigitalInfo( const s32 config, const s32 action ) {
	return static_cast<u32>( ActionFlag( "InputActionGetDigitalInfo", config, action, FLAG_DIGITAL_INFO ) );
}

s32 InputActionIsPush( const s32 config, const s32 action ) {
	return ActionFlag( "InputActionIsPush", config, action, FLAG_PUSH );
}

s32 InputActionIsRelease( const s32 config, const s32 action ) {
	return ActionFlag( "InputActionIsRelease", config, action, FLAG_RELEASE );
}

s32 InputActionTogglePush( const s32 config, const s32 action ) {
	return ActionFlag( "InputActionTogglePush", config, action, FLAG_TOGGLE_PUSH );
}

s32 InputActionToggleRelease( const s32 config, const s32 action ) {
	return ActionFlag( "InputActionToggleRelease", config, action, FLAG_TOGGLE_RELEASE );
}

// --- Contexts ---

void InputContextAdd( const u32 object, const u32 callbackIndex, const s32 config, const s32 action,
					  const s32 context, const s32 triggerFlags ) {
	EFApiTrace::mFuncName = "InputContextAdd";
	EFInputConfig * const foundConfig = Config( config );
	EFInputAction * const foundAction = foundConfig != nullptr ? foundConfig->InputActionGet( action ) : nullptr;
	if ( foundAction != nullptr ) {
		// The action refuses a null object or a function the module lacks.
		foundAction->InputContextAdd( foundConfig, context, static_cast<u32>( triggerFlags ),
									  EFGameLogicMgr::ExecLogicCallback, Object( object ),
									  static_cast<s32>( callbackIndex ) );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputContextRemove( const s32 config, const s32 action, const s32 context ) {
	EFApiTrace::mFuncName = "InputContextRemove";
	if ( EFInputAction * const found = Action( config, action ) ) {
		found->InputContextRemove( context );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputContextRemoveAll( const s32 config, const s32 action ) {
	EFApiTrace::mFuncName = "InputContextRemoveAll";
	if ( EFInputAction * const found = Action( config, action ) ) {
		found->InputContextRemoveAll();
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputContextSetState( const s32 config, const s32 action, const s32 context, const u32 value ) {
	if ( EFInputContext * const found = Context( config, action, context ) ) {
		found->SetState( value );
	}
}

u32 InputContextGetState( const s32 config, const s32 action, const s32 context ) {
	const EFInputContext * const found = Context( config, action, context );
	return found != nullptr ? found->GetState() : 0;
}

void InputContextSetFlags( const s32 config, const s32 action, const s32 context, const u32 value ) {
	EFApiTrace::mFuncName = "InputContextSetFlags";
	InputContextSetState( config, action, context, value );
	EFApiTrace::mFuncName = nullptr;
}

u32 InputContextGetFlags( const s32 config, const s32 action, const s32 context ) {
	EFApiTrace::mFuncName = "InputContextGetFlags";
	const u32 flags = InputContextGetState( config, action, context );
	EFApiTrace::mFuncName = nullptr;
	return flags;
}

void InputContextSetCallback( u32, u32, s32, s32, s32 ) {
	EFApiTrace::mFuncName = "InputContextSetCallback";
	EFApiTrace::mFuncName = nullptr;
}

// --- Devices ---

void InputDeviceAdd( const s32 config, const s32 action, const s32 binding, const s32 device, const s32 slot,
					 const s32 kind, const s32 percent, const s32 input ) {
	EFApiTrace::mFuncName = "InputDeviceAdd";
	if ( EFInputAction * const found = Action( config, action ) ) {
		found->InputDeviceAdd( binding, device, slot, kind, percent, input );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputDeviceRemove( const s32 config, const s32 action, const s32 device ) {
	EFApiTrace::mFuncName = "InputDeviceRemove";
	if ( EFInputAction * const found = Action( config, action ) ) {
		found->InputDeviceRemove( device );
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputDeviceRemoveAll( const s32 config, const s32 action ) {
	EFApiTrace::mFuncName = "InputDeviceRemoveAll";
	if ( EFInputAction * const found = Action( config, action ) ) {
		found->InputDeviceRemoveAll();
	}
	EFApiTrace::mFuncName = nullptr;
}

// Switching vibration off stops every motor first.
void InputEnableVibration( const s32 deviceId, const s32 enable ) {
	EFPlayerDevice * const device = Acquire( deviceId );
	if ( device == nullptr ) {
		return;
	}
	device->SetVibrationEnabled( true );
	if ( enable > 0 ) {
		return;
	}
	for ( u32 output = 0; output < device->GetNbOutput(); output++ ) {
		device->SetVibration( output, 0.0f, 0.0f, 0.0f, 0.0f );
	}
	device->SetVibrationEnabled( false );
}

void InputSetVibration( const s32 deviceId, const u32 motor, const f32 level, const f32 attack, const f32 hold,
						const f32 release ) {
	EFApiTrace::mFuncName = "InputSetVibration";
	if ( EFPlayerDevice * const device = Acquire( deviceId ) ) {
		device->SetVibration( motor, level, attack, hold, release );
	}
	EFApiTrace::mFuncName = nullptr;
}

// Every present controller reports its errors to the object; the
// registrations share one key, each replacing the last.
void InputErrorRegisterNotify( s32, const u32 object, const u32 callbackIndex ) {
	EFApiTrace::mFuncName = "InputErrorRegisterNotify";
	EFGameObject * const found = Object( object );
	if ( found != nullptr && gpoPlayerDeviceMgr != nullptr && gpoGameLogicMgr != nullptr ) {
		for ( s32 id = ERROR_DEVICE_FIRST; id <= ERROR_DEVICE_LAST; id++ ) {
			if ( gpoPlayerDeviceMgr->GetDevice( static_cast<EFDeviceID_e>( id ) ) == nullptr ) {
				continue;
			}
			EFPlayerDevice * const device = Acquire( id );
			if ( device == nullptr ) {
				continue;
			}
			device->SetInputErrorInstance( found );
			gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_INPUT_ERROR, found->GetUID(), found->GetUID(),
																  EFGameLogicMgr::ExecLogicCallback,
																  EFNewLogicCallbackRecord( found, callbackIndex ) );
		}
	}
	EFApiTrace::mFuncName = nullptr;
}

void InputSetActivePort( const s32 port ) {
	EFApiTrace::mFuncName = "InputSetActivePort";
	if ( gpoPlayerDeviceMgr != nullptr ) {
		gpoPlayerDeviceMgr->SetActivePort( port );
	}
	EFApiTrace::mFuncName = nullptr;
}

}

void ApiInputNotInit() {
	bDone = true;
}

bool ApiInputNotInitDone() {
	return bDone;
}

constexpr _api_input APIinputStubs = MakeLogicApiStubs<_api_input, ApiInputNotInit>();
constinit _api_input APIinput = MakeLogicApiStubs<_api_input, ApiInputNotInit>();

void Init_input() {
	InitAPI( &APIinput, LOGIC_API_INPUT_SLOTS, &APIinputStubs );
	APIinput.InputConfigAdd = InputConfigAdd;
	APIinput.InputConfigRemove = InputConfigRemove;
	APIinput.InputConfigRemoveAll = InputConfigRemoveAll;
	APIinput.InputConfigSetState = InputConfigSetState;
	APIinput.InputConfigGetState = InputConfigGetState;
	APIinput.InputConfigActivate = InputConfigActivate;
	APIinput.InputActionAdd = InputActionAdd;
	APIinput.InputActionRemove = InputActionRemove;
	APIinput.InputActionRemoveAll = InputActionRemoveAll;
	APIinput.InputActionGetAnalogX = InputActionGetAnalogX;
	APIinput.InputActionGetAnalogY = InputActionGetAnalogY;
	APIinput.InputActionGetDigitalInfo = InputActionGetDigitalInfo;
	APIinput.InputActionIsPush = InputActionIsPush;
	APIinput.InputActionIsRelease = InputActionIsRelease;
	APIinput.InputActionTogglePush = InputActionTogglePush;
	APIinput.InputActionToggleRelease = InputActionToggleRelease;
	APIinput.InputContextAdd = InputContextAdd;
	APIinput.InputContextRemove = InputContextRemove;
	APIinput.InputContextRemoveAll = InputContextRemoveAll;
	APIinput.InputContextSetState = InputContextSetState;
	APIinput.InputContextGetState = InputContextGetState;
	APIinput.InputContextSetFlags = InputContextSetFlags;
	APIinput.InputContextGetFlags = InputContextGetFlags;
	APIinput.InputContextSetCallback = InputContextSetCallback;
	APIinput.InputDeviceAdd = InputDeviceAdd;
	APIinput.InputDeviceRemove = InputDeviceRemove;
	APIinput.InputDeviceRemoveAll = InputDeviceRemoveAll;
	APIinput.InputEnableVibration = InputEnableVibration;
	APIinput.InputSetVibration = InputSetVibration;
	APIinput.ConfigIsActive = ConfigIsActive;
	APIinput.InputErrorRegisterNotify = InputErrorRegisterNotify;
	APIinput.InputSetActivePort = InputSetActivePort;
}
