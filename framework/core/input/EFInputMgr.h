/*
===============================================================================

	Input mapping (gpoInputMgr): the input configurations that game logic
	defines and the actions they fold from the player devices. Made on
	first use by Create and kept for the whole run.

	Placeholder body: configurations are not built yet, so the frame start,
	the update and the removal of every configuration do no work of their
	own.

===============================================================================
*/
#ifndef EF_INPUT_MGR_H
#define EF_INPUT_MGR_H

#include "datatypes/base/DTTypes.h"

class EFInputMgr {
public:
	// Makes gpoInputMgr unless it exists; returns it (null without memory).
	static EFInputMgr *		Create();

	// Applies the activations requested since the last frame.
	void					StartFrame();
	// Folds the devices' inputs into every active configuration's actions.
	void					Update();
	// Deletes every configuration.
	void					InputConfigRemoveAll();

	bool					IsEnabled() const { return mbEnabled != 0; }

private:
							EFInputMgr();

	void *					mpoConfigs;
	u8						mbEnabled;
};

extern EFInputMgr *			gpoInputMgr;

#endif
