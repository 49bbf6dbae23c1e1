/*
===============================================================================

	A logic callback attached to an input action: it runs when the action's
	flags meet its trigger mask and its state word meets its configuration's.

	The context keeps the target object's id and its logic module's code
	id, never the object pointer, so an object deleted meanwhile is simply
	not found. The callback receives a record {object, function index} and
	a pointer to one static copy of the action's value.

===============================================================================
*/
#ifndef EF_INPUT_CONTEXT_H
#define EF_INPUT_CONTEXT_H

#include "datatypes/base/DTTypes.h"

struct ActionState;
class EFGameObject;
class EFInputConfig;

// Takes the callback record and the data (EFGameLogicMgr::ExecLogicCallback).
typedef s32 ( *EFInputCallback )( void* record, void* data );

// Module code id of a context without a callback.
constexpr s32 EF_INPUT_NO_CODE = -1;

class EFInputContext {
public:
	EFInputContext();

	// Keeps the object's id, its module's code id, the callback and the
	// function index; -1 when the object is null, has no logic code or
	// its code has no function at that index.
	s32 SetCallback( EFInputCallback callback, EFGameObject* object, s32 function );
	// Runs the callback when the action's flags, the state words, the
	// callback and the target object allow it.
	void Process( ActionState* state );

	s32			   GetID() const { return miID; }
	void		   SetID( s32 id ) { miID = id; }
	u32			   GetTrigger() const { return mui32Trigger; }
	void		   SetTrigger( u32 trigger ) { mui32Trigger = trigger; }
	u32			   GetState() const { return mui32State; }
	void		   SetState( u32 state ) { mui32State = state; }
	EFInputConfig* GetConfig() const { return mpoConfig; }
	void		   SetConfig( EFInputConfig* config ) { mpoConfig = config; }
	u32			   GetTargetID() const { return muiTargetID; }
	s32			   GetCodeID() const { return miCodeID; }

	EFInputContext* GetNext() const { return mpoNext; }
	void			SetNext( EFInputContext* next ) { mpoNext = next; }
	// Unlinked while the input walks its lists; deleted once it is done.
	bool			IsRemoved() const { return mbRemoved != 0; }
	void			MarkRemoved( EFInputContext* nextRemoved );
	EFInputContext* GetNextRemoved() const { return mpoNextRemoved; }

private:
	s32				miID;
	u32				mui32Trigger;
	u32				mui32State;
	EFInputConfig*	mpoConfig;
	EFInputCallback mpfnCallback;
	s32				miFunction;
	u32				muiTargetID;
	s32				miCodeID;
	EFInputContext* mpoNext;
	EFInputContext* mpoNextRemoved;
	u8				mbRemoved;
};

#endif
