/*
===============================================================================

	One named input action: up to five slots of bindings folded every frame
	into one ActionState, the previous frame's value, and the logic
	callbacks (contexts) that its flags fire.

	The current value lives inside the action for its whole life: behaviour
	modules keep a pointer to it. Bindings and contexts are pushed at the
	head of their lists; deleting the action deletes them.

	While the input manager walks its lists, a context removed by logic is
	unlinked at once and deleted when the walk is over (see EFInputMgr).

===============================================================================
*/
#ifndef EF_INPUT_ACTION_H
#define EF_INPUT_ACTION_H

#include "datatypes/base/DTTypes.h"
#include "framework/core/input/ActionState.h"
#include "framework/core/input/EFInputContext.h"
#include "framework/core/input/EFInputDevice.h"

class EFGameObject;
class EFInputConfig;

// Dead zone of the analog-active flag, and the threshold of a flick.
constexpr f32 EF_ACTION_DEAD_ZONE	= 0.001f;
constexpr f32 EF_ACTION_FLICK_LEVEL = 0.8f;

class EFInputAction {
public:
	explicit EFInputAction( s32 id );
	// Deletes the contexts and the bindings.
	~EFInputAction();
	EFInputAction( const EFInputAction& )			 = delete;
	EFInputAction& operator=( const EFInputAction& ) = delete;

	// Both values to zero.
	void Reset();
	// The frame's new value (devices or demo replay), then the contexts.
	void Update();
	// Folds every slot's bindings into the current value.
	void UpdateActionState();
	// Picks x and y across the slots and gathers the slots' flags.
	void ProcessDevice();
	// Press and release edges, the analog flags and the flicks.
	void ProcessContext();
	// Sets the flick of an axis (0 x, 1 y) that crossed the threshold this
	// frame and dominates the other axis; the later call replaces the
	// earlier one's flick.
	void AddAnalogToogle( s32 axis, u32 positive, u32 negative );

	// A new binding at the head of the slot's list; null when the slot is
	// outside 0 to 4 or the device cannot be acquired.
	EFInputDevice* InputDeviceAdd( s32 bindingId, s32 deviceId, s32 slot, s32 kind, s32 percent, s32 input );
	// Does nothing: bindings are only removed all together.
	void InputDeviceRemove( s32 bindingId );
	void InputDeviceRemoveAll();

	// A new context at the head of the list; 1, or 0 when SetCallback
	// refuses the object or the function.
	u32 InputContextAdd( EFInputConfig* config, s32 id, u32 trigger, EFInputCallback callback,
						 EFGameObject* object, s32 function );
	// 1 when a context of that id was removed, 0 otherwise.
	u32	 InputContextRemove( s32 id );
	void InputContextRemoveAll();
	// The newest context of that id, null when none.
	EFInputContext* InputContextGet( s32 id ) const;
	// The context added last, null when none.
	EFInputContext* GetFirstContext() const { return mpoContexts; }

	s32				   GetID() const { return miID; }
	ActionState&	   GetState() { return moCurrent; }
	const ActionState& GetState() const { return moCurrent; }
	const ActionState& GetPreviousState() const { return moPrevious; }
	EFInputDevice*	   GetSlot( s32 slot ) const;

	EFInputAction* GetNext() const { return mpoNext; }
	void		   SetNext( EFInputAction* next ) { mpoNext = next; }
	// Unlinked while the input walks its lists; deleted once it is done.
	bool		   IsRemoved() const { return mbRemoved != 0; }
	void		   MarkRemoved( EFInputAction* nextRemoved );
	EFInputAction* GetNextRemoved() const { return mpoNextRemoved; }

private:
	ActionState		moCurrent;
	ActionState		moPrevious;
	s32				miID;
	EFInputContext* mpoContexts;
	EFInputDevice*	mpoSlots[EF_INPUT_SLOT_COUNT];
	EFInputAction*	mpoNext;
	// Each slot's folded value of the last UpdateActionState.
	ActionState	   moSlotStates[EF_INPUT_SLOT_COUNT];
	EFInputAction* mpoNextRemoved;
	u8			   mbRemoved;
};

#endif
