#include "framework/graphics/EFPaletteMgr_BC.h"

#include "framework/graphics/EFPaletteDictionary.h"

EFPaletteMgr_BC::EFPaletteMgr_BC()
	: mui32CurrentState( 0 ), mi32TargetState( EF_PALETTE_NO_TARGET ), mfElapsed( 0.0f ), mfDuration( 0.0f ),
	  mpoDictionary( nullptr ) {
}

EFPaletteMgr_BC::~EFPaletteMgr_BC() {
}

s32 EFPaletteMgr_BC::Initialize() {
	return 0;
}

void EFPaletteMgr_BC::StartTransition( _sPaletteTransitionData* transition ) {
	if ( transition == nullptr ) {
		return;
	}
	mui32CurrentState = transition->uiStartState;
	mi32TargetState = static_cast<s32>( transition->uiEndState );
	mfElapsed = 0.0f;
	mfDuration = transition->fDuration;
}

void EFPaletteMgr_BC::SetPaletteDictionary( EFPaletteDictionary* dictionary ) {
	if ( mpoDictionary != nullptr && mpoDictionary != dictionary ) {
		EFPaletteDictionary* const previous = mpoDictionary;
		mpoDictionary = nullptr;
		delete previous;
	}
	mpoDictionary = dictionary;
}

void EFPaletteMgr_BC::Terminate() {
	EFPaletteDictionary* const dictionary = mpoDictionary;
	mpoDictionary = nullptr;
	delete dictionary;
	mui32CurrentState = 0;
	mi32TargetState = EF_PALETTE_NO_TARGET;
	mfElapsed = 0.0f;
	mfDuration = 0.0f;
}
