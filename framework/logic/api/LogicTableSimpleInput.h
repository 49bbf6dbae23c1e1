/*
===============================================================================

	Layout of the table `_api_simpleinput` that a module gets from the root table:
	simple input configurations built from callbacks.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_SIMPLE_INPUT_H
#define LOGIC_TABLE_SIMPLE_INPUT_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_SIMPLE_INPUT_SLOTS		28

struct _api_simpleinput {
	s32								( *ConfigCreate )( void );
	void							( *ConfigEnable )( u32 config );
	void							( *ConfigDisable )( u32 config );
	u32								( *ConfigIsEnabled )( u32 config );
	void							( *ConfigSetState )( u32 config, u32 state );
	u32								( *ConfigGetState )( u32 config );
	s32								( *AddLeftJoystickCallback )( u32 callback );
	s32								( *AddLeftJoystickIdleCallback )( u32 callback );
	s32								( *AddRightJoystickCallback )( u32 callback );
	s32								( *AddRightJoystickIdleCallback )( u32 callback );
	s32								( *AddButtonDownCallback )( u32 callback, s32 button );
	s32								( *AddButtonUpCallback )( u32 callback, s32 button );
	s32								( *AddButtonPushedCallback )( u32 callback, s32 button );
	s32								( *AddButtonReleasedCallback )( u32 callback, s32 button );
	s32								( *AddKeyboardDownCallback )( u32 callback, s32 key );
	s32								( *AddKeyboardUpCallback )( u32 callback, s32 key );
	s32								( *AddKeyboardPushedCallback )( u32 callback, s32 key );
	s32								( *AddKeyboardReleasedCallback )( u32 callback, s32 key );
	void							( *ActionSetState )( u32 config, u32 action, u32 state );
	u32								( *ActionGetState )( u32 config, u32 action );
	s32								( *AddLeftJoystickCallback_Port )( u32 callback, u32 device );
	s32								( *AddLeftJoystickIdleCallback_Port )( u32 callback, u32 device );
	s32								( *AddRightJoystickCallback_Port )( u32 callback, u32 device );
	s32								( *AddRightJoystickIdleCallback_Port )( u32 callback, u32 device );
	s32								( *AddButtonDownCallback_Port )( u32 callback, s32 button, u32 device );
	s32								( *AddButtonUpCallback_Port )( u32 callback, s32 button, u32 device );
	s32								( *AddButtonPushedCallback_Port )( u32 callback, s32 button, u32 device );
	s32								( *AddButtonReleasedCallback_Port )( u32 callback, s32 button, u32 device );
};

LOGIC_API_SLOT( _api_simpleinput, ConfigCreate, 0 );
LOGIC_API_SLOT( _api_simpleinput, ConfigEnable, 1 );
LOGIC_API_SLOT( _api_simpleinput, ConfigDisable, 2 );
LOGIC_API_SLOT( _api_simpleinput, ConfigIsEnabled, 3 );
LOGIC_API_SLOT( _api_simpleinput, ConfigSetState, 4 );
LOGIC_API_SLOT( _api_simpleinput, ConfigGetState, 5 );
LOGIC_API_SLOT( _api_simpleinput, AddLeftJoystickCallback, 6 );
LOGIC_API_SLOT( _api_simpleinput, AddLeftJoystickIdleCallback, 7 );
LOGIC_API_SLOT( _api_simpleinput, AddRightJoystickCallback, 8 );
LOGIC_API_SLOT( _api_simpleinput, AddRightJoystickIdleCallback, 9 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonDownCallback, 10 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonUpCallback, 11 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonPushedCallback, 12 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonReleasedCallback, 13 );
LOGIC_API_SLOT( _api_simpleinput, AddKeyboardDownCallback, 14 );
LOGIC_API_SLOT( _api_simpleinput, AddKeyboardUpCallback, 15 );
LOGIC_API_SLOT( _api_simpleinput, AddKeyboardPushedCallback, 16 );
LOGIC_API_SLOT( _api_simpleinput, AddKeyboardReleasedCallback, 17 );
LOGIC_API_SLOT( _api_simpleinput, ActionSetState, 18 );
LOGIC_API_SLOT( _api_simpleinput, ActionGetState, 19 );
LOGIC_API_SLOT( _api_simpleinput, AddLeftJoystickCallback_Port, 20 );
LOGIC_API_SLOT( _api_simpleinput, AddLeftJoystickIdleCallback_Port, 21 );
LOGIC_API_SLOT( _api_simpleinput, AddRightJoystickCallback_Port, 22 );
LOGIC_API_SLOT( _api_simpleinput, AddRightJoystickIdleCallback_Port, 23 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonDownCallback_Port, 24 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonUpCallback_Port, 25 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonPushedCallback_Port, 26 );
LOGIC_API_SLOT( _api_simpleinput, AddButtonReleasedCallback_Port, 27 );
LOGIC_API_TABLE_SIZE( _api_simpleinput, LOGIC_API_SIMPLE_INPUT_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
