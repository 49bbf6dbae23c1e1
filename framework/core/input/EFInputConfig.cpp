#include "framework/core/input/EFInputConfig.h"

#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputMgr.h"

#include <new>

EFInputConfig::EFInputConfig( const s32 id )
	: mui32State( 0xFFFFFFFF ), mui32Activity( EF_INPUT_CONFIG_ACTIVE ), miID( id ), mpoNext( nullptr ),
	  mpoActions( nullptr ), mpoNextRemoved( nullptr ), mbRemoved( 0 ) {
}

EFInputConfig::~EFInputConfig() {
	while ( mpoActions != nullptr ) {
		EFInputAction* const action = mpoActions;
		mpoActions					= action->GetNext();
		delete action;
	}
}

void EFInputConfig::Update() {
	EFInputAction* next = nullptr;
	for ( EFInputAction* action = mpoActions; action != nullptr && mbRemoved == 0; action = next ) {
		next = action->GetNext();
		if ( !action->IsRemoved() ) {
			action->Update();
		}
	}
}

void EFInputConfig::SetActive( const bool on ) {
	if ( IsActive() == on ) {
		return;
	}
	mui32Activity = on ? EF_INPUT_CONFIG_CHANGING | EF_INPUT_CONFIG_ACTIVATING : EF_INPUT_CONFIG_CHANGING;
}

void EFInputConfig::UpdateActiveFlag() {
	if ( ( mui32Activity & EF_INPUT_CONFIG_CHANGING ) == 0 ) {
		return;
	}
	if ( ( mui32Activity & EF_INPUT_CONFIG_ACTIVATING ) == 0 ) {
		mui32Activity = 0;
		return;
	}
	mui32Activity = EF_INPUT_CONFIG_ACTIVE;
	for ( EFInputAction* action = mpoActions; action != nullptr; action = action->GetNext() ) {
		action->UpdateActionState();
	}
}

EFInputAction* EFInputConfig::InputActionAdd( const s32 id ) {
	EFInputAction* const action = new ( std::nothrow ) EFInputAction( id );
	if ( action == nullptr ) {
		return nullptr;
	}
	action->SetNext( mpoActions );
	mpoActions = action;
	return action;
}

u32 EFInputConfig::InputActionRemove( const s32 id ) {
	EFInputAction* previous = nullptr;
	for ( EFInputAction* action = mpoActions; action != nullptr; action = action->GetNext() ) {
		if ( action->GetID() == id ) {
			if ( previous != nullptr ) {
				previous->SetNext( action->GetNext() );
			} else {
				mpoActions = action->GetNext();
			}
			EFInputMgr::DiscardAction( action );
			return 1;
		}
		previous = action;
	}
	return 0;
}

void EFInputConfig::InputActionRemoveAll() {
	while ( mpoActions != nullptr ) {
		EFInputAction* const action = mpoActions;
		mpoActions					= action->GetNext();
		EFInputMgr::DiscardAction( action );
	}
}

EFInputAction* EFInputConfig::InputActionGet( const s32 id ) const {
	for ( EFInputAction* action = mpoActions; action != nullptr; action = action->GetNext() ) {
		if ( action->GetID() == id ) {
			return action;
		}
	}
	return nullptr;
}

void EFInputConfig::MarkRemoved( EFInputConfig* const nextRemoved ) {
	mbRemoved	   = 1;
	mpoNextRemoved = nextRemoved;
	for ( EFInputAction* action = mpoActions; action != nullptr; action = action->GetNext() ) {
		action->MarkRemoved( nullptr );
	}
}
