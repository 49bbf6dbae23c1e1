/*
===============================================================================

	Stack of the logic calls that are running (gpoLogicStack), made and
	removed by the engine controller through Create and Destroy.

	Whoever starts a logic call first writes its game object into
	mppGameObj[miCurStackLevel]; the running call's frame is the entry
	below miCurStackLevel. Only the object entries and the level exist so
	far.

===============================================================================
*/
#ifndef EF_LOGIC_STACK_H
#define EF_LOGIC_STACK_H

#include "datatypes/DTTypes.h"

class EFGameObject;

// Frames of the stack.
constexpr s32 EF_LOGIC_STACK_DEPTH = 10;

class EFLogicStack {
public:
							EFLogicStack();

	// Makes the stack and publishes it in gpoLogicStack.
	static EFLogicStack*	Create();
	// Deletes the published stack and clears the pointer.
	static void				Destroy();

	EFGameObject*			mppGameObj[EF_LOGIC_STACK_DEPTH];
	s32						miCurStackLevel;
};

extern EFLogicStack*	gpoLogicStack;

#endif
