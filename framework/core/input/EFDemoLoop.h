/*
===============================================================================

	Demo recorder and player, held by the engine controller and called at
	fixed points of every frame. Placeholder body: it stays idle, so a frame
	step passes through unchanged.

===============================================================================
*/
#ifndef EF_DEMO_LOOP_H
#define EF_DEMO_LOOP_H

#include "datatypes/base/DTTypes.h"

class EFDemoLoop {
public:
							EFDemoLoop();
							~EFDemoLoop();

	void					StartFrame();
	// A replay replaces *dt by the recorded step.
	void					UpdateDeltaTime( f32* dt );
	void					EndFrame();

	// 0 while idle.
	u32						GetState() const { return mui32State; }

private:
	u32						mui32State;
};

#endif
