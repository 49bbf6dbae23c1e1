/*
===============================================================================

	Portable half of the palette manager: the running palette transition
	and the palette dictionary it reads, which the manager owns.

	A transition goes from one palette state to another over a duration;
	the target is -1 while none runs.

===============================================================================
*/
#ifndef EF_PALETTE_MGR_BC_H
#define EF_PALETTE_MGR_BC_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

class EFPaletteDictionary;

// Target state while no transition runs.
constexpr s32 EF_PALETTE_NO_TARGET	= -1;

class EFPaletteMgr_BC {
public:
							EFPaletteMgr_BC();
	virtual					~EFPaletteMgr_BC();

	// 0.
	s32						Initialize();
	void					StartTransition( _sPaletteTransitionData* transition );
	// Takes the dictionary over; a different one held before is deleted.
	void					SetPaletteDictionary( EFPaletteDictionary* dictionary );
	EFPaletteDictionary*	GetPaletteDictionary() const { return mpoDictionary; }
	// Forgets the dictionary without deleting it.
	void					ReleasePaletteDictionary() { mpoDictionary = nullptr; }
	// Deletes the dictionary; no transition, state 0, times 0.
	void					Terminate();

	u32						mui32CurrentState;
	s32						mi32TargetState;
	f32						mfElapsed;
	f32						mfDuration;

protected:
	EFPaletteDictionary*	mpoDictionary;
};

#endif
