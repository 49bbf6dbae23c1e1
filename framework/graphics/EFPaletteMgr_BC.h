/*
===============================================================================

	Portable half of the palette manager: palette transitions.
	Placeholder body: transitions are not run yet.

===============================================================================
*/
#ifndef EF_PALETTE_MGR_BC_H
#define EF_PALETTE_MGR_BC_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"


class EFPaletteMgr_BC {
public:
	virtual					~EFPaletteMgr_BC() {}

	void					StartTransition( _sPaletteTransitionData* transition );
	void					Terminate();
};

#endif
