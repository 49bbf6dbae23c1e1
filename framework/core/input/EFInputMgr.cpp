#include "framework/core/input/EFInputMgr.h"

#include "framework/core/input/EFInputAction.h"
#include "framework/core/input/EFInputConfig.h"

#include <new>

EFInputMgr * gpoInputMgr = nullptr;

EFInputMgr::EFInputMgr()
	: mpoConfigs( nullptr ), mbEnabled( 1 ), mui32WarmUp( 0 ), mui32WalkDepth( 0 ), mpoRemovedConfigs( nullptr ),
	  mpoRemovedActions( nullptr ), mpoRemovedContexts( nullptr ) {
}

EFInputMgr::~EFInputMgr() {
	mui32WalkDepth = 0;
	InputConfigRemoveAll();
	DeleteRemoved();
}

EFInputMgr* EFInputMgr::Create() {
	if ( gpoInputMgr == nullptr ) {
		gpoInputMgr = new ( std::nothrow ) EFInputMgr();
	}
	return gpoInputMgr;
}

void EFInputMgr::StartFrame() {
	for ( EFInputConfig* config = mpoConfigs; config != nullptr; config = config->GetNext() ) {
		config->UpdateActiveFlag();
	}
}

void EFInputMgr::Update() {
	if ( mbEnabled == 0 ) {
		return;
	}
	if ( mui32WarmUp < EF_INPUT_WARM_UP_FRAMES ) {
		mui32WarmUp++;
		return;
	}
	mui32WalkDepth++;
	EFInputConfig* next = nullptr;
	for ( EFInputConfig* config = mpoConfigs; config != nullptr; config = next ) {
		next = config->GetNext();
		if ( !config->IsRemoved() && config->IsActive() ) {
			config->Update();
		}
	}
	mui32WalkDepth--;
	if ( mui32WalkDepth == 0 ) {
		DeleteRemoved();
	}
}

EFInputConfig* EFInputMgr::InputConfigAdd( const s32 id ) {
	EFInputConfig* const config = new ( std::nothrow ) EFInputConfig( id );
	if ( config == nullptr ) {
		return nullptr;
	}
	config->SetNext( mpoConfigs );
	mpoConfigs = config;
	return config;
}

void EFInputMgr::InputConfigRemove( const s32 id ) {
	EFInputConfig* previous = nullptr;
	for ( EFInputConfig* config = mpoConfigs; config != nullptr; config = config->GetNext() ) {
		if ( config->GetID() == id ) {
			if ( previous != nullptr ) {
				previous->SetNext( config->GetNext() );
			} else {
				mpoConfigs = config->GetNext();
			}
			DiscardConfig( config );
			return;
		}
		previous = config;
	}
}

void EFInputMgr::InputConfigRemoveAll() {
	while ( mpoConfigs != nullptr ) {
		EFInputConfig* const config = mpoConfigs;
		mpoConfigs					= config->GetNext();
		DiscardConfig( config );
	}
}

EFInputConfig* EFInputMgr::InputConfigGet( const s32 id ) const {
	for ( EFInputConfig* config = mpoConfigs; config != nullptr; config = config->GetNext() ) {
		if ( config->GetID() == id ) {
			return config;
		}
	}
	return nullptr;
}

EFInputAction* EFInputMgr::InputActionGet( const s32 config, const s32 action ) const {
	const EFInputConfig* const found = InputConfigGet( config );
	return found != nullptr ? found->InputActionGet( action ) : nullptr;
}

EFInputContext* EFInputMgr::InputContextGet( const s32 config, const s32 action, const s32 context ) const {
	const EFInputAction* const found = InputActionGet( config, action );
	return found != nullptr ? found->InputContextGet( context ) : nullptr;
}

// --- Removal while walking ---

void EFInputMgr::DiscardConfig( EFInputConfig* const config ) {
	if ( gpoInputMgr == nullptr || !gpoInputMgr->IsWalking() ) {
		delete config;
		return;
	}
	config->MarkRemoved( gpoInputMgr->mpoRemovedConfigs );
	gpoInputMgr->mpoRemovedConfigs = config;
}

void EFInputMgr::DiscardAction( EFInputAction* const action ) {
	if ( gpoInputMgr == nullptr || !gpoInputMgr->IsWalking() ) {
		delete action;
		return;
	}
	action->MarkRemoved( gpoInputMgr->mpoRemovedActions );
	gpoInputMgr->mpoRemovedActions = action;
}

void EFInputMgr::DiscardContext( EFInputContext* const context ) {
	if ( gpoInputMgr == nullptr || !gpoInputMgr->IsWalking() ) {
		delete context;
		return;
	}
	context->MarkRemoved( gpoInputMgr->mpoRemovedContexts );
	gpoInputMgr->mpoRemovedContexts = context;
}

void EFInputMgr::DeleteRemoved() {
	while ( mpoRemovedContexts != nullptr ) {
		EFInputContext* const context = mpoRemovedContexts;
		mpoRemovedContexts			  = context->GetNextRemoved();
		delete context;
	}
	while ( mpoRemovedActions != nullptr ) {
		EFInputAction* const action = mpoRemovedActions;
		mpoRemovedActions			= action->GetNextRemoved();
		delete action;
	}
	while ( mpoRemovedConfigs != nullptr ) {
		EFInputConfig* const config = mpoRemovedConfigs;
		mpoRemovedConfigs			= config->GetNextRemoved();
		delete config;
	}
}
