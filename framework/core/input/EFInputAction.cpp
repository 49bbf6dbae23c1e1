#include "framework/core/input/EFInputAction.h"

#include "framework/core/engine/EFEngineController.h"
#include "framework/core/input/EFDemoLoop.h"
#include "framework/core/input/EFInputMgr.h"

#include <cmath>
#include <new>

namespace {

// A slot with bindings starts with both the down and the up bit: its
// digital bindings each keep only the one that holds for them.
constexpr u32 SLOT_START_FLAGS = EF_ACTION_DOWN | EF_ACTION_UP;
// Demo states that replay: the devices are not read.
constexpr u32 DEMO_REPLAYS = 0x1;

u32 DemoState() {
	return gpoEngineController != nullptr ? gpoEngineController->GetDemoLoop().GetState() : 0;
}

}

EFInputAction::EFInputAction( const s32 id )
	: moCurrent(), moPrevious(), miID( id ), mpoContexts( nullptr ), mpoSlots(), mpoNext( nullptr ), moSlotStates(),
	  mpoNextRemoved( nullptr ), mbRemoved( 0 ) {
}

EFInputAction::~EFInputAction() {
	// Whatever the manager is doing, the action's own records go with it.
	while ( mpoContexts != nullptr ) {
		EFInputContext* const context = mpoContexts;
		mpoContexts					  = context->GetNext();
		delete context;
	}
	InputDeviceRemoveAll();
}

void EFInputAction::Reset() {
	moCurrent  = ActionState();
	moPrevious = ActionState();
}

void EFInputAction::Update() {
	moPrevious = moCurrent;
	if ( ( DemoState() & DEMO_REPLAYS ) != 0 ) {
		gpoEngineController->GetDemoLoop().UpdateAction( &miID, &moPrevious, &moCurrent );
	} else {
		UpdateActionState();
		ProcessContext();
		// A recording stores the value, from its countdown on: its replay
		// gives logic every value it saw.
		if ( gpoEngineController != nullptr ) {
			gpoEngineController->GetDemoLoop().UpdateAction( &miID, &moPrevious, &moCurrent );
		}
	}
	// Logic may remove contexts, this action or its configuration from a
	// callback: the next link is taken first, removed contexts are
	// skipped, and a removed action stops calling out.
	EFInputContext* next = nullptr;
	for ( EFInputContext* context = mpoContexts; context != nullptr && mbRemoved == 0; context = next ) {
		next = context->GetNext();
		if ( !context->IsRemoved() ) {
			context->Process( &moCurrent );
		}
	}
}

void EFInputAction::UpdateActionState() {
	moCurrent = ActionState();
	for ( s32 i = 0; i < EF_INPUT_SLOT_COUNT; i++ ) {
		moSlotStates[i] = ActionState();
		if ( mpoSlots[i] == nullptr ) {
			continue;
		}
		moSlotStates[i].flags = SLOT_START_FLAGS;
		for ( EFInputDevice* binding = mpoSlots[i]; binding != nullptr; binding = binding->GetNext() ) {
			binding->Update( &moSlotStates[i] );
		}
	}
	ProcessDevice();
}

void EFInputAction::ProcessDevice() {
	f32 x = moSlotStates[0].x;
	f32 y = moSlotStates[0].y;
	for ( const ActionState& slot : moSlotStates ) {
		if ( ( slot.flags & ( EF_ACTION_ANALOG_X | EF_ACTION_ANALOG_Y ) ) == 0 ) {
			continue;
		}
		// An axis behind a digital chord counts only while the chord is down.
		const bool analogOnly = ( slot.flags & EF_ACTION_DIGITAL ) == 0;
		if ( !analogOnly && ( slot.flags & EF_ACTION_DOWN ) == 0 ) {
			continue;
		}
		if ( std::fabs( slot.x ) > std::fabs( x ) ) {
			x = slot.x;
		}
		if ( std::fabs( slot.y ) > std::fabs( y ) ) {
			y = slot.y;
		}
	}
	moCurrent.x = x;
	moCurrent.y = y;
	for ( const ActionState& slot : moSlotStates ) {
		u32 flags = slot.flags;
		// Down and up only mean something for a slot with a digital input.
		if ( ( flags & EF_ACTION_DIGITAL ) == 0 ) {
			flags &= ~( EF_ACTION_DOWN | EF_ACTION_UP );
		}
		moCurrent.flags |= flags;
	}
}

void EFInputAction::ProcessContext() {
	const u32 before = moPrevious.flags;
	u32&	  flags	 = moCurrent.flags;
	if ( ( flags & EF_ACTION_DOWN ) != 0 && ( before & EF_ACTION_DOWN ) == 0 ) {
		flags |= EF_ACTION_PRESSED;
	}
	if ( ( flags & EF_ACTION_DOWN ) == 0 && ( before & EF_ACTION_DOWN ) != 0 ) {
		flags |= EF_ACTION_RELEASED;
	}
	const bool activeX = ( flags & EF_ACTION_ANALOG_X ) != 0 && std::fabs( moCurrent.x ) > EF_ACTION_DEAD_ZONE;
	const bool activeY = ( flags & EF_ACTION_ANALOG_Y ) != 0 && std::fabs( moCurrent.y ) > EF_ACTION_DEAD_ZONE;
	flags |= activeX || activeY ? EF_ACTION_ANALOG_ACTIVE : EF_ACTION_ANALOG_REST;
	if ( ( flags & EF_ACTION_ANALOG_X ) != 0 ) {
		AddAnalogToogle( 0, EF_ACTION_FLICK_RIGHT, EF_ACTION_FLICK_LEFT );
	}
	if ( ( flags & EF_ACTION_ANALOG_Y ) != 0 ) {
		AddAnalogToogle( 1, EF_ACTION_FLICK_UP, EF_ACTION_FLICK_DOWN );
	}
}

void EFInputAction::AddAnalogToogle( const s32 axis, const u32 positive, const u32 negative ) {
	const f32 value	 = axis == 0 ? moCurrent.x : moCurrent.y;
	const f32 before = axis == 0 ? moPrevious.x : moPrevious.y;
	const f32 other	 = std::fabs( axis == 0 ? moCurrent.y : moCurrent.x );
	if ( value > EF_ACTION_FLICK_LEVEL && before <= EF_ACTION_FLICK_LEVEL && value > other ) {
		moCurrent.flags = ( moCurrent.flags & ~EF_ACTION_FLICKS ) | positive;
	}
	if ( value < -EF_ACTION_FLICK_LEVEL && before >= -EF_ACTION_FLICK_LEVEL && value < -other ) {
		moCurrent.flags = ( moCurrent.flags & ~EF_ACTION_FLICKS ) | negative;
	}
}

// --- Bindings ---

EFInputDevice* EFInputAction::InputDeviceAdd( const s32 bindingId, const s32 deviceId, const s32 slot, const s32 kind,
											  const s32 percent, const s32 input ) {
	// The slot comes from logic: one outside the five lists binds nothing.
	if ( slot < 0 || slot >= EF_INPUT_SLOT_COUNT ) {
		return nullptr;
	}
	EFInputDevice* const binding = new ( std::nothrow ) EFInputDevice();
	if ( binding == nullptr ) {
		return nullptr;
	}
	if ( !binding->Set( bindingId, deviceId, slot, kind, percent, input ) ) {
		delete binding;
		return nullptr;
	}
	binding->SetNext( mpoSlots[slot] );
	mpoSlots[slot] = binding;
	return binding;
}

void EFInputAction::InputDeviceRemove( const s32 ) {
}

// Bindings are read only by UpdateActionState, which calls no logic, so
// they can go at once even from a callback.
void EFInputAction::InputDeviceRemoveAll() {
	for ( EFInputDevice*& head : mpoSlots ) {
		while ( head != nullptr ) {
			EFInputDevice* const next = head->GetNext();
			delete head;
			head = next;
		}
	}
}

EFInputDevice* EFInputAction::GetSlot( const s32 slot ) const {
	return slot >= 0 && slot < EF_INPUT_SLOT_COUNT ? mpoSlots[slot] : nullptr;
}

// --- Contexts ---

u32 EFInputAction::InputContextAdd( EFInputConfig* const config, const s32 id, const u32 trigger,
									const EFInputCallback callback, EFGameObject* const object, const s32 function ) {
	EFInputContext* const context = new ( std::nothrow ) EFInputContext();
	if ( context == nullptr ) {
		return 0;
	}
	if ( context->SetCallback( callback, object, function ) != 0 ) {
		delete context;
		return 0;
	}
	context->SetID( id );
	context->SetTrigger( trigger );
	context->SetConfig( config );
	context->SetNext( mpoContexts );
	mpoContexts = context;
	return 1;
}

u32 EFInputAction::InputContextRemove( const s32 id ) {
	EFInputContext* previous = nullptr;
	for ( EFInputContext* context = mpoContexts; context != nullptr; context = context->GetNext() ) {
		if ( context->GetID() == id ) {
			if ( previous != nullptr ) {
				previous->SetNext( context->GetNext() );
			} else {
				mpoContexts = context->GetNext();
			}
			EFInputMgr::DiscardContext( context );
			return 1;
		}
		previous = context;
	}
	return 0;
}

void EFInputAction::InputContextRemoveAll() {
	while ( mpoContexts != nullptr ) {
		EFInputContext* const context = mpoContexts;
		mpoContexts					  = context->GetNext();
		EFInputMgr::DiscardContext( context );
	}
}

EFInputContext* EFInputAction::InputContextGet( const s32 id ) const {
	for ( EFInputContext* context = mpoContexts; context != nullptr; context = context->GetNext() ) {
		if ( context->GetID() == id ) {
			return context;
		}
	}
	return nullptr;
}

void EFInputAction::MarkRemoved( EFInputAction* const nextRemoved ) {
	mbRemoved	   = 1;
	mpoNextRemoved = nextRemoved;
}
