/*
===============================================================================

	Layout of the table `_api_console` that a module gets from the root table:
	display flags of the console build.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_CONSOLE_H
#define LOGIC_TABLE_CONSOLE_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_CONSOLE_SLOTS		18
#define LOGIC_API_CONSOLE_PAD_SLOTS	16

struct _api_console {
	void							( *SetPrimDisplayFlag )( u32 );
	u32								( *GetPrimDisplayFlag )( void );
	void							( *Pad[LOGIC_API_CONSOLE_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_console, SetPrimDisplayFlag, 0 );
LOGIC_API_SLOT( _api_console, GetPrimDisplayFlag, 1 );
LOGIC_API_SLOT( _api_console, Pad, 2 );
LOGIC_API_TABLE_SIZE( _api_console, LOGIC_API_CONSOLE_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
