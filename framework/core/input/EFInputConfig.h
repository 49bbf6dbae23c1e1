/*
===============================================================================

	An input configuration: a set of input actions that logic switches on
	and off as a whole, with a state word that its contexts must meet.

	Switching takes effect at the next frame start. A configuration that
	comes on first reads its actions' inputs without firing anything, so
	an input already held gives no press edge.

	While the input manager walks its lists, an action removed by logic is
	unlinked at once and deleted when the walk is over (see EFInputMgr).

===============================================================================
*/
#ifndef EF_INPUT_CONFIG_H
#define EF_INPUT_CONFIG_H

#include "datatypes/base/DTTypes.h"

class EFInputAction;

// Activity bits.
constexpr u32 EF_INPUT_CONFIG_ACTIVE	 = 0x1;
constexpr u32 EF_INPUT_CONFIG_CHANGING	 = 0x2;
constexpr u32 EF_INPUT_CONFIG_ACTIVATING = 0x4;

class EFInputConfig {
public:
	explicit EFInputConfig( s32 id );
	// Deletes the actions.
	~EFInputConfig();
	EFInputConfig( const EFInputConfig& )			 = delete;
	EFInputConfig& operator=( const EFInputConfig& ) = delete;

	// Every action in list order, skipping those removed meanwhile.
	void Update();
	// Asks for a change at the next frame start; switching off clears the
	// active bit at once.
	void SetActive( bool on );
	// Applies a requested change; an activation reads every action's
	// inputs without edges or callbacks.
	void UpdateActiveFlag();

	// A new action at the head of the list (no check for an existing id);
	// null without memory.
	EFInputAction* InputActionAdd( s32 id );
	// 1 when an action of that id was removed, 0 otherwise.
	u32	 InputActionRemove( s32 id );
	void InputActionRemoveAll();
	// The newest action of that id, null when none.
	EFInputAction* InputActionGet( s32 id ) const;

	s32	 GetID() const { return miID; }
	u32	 GetState() const { return mui32State; }
	void SetState( u32 state ) { mui32State = state; }
	u32	 GetActivity() const { return mui32Activity; }
	bool IsActive() const { return ( mui32Activity & EF_INPUT_CONFIG_ACTIVE ) != 0; }

	EFInputConfig* GetNext() const { return mpoNext; }
	void		   SetNext( EFInputConfig* next ) { mpoNext = next; }
	// Unlinked while the input walks its lists; deleted once it is done.
	// Its actions are marked too, so the walk stops calling them.
	bool		   IsRemoved() const { return mbRemoved != 0; }
	void		   MarkRemoved( EFInputConfig* nextRemoved );
	EFInputConfig* GetNextRemoved() const { return mpoNextRemoved; }

private:
	u32			   mui32State;
	u32			   mui32Activity;
	s32			   miID;
	EFInputConfig* mpoNext;
	EFInputAction* mpoActions;
	EFInputConfig* mpoNextRemoved;
	u8			   mbRemoved;
};

#endif
