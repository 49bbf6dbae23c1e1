#include "framework/logic/EFLogicStack.h"

#include "datatypes/file/DTFile.h"

#include <new>

EFLogicStack * EFLogicStack::mpLogicStack = nullptr;
EFLogicStack * gpoLogicStack = nullptr;

EFLogicStack::EFLogicStack()
	: mppGameObj(), mppLogicInstance(), mppLogicCode(), meCurGameFlags(), mJmpMark(), miCurStackLevel( 0 ) {
}

EFLogicStack * EFLogicStack::Create() {
	if ( mpLogicStack == nullptr ) {
		mpLogicStack = new ( std::nothrow ) EFLogicStack();
	}
	gpoLogicStack = mpLogicStack;
	return mpLogicStack;
}

void EFLogicStack::Destroy() {
	delete mpLogicStack;
	mpLogicStack = nullptr;
	gpoLogicStack = nullptr;
}

bool EFLogicStack::Push() {
	EFLogicStack * const stack = mpLogicStack;
	if ( stack == nullptr ) {
		DTPrintf( "LOGIC CALL REFUSED: NO LOGIC STACK!!!\n" );
		return false;
	}
	if ( stack->miCurStackLevel >= EF_LOGIC_STACK_MAX_FRAMES ) {
		DTPrintf( "LOGIC CALL REFUSED: CALLS NESTED DEEPER THAN %d!!!\n", EF_LOGIC_STACK_MAX_FRAMES );
		return false;
	}
	stack->miCurStackLevel++;
	return true;
}

void EFLogicStack::Pop() {
	EFLogicStack * const stack = mpLogicStack;
	if ( stack == nullptr ) {
		return;
	}
	stack->miCurStackLevel--;
	if ( stack->miCurStackLevel < 0 ) {
		stack->miCurStackLevel = 0;
		return;
	}
	stack->ClearEntry( stack->miCurStackLevel );
}

s32 EFLogicStack::RunningIndex() {
	const EFLogicStack * const stack = mpLogicStack;
	if ( stack == nullptr || stack->miCurStackLevel <= 0 || stack->miCurStackLevel > EF_LOGIC_STACK_DEPTH ) {
		return -1;
	}
	return stack->miCurStackLevel - 1;
}

EFGameObject * EFLogicStack::GetRunningGameObject() {
	const s32 index = RunningIndex();
	return index >= 0 ? mpLogicStack->mppGameObj[index] : nullptr;
}

EFLogicInstance * EFLogicStack::GetRunningInstance() {
	const s32 index = RunningIndex();
	return index >= 0 ? mpLogicStack->mppLogicInstance[index] : nullptr;
}

EFLogicCode * EFLogicStack::GetRunningCode() {
	const s32 index = RunningIndex();
	return index >= 0 ? mpLogicStack->mppLogicCode[index] : nullptr;
}

ObjectFlags_e EFLogicStack::GetRunningKind() {
	const s32 index = RunningIndex();
	return index >= 0 ? mpLogicStack->meCurGameFlags[index] : FLAG_STATE_NO_STATE;
}

void EFLogicStack::SetCurrentGameObject( EFGameObject * object ) {
	EFLogicStack * const stack = mpLogicStack;
	if ( stack == nullptr || stack->miCurStackLevel < 0 || stack->miCurStackLevel >= EF_LOGIC_STACK_DEPTH ) {
		return;
	}
	stack->mppGameObj[stack->miCurStackLevel] = object;
}

void EFLogicStack::ClearCurrentEntry() {
	EFLogicStack * const stack = mpLogicStack;
	if ( stack == nullptr || stack->miCurStackLevel < 0 || stack->miCurStackLevel >= EF_LOGIC_STACK_DEPTH ) {
		return;
	}
	stack->ClearEntry( stack->miCurStackLevel );
}

s32 EFLogicStack::GetLevel() {
	return mpLogicStack != nullptr ? mpLogicStack->miCurStackLevel : 0;
}

void EFLogicStack::ClearEntry( const s32 index ) {
	mppGameObj[index] = nullptr;
	mppLogicInstance[index] = nullptr;
	mppLogicCode[index] = nullptr;
	meCurGameFlags[index] = FLAG_STATE_NO_STATE;
}
