/*
===============================================================================

	Input mapping (gpoInputMgr): the input configurations that game logic
	defines and the actions they fold from the player devices. Made on
	first use by Create; the player-device manager that made it deletes it.

	The player-device manager calls StartFrame before the devices are read
	and Update right after. The first five updates only count, a warm-up
	after start-up.

	Logic runs inside Update (context callbacks) and may remove records
	the walk stands on. While Update runs, a removed configuration, action
	or context is unlinked at once, so lookups no longer find it, and
	deleted when Update returns; additions go to the list heads and are
	not visited before the next frame.

===============================================================================
*/
#ifndef EF_INPUT_MGR_H
#define EF_INPUT_MGR_H

#include "datatypes/base/DTTypes.h"

class EFInputAction;
class EFInputConfig;
class EFInputContext;

// Updates that only count after start-up.
constexpr u32 EF_INPUT_WARM_UP_FRAMES = 5;

class EFInputMgr {
public:
	// Makes gpoInputMgr unless it exists; returns it (null without memory).
	static EFInputMgr *		Create();
	// Deletes every configuration.
	~EFInputMgr();
	EFInputMgr( const EFInputMgr& )			   = delete;
	EFInputMgr& operator=( const EFInputMgr& ) = delete;

	// Applies the activations requested since the last frame.
	void					StartFrame();
	// Folds the devices' inputs into every active configuration's actions.
	void					Update();

	// A new configuration at the head of the list (no check for an
	// existing id); null without memory.
	EFInputConfig* InputConfigAdd( s32 id );
	// Removes the newest configuration of that id.
	void					InputConfigRemove( s32 id );
	void					InputConfigRemoveAll();
	// Lookups find the newest record of an id; null when none.
	EFInputConfig*	InputConfigGet( s32 id ) const;
	EFInputAction*	InputActionGet( s32 config, s32 action ) const;
	EFInputContext* InputContextGet( s32 config, s32 action, s32 context ) const;

	bool					IsEnabled() const { return mbEnabled != 0; }
	// True while Update walks the configurations.
	bool IsWalking() const { return mui32WalkDepth != 0; }

	// Delete an unlinked record, or keep it for the end of Update while
	// the walk may stand on it.
	static void DiscardConfig( EFInputConfig* config );
	static void DiscardAction( EFInputAction* action );
	static void DiscardContext( EFInputContext* context );

private:
							EFInputMgr();

							// Deletes the records removed during Update.
							void DeleteRemoved();

							EFInputConfig*	mpoConfigs;
							u8				mbEnabled;
							u32				mui32WarmUp;
							u32				mui32WalkDepth;
							EFInputConfig*	mpoRemovedConfigs;
							EFInputAction*	mpoRemovedActions;
							EFInputContext* mpoRemovedContexts;
};

extern EFInputMgr *			gpoInputMgr;

#endif
