/*
===============================================================================

	Layout of the table `_api_fbeffects` that a module gets from the root table:
	frame-buffer effects.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_FBEFFECTS_H
#define LOGIC_TABLE_FBEFFECTS_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_FBEFFECTS_SLOTS		21
#define LOGIC_API_FBEFFECTS_PAD_SLOTS	16

struct _api_fbeffects {
	u32								( *Create )( u32 type, u32 flags );
	void							( *Destroy )( u32 handle );
	void							( *Enable )( u32 handle, u32 on );
	void							( *SetParams )( u32 handle, u32 param, void * data );
	void							( *GetParams )( u32 handle, u32 param, void * data );
	void							( *Pad[LOGIC_API_FBEFFECTS_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_fbeffects, Create, 0 );
LOGIC_API_SLOT( _api_fbeffects, Destroy, 1 );
LOGIC_API_SLOT( _api_fbeffects, Enable, 2 );
LOGIC_API_SLOT( _api_fbeffects, SetParams, 3 );
LOGIC_API_SLOT( _api_fbeffects, GetParams, 4 );
LOGIC_API_SLOT( _api_fbeffects, Pad, 5 );
LOGIC_API_TABLE_SIZE( _api_fbeffects, LOGIC_API_FBEFFECTS_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
