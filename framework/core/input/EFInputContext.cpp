#include "framework/core/input/EFInputContext.h"

#include "framework/core/input/ActionState.h"
#include "framework/core/input/EFInputConfig.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/core/world/EFWorld.h"
#include "framework/logic/EFLogicCallbackRecord.h"
#include "framework/logic/EFLogicCode.h"

namespace {

// The value callbacks receive: one copy shared by every context.
ActionState gCallbackState;

}

EFInputContext::EFInputContext()
	: miID( 0 ), mui32Trigger( 0 ), mui32State( 0xFFFFFFFF ), mpoConfig( nullptr ), mpfnCallback( nullptr ),
	  miFunction( 0 ), muiTargetID( 0 ), miCodeID( EF_INPUT_NO_CODE ), mpoNext( nullptr ), mpoNextRemoved( nullptr ),
	  mbRemoved( 0 ) {
}

s32 EFInputContext::SetCallback( const EFInputCallback callback, EFGameObject* const object, const s32 function ) {
	if ( object == nullptr ) {
		return -1;
	}
	const EFLogicCode* const code = object->moLogicInstance.mpLogicCode;
	if ( code == nullptr || code->GetFunction( static_cast<u32>( function ) ) == nullptr ) {
		return -1;
	}
	mpfnCallback = callback;
	miFunction	 = function;
	muiTargetID	 = object->GetUID();
	miCodeID	 = static_cast<s32>( code->GetID() );
	return 0;
}

void EFInputContext::Process( ActionState* const state ) {
	if ( ( state->flags & mui32Trigger ) == 0 ) {
		return;
	}
	if ( mpoConfig == nullptr || ( mui32State & mpoConfig->GetState() ) == 0 ) {
		return;
	}
	if ( mpfnCallback == nullptr || miCodeID == EF_INPUT_NO_CODE || gpoWorldMgr == nullptr ) {
		return;
	}
	EFGameObject* const object = gpoWorldMgr->GetGameObject( muiTargetID );
	if ( object == nullptr ) {
		return;
	}
	gCallbackState				 = *state;
	EFLogicCallbackRecord record = EFLogicCallbackRecordOf( object, static_cast<u32>( miFunction ) );
	mpfnCallback( &record, &gCallbackState );
}

void EFInputContext::MarkRemoved( EFInputContext* const nextRemoved ) {
	mbRemoved	   = 1;
	mpoNextRemoved = nextRemoved;
}
