/*
===============================================================================

	Layout of the table `_api_light` that a module gets from the root table:
	dynamic lights.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_LIGHT_H
#define LOGIC_TABLE_LIGHT_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_LIGHT_SLOTS		30
#define LOGIC_API_LIGHT_PAD_SLOTS	16

struct _api_light {
	u32								( *CreateLight )( u32 type );
	void							( *SetFlag )( u32 light, u32 flags );
	u32								( *GetFlag )( u32 light );
	void							( *SetColor )( u32 light, CColor * colour );
	void							( *GetColor )( u32 light, CColor * colour );
	void							( *SetRadius )( u32 light, f32 radius );
	f32								( *GetRadius )( u32 light );
	void							( *SetConeAngle )( u32 light, f32 angle );
	f32								( *GetConeAngle )( u32 light );
	void							( *SetVisible )( u32 light, s32 visible );
	u32								( *IsVisible )( u32 light );
	void							( *DestroyLight )( u32 light );
	void							( *SetName )( u32 light, char * name );
	void							( *GetName )( u32 light, char * name );
	void							( *Pad[LOGIC_API_LIGHT_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_light, CreateLight, 0 );
LOGIC_API_SLOT( _api_light, SetFlag, 1 );
LOGIC_API_SLOT( _api_light, GetFlag, 2 );
LOGIC_API_SLOT( _api_light, SetColor, 3 );
LOGIC_API_SLOT( _api_light, GetColor, 4 );
LOGIC_API_SLOT( _api_light, SetRadius, 5 );
LOGIC_API_SLOT( _api_light, GetRadius, 6 );
LOGIC_API_SLOT( _api_light, SetConeAngle, 7 );
LOGIC_API_SLOT( _api_light, GetConeAngle, 8 );
LOGIC_API_SLOT( _api_light, SetVisible, 9 );
LOGIC_API_SLOT( _api_light, IsVisible, 10 );
LOGIC_API_SLOT( _api_light, DestroyLight, 11 );
LOGIC_API_SLOT( _api_light, SetName, 12 );
LOGIC_API_SLOT( _api_light, GetName, 13 );
LOGIC_API_SLOT( _api_light, Pad, 14 );
LOGIC_API_TABLE_SIZE( _api_light, LOGIC_API_LIGHT_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
