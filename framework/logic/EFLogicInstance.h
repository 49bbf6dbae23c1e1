/*
===============================================================================

	The runner of one game object's logic module: its module, local data,
	sleep time, current state, message function and flags.

	Only the fields and the calls the game object and the world make
	exist so far; Destructor does no work yet and SendMessage calls the
	message function without the logic stack (both are recorded in the
	call trace).

===============================================================================
*/
#ifndef EF_LOGIC_INSTANCE_H
#define EF_LOGIC_INSTANCE_H

#include "datatypes/DTStreamable.h"

class EFLogicCode;

// muiFlags.
constexpr u32 EF_LOGIC_NO_CODE		= 0x1;
constexpr u32 EF_LOGIC_PAUSED		= 0x2;
constexpr u32 EF_LOGIC_CLIPPED		= 0x4;
constexpr u32 EF_LOGIC_CONSTRUCTED	= 0x8;

// No current state.
constexpr u32 EF_LOGIC_NO_STATE		= 0xFFFFFFFF;

typedef s32 ( *EFLogicMessageFn )( u32 message, u32 parameter, void * data );

class EFLogicInstance : public DTStreamable {
public:
							EFLogicInstance();
	virtual					~EFLogicInstance();

	// Runs the module's destructor entry.
	void					Destructor();
	// The message function's result.
	s32						SendMessage( u32 message, u32 parameter, void * data );

	EFLogicCode *			mpLogicCode;
	void *					mpLocalData;
	void *					mpLocalMemory;
	s32						muiLocalDataSize;
	f32						mfSleepTimeLeft;
	u32						muiCurrentState;
	EFLogicMessageFn		mpfnLogicMessage;
	u32						muiFlags;
};

#endif
