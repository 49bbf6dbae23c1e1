/*
===============================================================================

	Stack of the logic calls that are running (gpoLogicStack), made and
	removed by the engine controller through Create and Destroy.
	Placeholder body: it holds no frames yet.

===============================================================================
*/
#ifndef EF_LOGIC_STACK_H
#define EF_LOGIC_STACK_H

#include "datatypes/DTTypes.h"

class EFLogicStack {
public:
	// Makes the stack and publishes it in gpoLogicStack.
	static EFLogicStack*	Create();
	// Deletes the published stack and clears the pointer.
	static void				Destroy();
};

extern EFLogicStack*	gpoLogicStack;

#endif
