/*
===============================================================================

	Layout of the table `_api_reglib` that a module gets from the root table:
	registration of the named blocks library modules publish.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_REG_LIB_H
#define LOGIC_TABLE_REG_LIB_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_REG_LIB_SLOTS		18
#define LOGIC_API_REG_LIB_PAD_SLOTS	16

struct _api_reglib {
	void *							( *RegisterLib )( char * name, u32 size );
	void							( *UnRegisterLib )( char * name );
	void							( *Pad[LOGIC_API_REG_LIB_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_reglib, RegisterLib, 0 );
LOGIC_API_SLOT( _api_reglib, UnRegisterLib, 1 );
LOGIC_API_SLOT( _api_reglib, Pad, 2 );
LOGIC_API_TABLE_SIZE( _api_reglib, LOGIC_API_REG_LIB_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
