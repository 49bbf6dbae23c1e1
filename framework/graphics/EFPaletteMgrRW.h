/*
===============================================================================

	Platform half of the palette manager (global object goPaletteMgr): its
	per-frame update advances the running transitions.

===============================================================================
*/
#ifndef EF_PALETTE_MGR_RW_H
#define EF_PALETTE_MGR_RW_H

#include "framework/graphics/EFPaletteMgr_BC.h"

class EFPaletteMgr_SP : public EFPaletteMgr_BC {
public:
	void					Update( f32 dt );
};

extern EFPaletteMgr_SP	goPaletteMgr;

#endif
