/*
===============================================================================

	What engine code registers on behalf of logic when it wants a logic
	function run later (notifications, input contexts, the end of a demo,
	behaviour modules): the game object, the index of the function in its
	module's table, and the object's id. The record goes with
	EFGameLogicMgr::ExecLogicCallback as the caller data of a callback
	taking (record, data); the notification manager frees the records it
	holds with operator delete, so they are made with plain new.

	A record can outlive its object (a registration keyed on another
	object, a level restart). The id lets ExecLogicCallback check that the
	object of that id is still the one recorded before anything is run, so
	the pointer of a dead object is never followed. Every record is made
	by the two functions below, which fill all three fields.

===============================================================================
*/
#ifndef EF_LOGIC_CALLBACK_RECORD_H
#define EF_LOGIC_CALLBACK_RECORD_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

struct EFLogicCallbackRecord {
	EFGameObject *			mpoGameObject;
	u32						muiFunction;
	// The object's own id when the record was made.
	u32						muiObjectId;
};

// A record of the object's function (a null object records id 0).
EFLogicCallbackRecord		EFLogicCallbackRecordOf( EFGameObject * object, u32 function );

// The same, allocated with plain new for a holder that frees it with
// operator delete (the notification manager).
EFLogicCallbackRecord *		EFNewLogicCallbackRecord( EFGameObject * object, u32 function );

#endif
