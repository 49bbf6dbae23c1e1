/*
===============================================================================

	What engine code registers on behalf of logic when it wants a logic
	function run later (notifications, input contexts, the end of a demo,
	behaviour modules): the game object and the index of the function in
	its module's table. The record goes with EFGameLogicMgr::
	ExecLogicCallback as the caller data of a callback taking (record,
	data); the notification manager frees the records it holds with
	operator delete, so they are made with plain new.

===============================================================================
*/
#ifndef EF_LOGIC_CALLBACK_RECORD_H
#define EF_LOGIC_CALLBACK_RECORD_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

struct EFLogicCallbackRecord {
	EFGameObject *			mpoGameObject;
	u32						muiFunction;
};

#endif
