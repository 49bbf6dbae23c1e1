/*
===============================================================================

	Layout of the table `_api_input` that a module gets from the root table:
	input configurations, their actions, contexts and devices.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_INPUT_H
#define LOGIC_TABLE_INPUT_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_INPUT_SLOTS		48
#define LOGIC_API_INPUT_PAD_SLOTS	16

struct _api_input {
	void							( *InputConfigAdd )( s32 config );
	void							( *InputConfigRemove )( s32 config );
	void							( *InputConfigRemoveAll )( void );
	void							( *InputConfigSetState )( s32 config, s32 state );
	u32								( *InputConfigGetState )( s32 config );
	void							( *InputConfigActivate )( s32 config, s32 on );
	void							( *InputActionAdd )( s32 config, s32 action, u32 ignored );
	void							( *InputActionRemove )( s32 config, s32 action );
	void							( *InputActionRemoveAll )( s32 config );
	f32								( *InputActionGetAnalogX )( s32 config, s32 action );
	f32								( *InputActionGetAnalogY )( s32 config, s32 action );
	u32								( *InputActionGetDigitalInfo )( s32 config, s32 action );
	s32								( *InputActionIsPush )( s32 config, s32 action );
	s32								( *InputActionIsRelease )( s32 config, s32 action );
	s32								( *InputActionTogglePush )( s32 config, s32 action );
	s32								( *InputActionToggleRelease )( s32 config, s32 action );
	void							( *InputContextAdd )( u32 object, u32 callbackIndex, s32 config, s32 action, s32 context, s32 triggerFlags );
	void							( *InputContextRemove )( s32 config, s32 action, s32 context );
	void							( *InputContextRemoveAll )( s32 config, s32 action );
	void							( *InputContextSetState )( s32 config, s32 action, s32 context, u32 value );
	u32								( *InputContextGetState )( s32 config, s32 action, s32 context );
	void							( *InputContextSetFlags )( s32 config, s32 action, s32 context, u32 value );
	u32								( *InputContextGetFlags )( s32 config, s32 action, s32 context );
	void							( *InputContextSetCallback )( u32, u32, s32, s32, s32 );
	void							( *InputDeviceAdd )( s32 config, s32 action, s32, s32, s32, s32, s32, s32 );
	void							( *InputDeviceRemove )( s32 config, s32 action, s32 device );
	void							( *InputDeviceRemoveAll )( s32 config, s32 action );
	void							( *InputEnableVibration )( s32 deviceId, s32 enable );
	void							( *InputSetVibration )( s32 deviceId, u32 motor, f32, f32, f32, f32 );
	u32								( *ConfigIsActive )( s32 config );
	void							( *InputErrorRegisterNotify )( s32 ignored, u32 object, u32 callbackIndex );
	void							( *InputSetActivePort )( s32 port );
	void							( *Pad[LOGIC_API_INPUT_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_input, InputConfigAdd, 0 );
LOGIC_API_SLOT( _api_input, InputConfigRemove, 1 );
LOGIC_API_SLOT( _api_input, InputConfigRemoveAll, 2 );
LOGIC_API_SLOT( _api_input, InputConfigSetState, 3 );
LOGIC_API_SLOT( _api_input, InputConfigGetState, 4 );
LOGIC_API_SLOT( _api_input, InputConfigActivate, 5 );
LOGIC_API_SLOT( _api_input, InputActionAdd, 6 );
LOGIC_API_SLOT( _api_input, InputActionRemove, 7 );
LOGIC_API_SLOT( _api_input, InputActionRemoveAll, 8 );
LOGIC_API_SLOT( _api_input, InputActionGetAnalogX, 9 );
LOGIC_API_SLOT( _api_input, InputActionGetAnalogY, 10 );
LOGIC_API_SLOT( _api_input, InputActionGetDigitalInfo, 11 );
LOGIC_API_SLOT( _api_input, InputActionIsPush, 12 );
LOGIC_API_SLOT( _api_input, InputActionIsRelease, 13 );
LOGIC_API_SLOT( _api_input, InputActionTogglePush, 14 );
LOGIC_API_SLOT( _api_input, InputActionToggleRelease, 15 );
LOGIC_API_SLOT( _api_input, InputContextAdd, 16 );
LOGIC_API_SLOT( _api_input, InputContextRemove, 17 );
LOGIC_API_SLOT( _api_input, InputContextRemoveAll, 18 );
LOGIC_API_SLOT( _api_input, InputContextSetState, 19 );
LOGIC_API_SLOT( _api_input, InputContextGetState, 20 );
LOGIC_API_SLOT( _api_input, InputContextSetFlags, 21 );
LOGIC_API_SLOT( _api_input, InputContextGetFlags, 22 );
LOGIC_API_SLOT( _api_input, InputContextSetCallback, 23 );
LOGIC_API_SLOT( _api_input, InputDeviceAdd, 24 );
LOGIC_API_SLOT( _api_input, InputDeviceRemove, 25 );
LOGIC_API_SLOT( _api_input, InputDeviceRemoveAll, 26 );
LOGIC_API_SLOT( _api_input, InputEnableVibration, 27 );
LOGIC_API_SLOT( _api_input, InputSetVibration, 28 );
LOGIC_API_SLOT( _api_input, ConfigIsActive, 29 );
LOGIC_API_SLOT( _api_input, InputErrorRegisterNotify, 30 );
LOGIC_API_SLOT( _api_input, InputSetActivePort, 31 );
LOGIC_API_SLOT( _api_input, Pad, 32 );
LOGIC_API_TABLE_SIZE( _api_input, LOGIC_API_INPUT_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
