#include "framework/logic/EFLogicInstance.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/logic/EFLogicCode.h"

#include <cstring>

u32 EFLogicInstance::muiCurrentCallBack = 0;

namespace {

// The value a jump out of module code carries.
constexpr s32 LEAVE_CALL = -1;

enum PendingKind {
	PENDING_CONSTRUCTOR,
	PENDING_DESTRUCTOR,
	PENDING_FUNCTION,
	PENDING_MESSAGE
};

// One call into a module with its arguments.
struct PendingCall {
	PendingKind				kind;
	LogicConstructorFn		constructor;
	LogicDestructorFn		destructor;
	LogicFunction			function;
	LogicMessageFunction	message;
	s32						count;
	u32						messageId;
	u32						parameter;
	void *					data;
};

// The call about to be made. It lives in static storage so that nothing
// of it sits in the frame a jump lands in; a nested call overwrites it
// only after the outer call has read it.
PendingCall gPending;

s32 InvokePending() {
	const PendingCall call = gPending;
	switch ( call.kind ) {
	case PENDING_CONSTRUCTOR:
		call.constructor( &APIcons, call.count );
		return 0;
	case PENDING_DESTRUCTOR:
		call.destructor( call.count );
		return 0;
	case PENDING_FUNCTION:
		return call.function( call.data );
	case PENDING_MESSAGE:
		return call.message( call.messageId, call.parameter, call.data );
	}
	return 0;
}

// Makes gPending's call on the top frame's jump buffer; 0 when the call
// is left by a jump. Nothing here may own an object with a destructor:
// a jump skips it.
s32 CallProtected() {
	EFLogicStack * const stack = EFLogicStack::mpLogicStack;
	if ( sigsetjmp( stack->mJmpMark[stack->miCurStackLevel - 1], 0 ) != 0 ) {
		return 0;
	}
	return InvokePending();
}

// True while a logic call runs; otherwise says what was ignored.
bool HaveRunningCall( const char * what ) {
	if ( EFLogicStack::mpLogicStack == nullptr || EFLogicStack::GetLevel() <= 0 ) {
		DTPrintf( "%s WITHOUT A RUNNING LOGIC CALL IGNORED!!!\n", what );
		return false;
	}
	return true;
}

// Jumps back to the engine at the running call's frame.
[[noreturn]] void LeaveRunningCall() {
	EFLogicStack * const stack = EFLogicStack::mpLogicStack;
	siglongjmp( stack->mJmpMark[stack->miCurStackLevel - 1], LEAVE_CALL );
}

}

EFLogicInstance::EFLogicInstance()
	: mpLogicCode( nullptr ), mpLocalData( nullptr ), mpLocalMemory( nullptr ), muiLocalDataSize( 0 ),
	  mfSleepTimeLeft( 0.0f ), muiCurrentState( EF_LOGIC_NO_STATE ), mpfnLogicMessage( nullptr ), muiFlags( 0 ) {
}

EFLogicInstance::~EFLogicInstance() {
	MMFree( mpLocalMemory );
	mpLocalMemory = nullptr;
	mpLocalData = nullptr;
}

// --- Frames ---

void EFLogicInstance::SetCurrent() {
	if ( mpLocalData == nullptr || mpLogicCode == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < EF_LOGIC_DATA_SLOTS; i++ ) {
		void ** const variable = mpLogicCode->GetLocalDataPos( static_cast<s32>( i ) );
		if ( variable == nullptr ) {
			break;
		}
		*variable = mpLocalData;
	}
}

bool EFLogicInstance::PushLogic( const ObjectFlags_e kind ) {
	EFLogicStack * const stack = EFLogicStack::mpLogicStack;
	if ( stack == nullptr ) {
		DTPrintf( "LOGIC CALL REFUSED: NO LOGIC STACK!!!\n" );
		return false;
	}
	const s32 level = stack->miCurStackLevel;
	if ( level >= EF_LOGIC_STACK_MAX_FRAMES ) {
		EFLogicStack::Push();
		EFLogicStack::ClearCurrentEntry();
		return false;
	}
	stack->mppLogicInstance[level] = this;
	stack->mppLogicCode[level] = mpLogicCode;
	stack->meCurGameFlags[level] = kind;
	EFLogicStack::Push();
	SetCurrent();
	return true;
}

void EFLogicInstance::PopLogic() {
	EFLogicStack::Pop();
	EFLogicInstance * const caller = EFLogicStack::GetRunningInstance();
	if ( caller != nullptr ) {
		caller->SetCurrent();
	}
}

// --- Entries ---

void EFLogicInstance::Constructor() {
	muiFlags &= ~EF_LOGIC_NO_CODE;
	muiFlags |= EF_LOGIC_CONSTRUCTED;
	if ( mpLogicCode == nullptr ) {
		muiFlags |= EF_LOGIC_NO_CODE;
		EFLogicStack::ClearCurrentEntry();
		return;
	}
	if ( !PushLogic( FLAG_CONSTRUCTOR_EXE ) ) {
		// Not constructed: the first Run tries again.
		muiFlags &= ~EF_LOGIC_CONSTRUCTED;
		return;
	}
	mpLogicCode->AddRef();
	mpLogicCode->PreConstructor();
	const LogicConstructorFn entry = mpLogicCode->GetConstructor();
	if ( entry != nullptr ) {
		gPending = PendingCall{};
		gPending.kind = PENDING_CONSTRUCTOR;
		gPending.constructor = entry;
		gPending.count = static_cast<s32>( mpLogicCode->GetRefCount() );
		CallProtected();
	}
	PopLogic();
}

void EFLogicInstance::Destructor() {
	// Only a construction is undone: the module's count stays true for
	// objects that end before their first frame.
	if ( mpLogicCode == nullptr || ( muiFlags & EF_LOGIC_CONSTRUCTED ) == 0 ) {
		EFLogicStack::ClearCurrentEntry();
		return;
	}
	if ( !PushLogic( FLAG_DESTRUCTOR_EXE ) ) {
		return;
	}
	mpLogicCode->ReleaseRef();
	muiFlags &= ~EF_LOGIC_CONSTRUCTED;
	const LogicDestructorFn entry = mpLogicCode->GetDestructor();
	if ( entry != nullptr ) {
		gPending = PendingCall{};
		gPending.kind = PENDING_DESTRUCTOR;
		gPending.destructor = entry;
		gPending.count = static_cast<s32>( mpLogicCode->GetRefCount() );
		CallProtected();
	}
	PopLogic();
}

// --- Frame step ---

bool EFLogicInstance::PreRun( const f32 dt ) {
	if ( mfSleepTimeLeft == EF_LOGIC_SLEEP_FOREVER ) {
		return false;
	}
	if ( mfSleepTimeLeft > 0.0f ) {
		mfSleepTimeLeft -= dt;
		if ( mfSleepTimeLeft > 0.0f ) {
			return false;
		}
	}
	// What is left of a sleep is dropped: the state runs this frame.
	mfSleepTimeLeft = 0.0f;
	return true;
}

void EFLogicInstance::Run( const f32 dt ) {
	if ( ( muiFlags & EF_LOGIC_CONSTRUCTED ) == 0 ) {
		Constructor();
		// Library modules never run states.
		if ( mpLogicCode != nullptr && mpLogicCode->GetRegisterLib() != nullptr ) {
			muiFlags |= EF_LOGIC_PAUSED;
		}
		return;
	}
	if ( ( muiFlags & ( EF_LOGIC_NO_CODE | EF_LOGIC_PAUSED | EF_LOGIC_CLIPPED ) ) != 0 || !PreRun( dt ) ||
		 muiCurrentState == EF_LOGIC_NO_STATE ) {
		EFLogicStack::ClearCurrentEntry();
		return;
	}
	if ( !PushLogic( FLAG_STATE_EXE ) ) {
		return;
	}
	const LogicFunction state = mpLogicCode != nullptr ? mpLogicCode->GetFunction( muiCurrentState ) : nullptr;
	if ( state != nullptr ) {
		gPending = PendingCall{};
		gPending.kind = PENDING_FUNCTION;
		gPending.function = state;
		CallProtected();
	}
	PopLogic();
	PostRun();
}

// --- Messages and callbacks ---

s32 EFLogicInstance::SendMessage( const u32 message, const u32 parameter, void * data ) {
	if ( ( muiFlags & EF_LOGIC_NO_CODE ) != 0 ) {
		EFLogicStack::ClearCurrentEntry();
		return 0;
	}
	if ( !PushLogic( FLAG_SENDMESSAGE_EXE ) ) {
		return 0;
	}
	s32 result = 0;
	if ( mpfnLogicMessage != nullptr ) {
		gPending = PendingCall{};
		gPending.kind = PENDING_MESSAGE;
		gPending.message = mpfnLogicMessage;
		gPending.messageId = message;
		gPending.parameter = parameter;
		gPending.data = data;
		result = CallProtected();
	}
	PopLogic();
	return result;
}

s32 EFLogicInstance::CallCB( const u32 index, void * data ) {
	if ( ( muiFlags & EF_LOGIC_NO_CODE ) != 0 ) {
		EFLogicStack::ClearCurrentEntry();
		return 0;
	}
	muiCurrentCallBack = index;
	if ( !PushLogic( FLAG_CALLBACK_EXE ) ) {
		return 0;
	}
	s32 result = 0;
	const LogicFunction callback = mpLogicCode != nullptr ? mpLogicCode->GetFunction( index ) : nullptr;
	if ( callback != nullptr ) {
		gPending = PendingCall{};
		gPending.kind = PENDING_FUNCTION;
		gPending.function = callback;
		gPending.data = data;
		result = CallProtected();
	}
	PopLogic();
	return result;
}

// --- Leaving a call ---

void EFLogicInstance::ChangeState( const u32 state ) {
	if ( !HaveRunningCall( "ChangeState" ) ) {
		return;
	}
	muiCurrentState = state;
	LeaveRunningCall();
}

void EFLogicInstance::Break() {
	if ( !HaveRunningCall( "Break" ) ) {
		return;
	}
	LeaveRunningCall();
}

// --- Local data ---

void EFLogicInstance::InitLocalData( void ** variable, const s32 size, const s32 ) {
	if ( size > 0 ) {
		const u32 bytes = static_cast<u32>( size );
		const u32 held = mpLocalMemory != nullptr ? static_cast<u32>( muiLocalDataSize ) : 0;
		if ( mpLocalMemory == nullptr ) {
			void * const block = MMMalloc( bytes );
			if ( block == nullptr ) {
				DTPrintf( "GetLocalData: no memory for %u bytes!!!\n", bytes );
				return;
			}
			std::memset( block, 0, bytes );
			mpLocalMemory = block;
			mpLocalData = block;
			muiLocalDataSize = size;
		} else if ( bytes > held ) {
			void * const block = MMRealloc( mpLocalMemory, bytes );
			if ( block == nullptr ) {
				DTPrintf( "GetLocalData: no memory for %u bytes!!!\n", bytes );
				return;
			}
			std::memset( static_cast<u8 *>( block ) + held, 0, bytes - held );
			mpLocalMemory = block;
			mpLocalData = block;
			muiLocalDataSize = size;
		}
		// A smaller request keeps the block and its size, so a later
		// larger one never clears bytes written in between.
	}
	if ( mpLogicCode != nullptr ) {
		mpLogicCode->SetLocalDataPos( variable );
	}
	SetCurrent();
}
