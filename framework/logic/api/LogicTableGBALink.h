/*
===============================================================================

	Layout of the table `_api_gbalink` that a module gets from the root table:
	the link to a handheld console on a controller port; this console
	offers no link.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_GBALINK_H
#define LOGIC_TABLE_GBALINK_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_GBALINK_SLOTS		20
#define LOGIC_API_GBALINK_PAD_SLOTS	16

struct _api_gbalink {
	void							( *SetConnectionCallBack )( LogicGBALinkConnectionFn function );
	void							( *SetCompleteCallBack )( LogicGBALinkCompleteFn function );
	u32								( *SendData )( u32 data, u8 slot );
	u32								( *GetData )( u32 * data, u8 slot );
	void							( *Pad[LOGIC_API_GBALINK_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_gbalink, SetConnectionCallBack, 0 );
LOGIC_API_SLOT( _api_gbalink, SetCompleteCallBack, 1 );
LOGIC_API_SLOT( _api_gbalink, SendData, 2 );
LOGIC_API_SLOT( _api_gbalink, GetData, 3 );
LOGIC_API_SLOT( _api_gbalink, Pad, 4 );
LOGIC_API_TABLE_SIZE( _api_gbalink, LOGIC_API_GBALINK_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
