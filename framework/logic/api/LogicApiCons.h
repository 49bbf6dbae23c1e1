/*
===============================================================================

	The root table APIcons that every module's constructor receives.

	Its slots hold their not-initialised stubs from constant
	initialisation; Init_cons, run once by the game logic manager's
	constructor, fills the slots that register a module's functions, its
	shared and per-instance data, its first state and its message
	function, and the one that reads a registered function back. Those
	slots act on the running frame of the logic stack (its module, its
	instance and the kind of its call); with no frame they do nothing or
	return null. Every other slot still holds its stub, which returns
	zero.

===============================================================================
*/
#ifndef LOGIC_API_CONS_H
#define LOGIC_API_CONS_H

#include "framework/logic/api/LogicModuleAPI.h"

// The root table's not-initialised stub; its first call sets its flag.
void					ApiConsNotInit();
// Whether ApiConsNotInit has ever run.
bool					ApiConsNotInitDone();

// The root table as it is before Init_cons: every slot its stub.
extern const _api_cons	APIconsStubs;

// Fills APIcons (and, as they come, the other tables).
void					Init_cons();
// End of a level's logic; nothing to stop on this platform yet.
void					Stop_cons();

#endif
