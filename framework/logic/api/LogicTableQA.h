/*
===============================================================================

	Layout of the table `_api_qa` that a module gets from the root table:
	quality-assurance services.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_QA_H
#define LOGIC_TABLE_QA_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_QA_SLOTS		19
#define LOGIC_API_QA_PAD_SLOTS	16

struct _api_qa {
	void							( *AppendToFile )( char * path, char * text );
	void							( *SendToOstrelle )( char * );
	void							( *CloseGame )( void );
	void							( *Pad[LOGIC_API_QA_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_qa, AppendToFile, 0 );
LOGIC_API_SLOT( _api_qa, SendToOstrelle, 1 );
LOGIC_API_SLOT( _api_qa, CloseGame, 2 );
LOGIC_API_SLOT( _api_qa, Pad, 3 );
LOGIC_API_TABLE_SIZE( _api_qa, LOGIC_API_QA_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
