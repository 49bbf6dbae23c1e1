/*
===============================================================================

	Demo recorder and player, held by the engine controller and called at
	fixed points of every frame, and by every input action for its new
	value. Placeholder body: it stays idle, so a frame step and an action's
	value pass through unchanged.

===============================================================================
*/
#ifndef EF_DEMO_LOOP_H
#define EF_DEMO_LOOP_H

#include "datatypes/base/DTTypes.h"

struct ActionState;

class EFDemoLoop {
public:
							EFDemoLoop();
							~EFDemoLoop();

	void					StartFrame();
	// A replay replaces *dt by the recorded step.
	void					UpdateDeltaTime( f32* dt );
	void					EndFrame();
	// An input action's new value: a replay substitutes the recorded one,
	// a recording stores it when it changed.
	void UpdateAction( s32* id, ActionState* previous, ActionState* current );

	// 0 while idle.
	u32						GetState() const { return mui32State; }
	// Tests only: puts the loop in a state without a demo behind it.
	void SetStateForTesting( u32 state ) { mui32State = state; }

private:
	u32						mui32State;
};

#endif
