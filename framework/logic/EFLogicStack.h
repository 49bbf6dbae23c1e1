/*
===============================================================================

	Stack of the logic calls that are running (mpLogicStack, also
	gpoLogicStack), made and removed by the engine controller through
	Create and Destroy.

	Frame i is entry i of the four arrays and of the jump buffers. The
	frame of the call that is running is entry miCurStackLevel - 1; the
	entry at miCurStackLevel is where whoever starts a logic call first
	writes its game object (SetCurrentGameObject), before the instance
	pushes the rest of that entry.

	The level stays within 0 to 9: at most nine frames are ever pushed,
	so every running call owns its jump buffer and its entry. A push on
	top of nine frames is refused (false, with a debug message) and the
	call it was made for runs nothing.

	The jump buffers save no signal mask, so a protected call costs no
	system call.

===============================================================================
*/
#ifndef EF_LOGIC_STACK_H
#define EF_LOGIC_STACK_H

#include "datatypes/base/DTTypes.h"

#include <csetjmp>

class EFGameObject;
class EFLogicCode;
class EFLogicInstance;

// The kind of a running logic call.
enum ObjectFlags_e {
	FLAG_STATE_NO_STATE		= 0,
	FLAG_STATE_EXE			= 1,
	FLAG_CALLBACK_EXE		= 2,
	FLAG_CONSTRUCTOR_EXE	= 4,
	FLAG_DESTRUCTOR_EXE		= 8,
	FLAG_SENDMESSAGE_EXE	= 16,
	FLAG_RELOADING_EXE		= 128
};

// Entries of the stack.
constexpr s32 EF_LOGIC_STACK_DEPTH		= 10;
// Frames that may be pushed: one entry less, the one callers fill last.
constexpr s32 EF_LOGIC_STACK_MAX_FRAMES	= EF_LOGIC_STACK_DEPTH - 1;

class EFLogicStack {
public:
							EFLogicStack();

	// Makes the stack (zeroed, level 0) unless there is one; returns it.
	static EFLogicStack *	Create();
	// Deletes the stack and clears both pointers.
	static void				Destroy();

	// Level + 1; false, with nothing changed, when nine frames are pushed
	// already or there is no stack.
	static bool				Push();
	// Level - 1, then clears the entry at the new level; never below 0.
	static void				Pop();

	// --- The running frame (entry miCurStackLevel - 1); null at level 0 ---

	static EFGameObject *	GetRunningGameObject();
	static EFLogicInstance *	GetRunningInstance();
	static EFLogicCode *	GetRunningCode();
	// FLAG_STATE_NO_STATE at level 0.
	static ObjectFlags_e	GetRunningKind();

	// --- The entry at the current level ---

	// Writes the game object of the call about to start.
	static void				SetCurrentGameObject( EFGameObject * object );
	// Clears object, instance, code and kind.
	static void				ClearCurrentEntry();

	static s32				GetLevel();

	EFGameObject *			mppGameObj[EF_LOGIC_STACK_DEPTH];
	EFLogicInstance *		mppLogicInstance[EF_LOGIC_STACK_DEPTH];
	EFLogicCode *			mppLogicCode[EF_LOGIC_STACK_DEPTH];
	ObjectFlags_e			meCurGameFlags[EF_LOGIC_STACK_DEPTH];
	sigjmp_buf				mJmpMark[EF_LOGIC_STACK_DEPTH];
	s32						miCurStackLevel;

	static EFLogicStack *	mpLogicStack;

private:
	// The running frame's index, or -1.
	static s32				RunningIndex();
	void					ClearEntry( s32 index );
};

extern EFLogicStack *	gpoLogicStack;

#endif
