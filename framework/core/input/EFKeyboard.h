/*
===============================================================================

	Keyboard buffer of the player-device manager. The console has no
	keyboard: the buffer only keeps its two indices, which Flush (and the
	constructor) set to 0.

===============================================================================
*/
#ifndef EF_KEYBOARD_H
#define EF_KEYBOARD_H

#include "datatypes/base/DTTypes.h"

class EFKeyboard {
public:
							EFKeyboard();

	void					Flush();

	u16						GetReadIndex() const { return mui16ReadIndex; }
	u16						GetWriteIndex() const { return mui16WriteIndex; }

private:
	u16						mui16ReadIndex;
	u16						mui16WriteIndex;
};

#endif
