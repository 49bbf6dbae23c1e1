/*
===============================================================================

	The runner of one game object's logic module: its module, its local
	data, its sleep time, its current state, its message function and its
	flags.

	Each frame Run constructs the instance on its first frame, and from
	the next frame on calls the current state function unless the
	instance sleeps, is paused, clipped or has no code. Messages and
	callbacks reach it at any time, whether it sleeps or not.

	Every call into the module runs under a frame of the logic stack and
	its jump buffer: ChangeState and Break leave the running call at any
	depth by jumping back to the engine, which pops the frame and takes
	the call's result as 0. Before a call the instance writes its own
	local block into the module's registered local-data variables, and
	after a nested call the caller's block is written back.

	Local data sizes are bounded by the block really held: a smaller
	request keeps the block and its recorded size.

===============================================================================
*/
#ifndef EF_LOGIC_INSTANCE_H
#define EF_LOGIC_INSTANCE_H

#include "datatypes/streamable/DTStreamable.h"
#include "framework/logic/EFLogicStack.h"
#include "framework/logic/api/LogicModuleAPI.h"

class EFLogicCode;

// muiFlags.
constexpr u32 EF_LOGIC_NO_CODE		= 0x1;
constexpr u32 EF_LOGIC_PAUSED		= 0x2;
constexpr u32 EF_LOGIC_CLIPPED		= 0x4;
constexpr u32 EF_LOGIC_CONSTRUCTED	= 0x8;

// No current state.
constexpr u32 EF_LOGIC_NO_STATE		= 0xFFFFFFFF;
// Sleeps until another call stores a new sleep time.
constexpr f32 EF_LOGIC_SLEEP_FOREVER	= -1.0f;

typedef LogicMessageFunction EFLogicMessageFn;

class EFLogicInstance : public DTStreamable {
public:
							EFLogicInstance();
	// Frees the local block.
	virtual					~EFLogicInstance();

	// The frame step: constructs, or runs the current state once.
	void					Run( f32 dt );
	// Calls the module's constructor entry with the root table.
	void					Constructor();
	// Calls the module's destructor entry, once per construction.
	void					Destructor();

	// The message function's result; 0 without code, without a message
	// function, when refused or when left by a jump.
	s32						SendMessage( u32 message, u32 parameter, void * data );
	// Function index of the module called with data; 0 as SendMessage.
	s32						CallCB( u32 index, void * data );

	// Stores the state and leaves the running call. Without a running
	// call nothing happens.
	void					ChangeState( u32 state );
	// Leaves the running call. Without a running call nothing happens.
	void					Break();

	void					SetNextState( u32 state ) { muiCurrentState = state; }
	void					SetMessageFunc( EFLogicMessageFn function ) { mpfnLogicMessage = function; }
	void					Sleep( f32 seconds ) { mfSleepTimeLeft = seconds; }

	// Grows the local block to size bytes (new bytes zeroed), registers
	// variable with the module and points the registered variables at
	// the block. Sizes of 0 or below only register. reload changes
	// nothing.
	void					InitLocalData( void ** variable, s32 size, s32 reload );

	// Writes the local block into the module's registered variables.
	void					SetCurrent();
	// Pushes a frame of kind for this instance; false when refused, the
	// entry at the current level then being cleared.
	bool					PushLogic( ObjectFlags_e kind );
	// Pops; the frame now on top gets its local data back.
	static void				PopLogic();
	// Whether the state runs this frame; counts the sleep down.
	bool					PreRun( f32 dt );
	void					PostRun() {}
	void					LogicWarning( s32 ) {}

	EFLogicCode *			mpLogicCode;
	void *					mpLocalData;
	void *					mpLocalMemory;
	s32						muiLocalDataSize;
	f32						mfSleepTimeLeft;
	u32						muiCurrentState;
	EFLogicMessageFn		mpfnLogicMessage;
	u32						muiFlags;

	// Index of the callback last called.
	static u32				muiCurrentCallBack;
};

#endif
